#include "dialog.h"

#include "winbase.h"

#include <algorithm>
#include <map>

namespace {

constexpr int kScreenDpi = 96;

struct DialogState {
    DLGPROC proc = nullptr;
    HFONT font = nullptr;
    bool ownsFont = false;
    SIZE units{};
    bool modal = false;
    bool ownerWasEnabled = false;
    bool ended = false;
    INT_PTR result = 0;
    HWND savedFocus = nullptr;
};

std::map<HWND, DialogState>& States()
{
    static std::map<HWND, DialogState> states;
    return states;
}

// The state of a dialog being created, taken up by its first message.
thread_local DialogState* t_pending = nullptr;

DialogState* StateOf(HWND hwnd)
{
    auto& states = States();
    const auto it = states.find(hwnd);
    if (it != states.end())
        return &it->second;
    if (!t_pending)
        return nullptr;
    DialogState* state = &(states[hwnd] = *t_pending);
    t_pending = nullptr;
    return state;
}

bool ExtraFits(HWND hwnd, int offset)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    return window && window->extra.size() >= static_cast<size_t>(offset) + sizeof(LONG_PTR);
}

// The direct child of the dialog that holds (or is) the window.
HWND DialogChildOf(HWND dialog, HWND hwnd)
{
    while (hwnd && GetParent(hwnd) != dialog) {
        if (!IsChild(dialog, hwnd))
            return nullptr;
        hwnd = GetParent(hwnd);
    }
    return hwnd;
}

bool Usable(HWND hwnd)
{
    return IsWindowVisible(hwnd) && IsWindowEnabled(hwnd);
}

void RestoreFocus(HWND dialog, DialogState& state)
{
    HWND target = state.savedFocus && IsChild(dialog, state.savedFocus) && Usable(state.savedFocus)
                      ? state.savedFocus
                      : GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (target)
        SetFocus(target);
}

LRESULT DefaultHandling(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DialogState* state = StateOf(dialog);
    switch (msg) {
    case WM_ERASEBKGND: {
        HDC hdc = reinterpret_cast<HDC>(wParam);
        auto brush = reinterpret_cast<HBRUSH>(SendMessageW(dialog, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dialog)));
        RECT client;
        GetClientRect(dialog, &client);
        FillRect(hdc, &client, brush ? brush : GetSysColorBrush(COLOR_3DFACE));
        return 1;
    }
    case WM_CLOSE:
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        return 0;
    case WM_ACTIVATE:
        if (!state)
            break;
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (IsChild(dialog, GetFocus()))
                state->savedFocus = GetFocus();
        } else {
            RestoreFocus(dialog, *state);
        }
        return 0;
    case WM_SETFOCUS:
        if (state)
            RestoreFocus(dialog, *state);
        return 0;
    case WM_GETFONT: return state ? reinterpret_cast<LRESULT>(state->font) : 0;
    case WM_NEXTDLGCTL: {
        HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(dialog, GetFocus(), wParam != 0);
        if (target)
            SetFocus(target);
        return 0;
    }
    case DM_GETDEFID: {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(dialog);
        for (HWND child : window ? window->children : std::vector<HWND>{})
            if (Window* control = FindWindowData(child);
                control && SameName(control->cls->name, u"Button") && (control->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                return MAKELONG(static_cast<WORD>(control->id), DC_HASDEFID);
        return 0;
    }
    case WM_NCDESTROY:
        if (state && state->ownsFont)
            DeleteObject(state->font);
        States().erase(dialog);
        break;
    default: break;
    }
    return DefWindowProcW(dialog, msg, wParam, lParam);
}

bool ReturnsDirectly(UINT msg)
{
    return msg == WM_INITDIALOG || (msg >= WM_CTLCOLOREDIT && msg <= WM_CTLCOLORSTATIC) || msg == WM_CTLCOLORBTN || msg == WM_CTLCOLORDLG;
}

// A dialog at template coordinates lies relative to its owner's client area, or centred.
RECT PlaceDialog(const DialogTemplate& dialog, RECT pixels, HWND owner)
{
    const int width = pixels.right - pixels.left;
    const int height = pixels.bottom - pixels.top;
    POINT origin{0, 0};
    if (owner && !(dialog.style & DS_ABSALIGN))
        ClientToScreen(owner, &origin);
    RECT rect{origin.x + pixels.left, origin.y + pixels.top, 0, 0};
    if (dialog.style & DS_CENTER) {
        RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (owner)
            GetWindowRect(owner, &area);
        rect.left = area.left + (area.right - area.left - width) / 2;
        rect.top = area.top + (area.bottom - area.top - height) / 2;
    }
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return rect;
}

