// MessageBoxW: a modal dialog laid out around its text, with an icon and one to three buttons.
#include "dialog.h"
#include "hostevents.h"
#include "memmgr.h"
#include "queue.h"
#include "trace.h"
#include "utf.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMargin = 7; // dialog units
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;
constexpr int kIconSize = 32; // pixels
constexpr int kMaxTextWidth = 420;

struct ButtonSpec {
    int id;
    const char16_t* label;
};

std::vector<ButtonSpec> ButtonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}};
    case MB_YESNOCANCEL: return {{IDYES, u"Yes"}, {IDNO, u"No"}, {IDCANCEL, u"Cancel"}};
    case MB_YESNO: return {{IDYES, u"Yes"}, {IDNO, u"No"}};
    default: return {{IDOK, u"OK"}};
    }
}

SIZE MeasureText(HFONT font, const std::u16string& text)
{
    HDC hdc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(hdc, font);
    RECT rect{0, 0, kMaxTextWidth, 0};
    DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(hdc, old);
    ReleaseDC(nullptr, hdc);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

int ToUnitsX(int pixels, SIZE units)
{
    return (pixels * 4 + units.cx - 1) / units.cx;
}

int ToUnitsY(int pixels, SIZE units)
{
    return (pixels * 8 + units.cy - 1) / units.cy;
}

DialogTemplateItem Item(LPCWSTR className, DWORD style, RECT rect, int id, std::u16string text = {})
{
    DialogTemplateItem item;
    item.className = className;
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.rect = rect;
    item.id = id;
    item.text = std::move(text);
    return item;
}

DialogTemplate Layout(const std::u16string& text, const std::u16string& caption, UINT type, HFONT font)
{
    const SIZE units = DialogBaseUnits(font);
    const SIZE textSize = MeasureText(font, text);
    const UINT icon = type & MB_ICONMASK;
    const int iconWidth = icon ? ToUnitsX(kIconSize, units) + kMargin : 0;
    const int iconHeight = icon ? ToUnitsY(kIconSize, units) : 0;
    const int textWidth = ToUnitsX(textSize.cx, units) + 2;
    const int textHeight = ToUnitsY(textSize.cy, units);
    const std::vector<ButtonSpec> buttons = ButtonsOf(type);
    const int count = static_cast<int>(buttons.size());
    const int rowWidth = count * kButtonWidth + (count - 1) * kButtonGap;
    const int width = std::max(iconWidth + textWidth, rowWidth) + 2 * kMargin;
    const int bodyHeight = std::max(iconHeight, textHeight);

    DialogTemplate dialog;
    dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
    dialog.title = caption;
    const int height = kMargin + bodyHeight + kMargin + kButtonHeight + kMargin;
    dialog.rect = RECT{0, 0, width, height};
    if (icon)
        dialog.items.push_back(
            Item(u"QuiboMessageIcon", icon, RECT{kMargin, kMargin, kMargin + iconWidth - kMargin, kMargin + iconHeight}, -1));
    const int textTop = kMargin + (bodyHeight - textHeight) / 2;
    dialog.items.push_back(Item(u"Static", SS_LEFT | SS_NOPREFIX,
                                RECT{kMargin + iconWidth, textTop, kMargin + iconWidth + textWidth, textTop + textHeight}, -1, text));
    const int defaultIndex = (type & MB_DEFBUTTON2) && count > 1 ? 1 : 0;
    int x = (width - rowWidth) / 2;
    const int y = height - kMargin - kButtonHeight;
    for (int i = 0; i < count; ++i, x += kButtonWidth + kButtonGap) {
        const DWORD style = WS_TABSTOP | (i == 0 ? WS_GROUP : 0) | (i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        dialog.items.push_back(Item(u"Button", style, RECT{x, y, x + kButtonWidth, y + kButtonHeight}, buttons[static_cast<size_t>(i)].id,
                                    buttons[static_cast<size_t>(i)].label));
    }
    return dialog;
}

INT_PTR CALLBACK MessageBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_INITDIALOG) {
        // The default button takes the focus.
        const LRESULT found = SendMessageW(hwnd, DM_GETDEFID, 0, 0);
        if (HWND button = GetDlgItem(hwnd, LOWORD(found)))
            SetFocus(button);
        return FALSE;
    }
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    int id = LOWORD(wParam);
    if (!GetDlgItem(hwnd, id)) {
        // Escape without a Cancel button: a lone OK answers it; Yes and No do not.
        if (id != IDCANCEL || !GetDlgItem(hwnd, IDOK) || GetDlgItem(hwnd, IDNO))
            return TRUE;
        id = IDOK;
    }
    EndDialog(hwnd, id);
    return TRUE;
}