bool CreateControls(HWND hwnd, const DialogTemplate& dialog, HINSTANCE instance, HFONT font, SIZE units)
{
    for (const DialogTemplateItem& item : dialog.items) {
        const RECT r = DialogUnitsToPixels(item.rect, units);
        HWND control = CreateWindowExW(item.exStyle, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD, r.left, r.top,
                                       r.right - r.left, r.bottom - r.top, hwnd, reinterpret_cast<HMENU>(static_cast<intptr_t>(item.id)),
                                       instance, nullptr);
        if (!control)
            return false;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return true;
}

} // namespace

SIZE DialogBaseUnits(HFONT font)
{
    HDC hdc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(hdc, font ? font : GetStockObject(SYSTEM_FONT));
    SIZE extent{};
    static const char16_t kAlphabet[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GetTextExtentPoint32W(hdc, kAlphabet, 52, &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(hdc, &metrics);
    SelectObject(hdc, old);
    ReleaseDC(nullptr, hdc);
    return SIZE{std::max<LONG>(1, (extent.cx / 26 + 1) / 2), std::max<LONG>(1, metrics.tmHeight)};
}

RECT DialogUnitsToPixels(const RECT& rect, SIZE units)
{
    // Position and size convert separately, so equal sizes stay equal wherever they are.
    const int x = MulDiv(rect.left, units.cx, 4);
    const int y = MulDiv(rect.top, units.cy, 8);
    return RECT{x, y, x + MulDiv(rect.right - rect.left, units.cx, 4), y + MulDiv(rect.bottom - rect.top, units.cy, 8)};
}

HFONT CreateDialogFont(const std::u16string& face, WORD pointSize, WORD weight, bool italic)
{
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(pointSize, kScreenDpi, 72);
    lf.lfWeight = weight ? weight : FW_NORMAL;
    lf.lfItalic = italic ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    face.copy(lf.lfFaceName, std::min<size_t>(face.size(), LF_FACESIZE - 1));
    return CreateFontIndirectW(&lf);
}

HWND CreateDialogFromTemplate(const DialogTemplate& dialog, HINSTANCE instance, HWND owner, DLGPROC proc, LPARAM param)
{
    DialogState state;
    state.proc = proc;
    if (dialog.hasFont) {
        state.font = CreateDialogFont(dialog.face, dialog.pointSize, dialog.weight, dialog.italic);
        state.ownsFont = state.font != nullptr;
    }
    if (!state.font)
        state.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    state.units = DialogBaseUnits(state.font);
    const RECT rect = PlaceDialog(dialog, DialogUnitsToPixels(dialog.rect, state.units), owner);
    const HFONT font = state.font;
    const SIZE units = state.units;
    t_pending = &state;
    HWND hwnd = CreateWindowExW(dialog.exStyle, dialog.className.empty() ? u"#32770" : dialog.className.c_str(), dialog.title.c_str(),
                                dialog.style & ~WS_VISIBLE, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, owner,
                                nullptr, instance, nullptr);
    if (t_pending) { // the class procedure never reached the dialog manager
        t_pending = nullptr;
        if (state.ownsFont)
            DeleteObject(state.font);
        if (hwnd)
            DestroyWindow(hwnd);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!hwnd)
        return nullptr;
    if (!CreateControls(hwnd, dialog, instance, font, units)) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    if (SendMessageW(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && first)
        if (DialogState* s = StateOf(hwnd))
            s->savedFocus = first;
    if (IsWindow(hwnd) && (dialog.style & WS_VISIBLE))
        ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

INT_PTR RunModalDialog(HWND dialog, HWND owner)
{
    DialogState* state = StateOf(dialog);
    if (!state)
        return -1;
    state->modal = true;
    state->ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (state->ownerWasEnabled)
        EnableWindow(owner, FALSE);
    if (!state->ended)
        ShowWindow(dialog, SW_SHOW);
    MSG msg;
    for (;;) {
        state = StateOf(dialog);
        if (!state || state->ended)
            break;
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam)); // the outer loop must see it too
            break;
        }
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    const INT_PTR result = state && state->ended ? state->result : -1;
    const bool enableOwner = state && state->ownerWasEnabled;
    if (enableOwner && owner)
        EnableWindow(owner, TRUE);
    DestroyWindow(dialog);
    if (owner && IsWindow(owner) && IsWindowVisible(owner))
        SetForegroundWindow(owner);
    return result;
}

LRESULT DefDlgProcW(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DialogState* state = StateOf(dialog);
    if (state && state->proc) {
        const bool hasResult = ExtraFits(dialog, DWLP_MSGRESULT);
        if (hasResult)
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
        const INT_PTR handled = state->proc(dialog, msg, wParam, lParam);
        if (handled)
            return ReturnsDirectly(msg) || !hasResult ? handled : GetWindowLongPtrW(dialog, DWLP_MSGRESULT);
        if (msg == WM_INITDIALOG)
            return 0;
    }
    return DefaultHandling(dialog, msg, wParam, lParam);
}

namespace {

std::optional<DialogTemplate> LoadDialogTemplate(HINSTANCE instance, LPCWSTR name)
{
    HRSRC found = FindResourceW(instance, name, MAKEINTRESOURCEW(5));
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    std::optional<DialogTemplate> dialog
        = bytes ? ReadDialogTemplate(static_cast<const BYTE*>(bytes), SizeofResource(instance, found)) : std::nullopt;
    if (!dialog)
        SetLastError(found ? ERROR_INVALID_DATA : ERROR_RESOURCE_NAME_NOT_FOUND);
    return dialog;
}

} // namespace

HWND CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC dialogProc, LPARAM initParam)
{
    const std::optional<DialogTemplate> dialog = LoadDialogTemplate(instance, templateName);
    if (!dialog)
        return nullptr;
    return CreateDialogFromTemplate(*dialog, instance, parent ? TopLevelOf(parent) : nullptr, dialogProc, initParam);
}

INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC dialogProc, LPARAM initParam)
{
    const std::optional<DialogTemplate> dialog = LoadDialogTemplate(instance, templateName);
    if (!dialog)
        return -1;
    HWND owner = parent ? TopLevelOf(parent) : nullptr;
    DialogTemplate hidden = *dialog;
    hidden.style &= ~WS_VISIBLE;
    HWND hwnd = CreateDialogFromTemplate(hidden, instance, owner, dialogProc, initParam);
    return hwnd ? RunModalDialog(hwnd, owner) : -1;
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    DialogState* state = StateOf(dialog);
    if (!state) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    state->ended = true;
    state->result = result;
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (state->modal && state->ownerWasEnabled && owner)
        EnableWindow(owner, TRUE);
    ShowWindow(dialog, SW_HIDE);
    return TRUE;
}

BOOL MapDialogRect(HWND dialog, LPRECT rect)
{
    DialogState* state = StateOf(dialog);
    if (!state || !rect)
        return FALSE;
    const SIZE u = state->units;
    *rect = RECT{MulDiv(rect->left, u.cx, 4), MulDiv(rect->top, u.cy, 8), MulDiv(rect->right, u.cx, 4), MulDiv(rect->bottom, u.cy, 8)};
    return TRUE;
}

LONG GetDialogBaseUnits()
{
    static const SIZE units = DialogBaseUnits(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    return MAKELONG(units.cx, units.cy);
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous)
{
    std::vector<HWND> children;
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(dialog);
        if (!window)
            return nullptr;
        children = window->children;
    }
    std::erase_if(children, [](HWND child) { return !Usable(child) || !(GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP); });
    if (children.empty())
        return nullptr;
    if (previous)
        std::reverse(children.begin(), children.end());
    control = DialogChildOf(dialog, control);
    const auto it = std::find(children.begin(), children.end(), control);
    if (it == children.end() || it + 1 == children.end())
        return children.front();
    return *(it + 1);
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous)
{
    control = DialogChildOf(dialog, control);
    std::vector<HWND> children;
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(dialog);
        if (!window || !control)
            return nullptr;
        children = window->children;
    }
    const auto at = std::find(children.begin(), children.end(), control);
    // The group runs from the nearest WS_GROUP at or before the control to the next WS_GROUP.
    auto first = at;
    while (first != children.begin() && !(GetWindowLongW(*first, GWL_STYLE) & WS_GROUP))
        --first;
    auto last = at + 1;
    while (last != children.end() && !(GetWindowLongW(*last, GWL_STYLE) & WS_GROUP))
        ++last;
    std::vector<HWND> group(first, last);
    std::erase_if(group, [&](HWND child) { return child != control && !Usable(child); });
    if (previous)
        std::reverse(group.begin(), group.end());
    const auto it = std::find(group.begin(), group.end(), control);
    return it + 1 == group.end() ? group.front() : *(it + 1);
}