bool ReportBox(const char* text, const char* caption)
{
    // Only the thread that reads the host's input can run a box; elsewhere it would wait for ever.
    if (!CurrentQueue().hostEvents) {
        Trace("%s: %s", caption ? caption : "", text ? text : "");
        return true;
    }
    const std::u16string wideText = Utf8ToUtf16(text ? text : "");
    const std::u16string wideCaption = Utf8ToUtf16(caption ? caption : "");
    return MessageBoxW(nullptr, wideText.c_str(), wideCaption.c_str(), MB_OKCANCEL | MB_ICONHAND) != IDCANCEL;
}

} // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    const std::u16string body = NameOf(text);
    const std::u16string title = caption ? NameOf(caption) : std::u16string(u"Error");
    if (!StartHostVideo()) {
        // Without a display the box could never be answered: it is traced and its default taken.
        Trace("%s: %s", Utf16ToUtf8(title).c_str(), Utf16ToUtf8(body).c_str());
        return ButtonsOf(type)[(type & MB_DEFBUTTON2) && ButtonsOf(type).size() > 1 ? 1 : 0].id;
    }
    HFONT font = CreateDialogFont(u"MS Shell Dlg", 8, FW_NORMAL, false);
    DialogTemplate dialog = Layout(body, title, type, font);
    DeleteObject(font);
    dialog.hasFont = true;
    dialog.pointSize = 8;
    dialog.face = u"MS Shell Dlg";
    if (type & MB_TOPMOST)
        dialog.exStyle |= WS_EX_TOPMOST;
    HWND top = owner ? TopLevelOf(owner) : nullptr;
    HWND hwnd = CreateDialogFromTemplate(dialog, nullptr, top, MessageBoxProc, 0);
    if (!hwnd)
        return 0;
    return static_cast<int>(RunModalDialog(hwnd, top));
}

void InstallMessageBoxReports()
{
    SetMemReportBoxHook(ReportBox);
}

// The icon beside the text: a disc in the colour of its kind with a white sign on it.
LRESULT CALLBACK MessageIconProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCHITTEST)
        return HTTRANSPARENT;
    if (msg != WM_PAINT)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(hdc, &client, GetSysColorBrush(COLOR_3DFACE));
    const UINT kind = static_cast<UINT>(GetWindowLongW(hwnd, GWL_STYLE)) & MB_ICONMASK;
    const COLORREF disc = kind == MB_ICONHAND ? RGB(204, 0, 0) : kind == MB_ICONEXCLAMATION ? RGB(230, 180, 0) : RGB(0, 64, 192);
    HBRUSH brush = CreateSolidBrush(disc);
    for (int y = 0; y < kIconSize; ++y) {
        const double dy = y + 0.5 - kIconSize / 2.0;
        const int half = static_cast<int>(std::sqrt(std::max(0.0, 15.5 * 15.5 - dy * dy)) + 0.5);
        RECT row{kIconSize / 2 - half, y, kIconSize / 2 + half, y + 1};
        FillRect(hdc, &row, brush);
    }
    DeleteObject(brush);
    LOGFONTW lf{};
    lf.lfHeight = -22;
    lf.lfWeight = FW_BOLD;
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, kind == MB_ICONEXCLAMATION ? RGB(0, 0, 0) : RGB(255, 255, 255));
    const char16_t* sign = kind == MB_ICONHAND ? u"\u00D7" : kind == MB_ICONQUESTION ? u"?" : kind == MB_ICONEXCLAMATION ? u"!" : u"i";
    RECT box{0, 0, kIconSize, kIconSize};
    DrawTextW(hdc, sign, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(hdc, old);
    DeleteObject(font);
    EndPaint(hwnd, &ps);
    return 0;
}
