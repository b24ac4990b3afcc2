// "Edit", single line: typed text from the host's text input, a caret, selection by Shift and
// by the mouse, the clipboard keys, a length limit, and scrolling to keep the caret in view.
#include "controls.h"
#include "utf.h"

#include <SDL.h>
#include <algorithm>

namespace {

constexpr size_t kDefaultLimit = 30000;
constexpr int kMargin = 2; // between the border and the text

struct EditState {
    std::u16string text;
    size_t caret = 0;
    size_t anchor = 0; // the selection runs between anchor and caret
    size_t limit = kDefaultLimit;
    int scroll = 0; // pixels of text hidden at the left
    HFONT font = nullptr;
    bool focused = false;
    bool selecting = false;

    size_t selStart() const { return std::min(caret, anchor); }
    size_t selEnd() const { return std::max(caret, anchor); }
};

bool HasBorder(HWND hwnd)
{
    return (StyleOf(hwnd) & WS_BORDER) || (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

RECT TextArea(HWND hwnd)
{
    RECT rect;
    GetClientRect(hwnd, &rect);
    const int border = HasBorder(hwnd) ? 2 : 0;
    InflateRect(&rect, -(border + kMargin), -border);
    return rect;
}

// Width in pixels of the first `count` characters.
int Advance(EditState& state, HWND hwnd, size_t count)
{
    if (count == 0)
        return 0;
    HDC hdc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(hdc, state.font ? state.font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    GetTextExtentPoint32W(hdc, state.text.c_str(), static_cast<int>(count), &size);
    SelectObject(hdc, old);
    ReleaseDC(hwnd, hdc);
    return size.cx;
}

// The character boundary nearest to a client x.
size_t HitTest(EditState& state, HWND hwnd, int x)
{
    const int target = x - TextArea(hwnd).left + state.scroll;
    size_t best = 0;
    int previous = 0;
    for (size_t i = 1; i <= state.text.size(); ++i) {
        const int width = Advance(state, hwnd, i);
        if (width >= target)
            return target - previous < width - target ? i - 1 : i;
        previous = width;
        best = i;
    }
    return best;
}

void ScrollToCaret(EditState& state, HWND hwnd)
{
    const RECT area = TextArea(hwnd);
    const int width = std::max<int>(1, area.right - area.left);
    const int caretX = Advance(state, hwnd, state.caret);
    if (caretX - state.scroll > width - 1)
        state.scroll = caretX - width + width / 4;
    if (caretX < state.scroll)
        state.scroll = std::max(0, caretX - width / 4);
}

void Changed(EditState& state, HWND hwnd, bool textChanged)
{
    ScrollToCaret(state, hwnd);
    InvalidateRect(hwnd, nullptr, FALSE);
    if (textChanged) {
        NotifyParent(hwnd, EN_UPDATE);
        NotifyParent(hwnd, EN_CHANGE);
    }
}

void MoveCaret(EditState& state, HWND hwnd, size_t to, bool extend)
{
    state.caret = std::min(to, state.text.size());
    if (!extend)
        state.anchor = state.caret;
    Changed(state, hwnd, false);
}

// Replaces the selection, keeping to the limit; false when nothing fitted.
bool Replace(EditState& state, HWND hwnd, std::u16string_view with)
{
    const size_t start = state.selStart();
    const size_t removed = state.selEnd() - start;
    const size_t room = state.limit - std::min(state.limit, state.text.size() - removed);
    const bool cut = with.size() > room;
    if (cut)
        with = with.substr(0, room);
    const bool any = removed > 0 || !with.empty();
    state.text.replace(start, removed, with);
    state.caret = state.anchor = start + with.size();
    if (any)
        Changed(state, hwnd, true);
    if (cut)
        NotifyParent(hwnd, EN_MAXTEXT);
    return !cut;
}

void Copy(EditState& state)
{
    if (state.selEnd() > state.selStart())
        SDL_SetClipboardText(
            Utf16ToUtf8(std::u16string_view(state.text).substr(state.selStart(), state.selEnd() - state.selStart())).c_str());
}

void Paste(EditState& state, HWND hwnd)
{
    char* clip = SDL_GetClipboardText();
    if (!clip)
        return;
    std::u16string text = Utf8ToUtf16(clip);
    SDL_free(clip);
    // One line: the text stops at the first line break.
    text = text.substr(0, text.find_first_of(u"\r\n"));
    Replace(state, hwnd, text);
}

void Paint(EditState& state, HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    const bool enabled = IsWindowEnabled(hwnd);
    const bool readOnly = StyleOf(hwnd) & ES_READONLY;
    HBRUSH background = enabled && !readOnly ? ControlBrush(hwnd, hdc, WM_CTLCOLOREDIT) : ControlBrush(hwnd, hdc, WM_CTLCOLORSTATIC);
    if (HasBorder(hwnd))
        DrawEdge(hdc, &client, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillRect(hdc, &client, background);
    const RECT area = TextArea(hwnd);
    HGDIOBJ old = SelectObject(hdc, state.font ? state.font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(hdc, &metrics);
    const int top = area.top + std::max<int>(0, (area.bottom - area.top - metrics.tmHeight) / 2);
    const int left = area.left - state.scroll;
    IntersectClipRect(hdc, area.left, area.top, area.right, area.bottom);
    SetBkMode(hdc, TRANSPARENT);
    if (!enabled)
        SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    RECT line{left, top, area.right + state.scroll + 10000, top + metrics.tmHeight};
    DrawTextW(hdc, state.text.c_str(), static_cast<int>(state.text.size()), &line, DT_SINGLELINE | DT_NOPREFIX);
    if (state.focused && state.selEnd() > state.selStart()) {
        const int x0 = left + Advance(state, hwnd, state.selStart());
        const int x1 = left + Advance(state, hwnd, state.selEnd());
        RECT sel{x0, top, x1, top + metrics.tmHeight};
        FillRect(hdc, &sel, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        std::u16string_view part = std::u16string_view(state.text).substr(state.selStart(), state.selEnd() - state.selStart());
        DrawTextW(hdc, part.data(), static_cast<int>(part.size()), &sel, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    if (state.focused && !readOnly) {
        const int x = left + Advance(state, hwnd, state.caret);
        RECT caret{x, top, x + 1, top + metrics.tmHeight};
        FillRect(hdc, &caret, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
    SelectObject(hdc, old);
    EndPaint(hwnd, &ps);
}

// Word boundaries for double clicks: runs of letters and digits.
bool IsWordChar(char16_t c)
{
    return c > u' ' && c != u'.' && c != u',' && c != u';' && c != u'-';
}

void SelectWord(EditState& state, HWND hwnd)
{
    size_t start = std::min(state.caret, state.text.size());
    size_t end = start;
    while (start > 0 && IsWordChar(state.text[start - 1]))
        --start;
    while (end < state.text.size() && IsWordChar(state.text[end]))
        ++end;
    state.anchor = start;
    MoveCaret(state, hwnd, end, true);
}

bool InsideComboBox(HWND hwnd)
{
    WCHAR name[16];
    HWND parent = GetParent(hwnd);
    return parent && GetClassNameW(parent, name, 16) && SameName(name, u"ComboBox");
}

LRESULT Key(EditState& state, HWND hwnd, WPARAM key)
{
    const bool shift = GetKeyState(VK_SHIFT) & 0x8000;
    const bool readOnly = StyleOf(hwnd) & ES_READONLY;
    switch (key) {
    case VK_LEFT:
        if (!shift && state.selEnd() > state.selStart())
            MoveCaret(state, hwnd, state.selStart(), false);
        else
            MoveCaret(state, hwnd, state.caret > 0 ? state.caret - 1 : 0, shift);
        return 0;
    case VK_RIGHT:
        if (!shift && state.selEnd() > state.selStart())
            MoveCaret(state, hwnd, state.selEnd(), false);
        else
            MoveCaret(state, hwnd, state.caret + 1, shift);
        return 0;
    case VK_HOME: MoveCaret(state, hwnd, 0, shift); return 0;
    case VK_END: MoveCaret(state, hwnd, state.text.size(), shift); return 0;
    case VK_DELETE:
        if (readOnly)
            return 0;
        if (state.selEnd() == state.selStart()) {
            if (state.caret == state.text.size())
                return 0;
            state.anchor = state.caret + 1;
        }
        Replace(state, hwnd, u"");
        return 0;
    case VK_UP:
    case VK_DOWN:
    case VK_F4:
    case VK_RETURN:
    case VK_ESCAPE:
        // In a combo box these move through, pick from and close its list.
        if (InsideComboBox(hwnd))
            SendMessageW(GetParent(hwnd), WM_KEYDOWN, key, 0);
        return 0;
    default: return 0;
    }
}

LRESULT Char(EditState& state, HWND hwnd, WPARAM ch)
{
    const bool readOnly = StyleOf(hwnd) & ES_READONLY;
    switch (ch) {
    case 1: // Ctrl+A
        state.anchor = 0;
        MoveCaret(state, hwnd, state.text.size(), true);
        return 0;
    case 3: Copy(state); return 0;
    case 22:
        if (!readOnly)
            Paste(state, hwnd);
        return 0;
    case 24:
        Copy(state);
        if (!readOnly)
            Replace(state, hwnd, u"");
        return 0;
    case 8:
        if (readOnly)
            return 0;
        if (state.selEnd() == state.selStart()) {
            if (state.caret == 0)
                return 0;
            state.anchor = state.caret - 1;
        }
        Replace(state, hwnd, u"");
        return 0;
    default:
        if (ch < 0x20 || ch == 0x7F || readOnly)
            return 0;
        if ((StyleOf(hwnd) & ES_NUMBER) && (ch < u'0' || ch > u'9'))
            return 0;
        char16_t unit = static_cast<char16_t>(ch);
        Replace(state, hwnd, std::u16string_view(&unit, 1));
        return 0;
    }
}

LRESULT Mouse(EditState& state, HWND hwnd, UINT msg, LPARAM lParam)
{
    const int x = GET_X_LPARAM(lParam);
    switch (msg) {
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        SetCapture(hwnd);
        state.selecting = true;
        MoveCaret(state, hwnd, HitTest(state, hwnd, x), (GetKeyState(VK_SHIFT) & 0x8000) != 0);
        return 0;
    case WM_LBUTTONDBLCLK:
        SetFocus(hwnd);
        state.caret = HitTest(state, hwnd, x);
        SelectWord(state, hwnd);
        return 0;
    case WM_MOUSEMOVE:
        if (state.selecting)
            MoveCaret(state, hwnd, HitTest(state, hwnd, x), true);
        return 0;
    case WM_LBUTTONUP:
        if (state.selecting)
            ReleaseCapture();
        return 0;
    default: return 0;
    }
}

LRESULT SetText(EditState& state, HWND hwnd, LPCWSTR text)
{
    std::u16string value = NameOf(text);
    if (value.size() > state.limit)
        value.resize(state.limit);
    state.text = std::move(value);
    state.caret = state.anchor = 0;
    state.scroll = 0;
    InvalidateRect(hwnd, nullptr, FALSE);
    NotifyParent(hwnd, EN_CHANGE);
    return TRUE;
}

LRESULT GetText(EditState& state, WPARAM size, LPARAM buffer)
{
    auto* out = reinterpret_cast<LPWSTR>(buffer);
    if (!out || size == 0)
        return 0;
    const size_t count = std::min<size_t>(state.text.size(), size - 1);
    std::copy_n(state.text.data(), count, out);
    out[count] = 0;
    return static_cast<LRESULT>(count);
}

LRESULT Handle(EditState& state, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCCREATE: {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        state.text = NameOf(cs ? cs->lpszName : nullptr);
        return TRUE;
    }
    case WM_PAINT: Paint(state, hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
        state.font = reinterpret_cast<HFONT>(wParam);
        if (lParam)
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state.font);
    case WM_SETTEXT: return SetText(state, hwnd, reinterpret_cast<LPCWSTR>(lParam));
    case WM_GETTEXT: return GetText(state, wParam, lParam);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(state.text.size());
    case WM_KEYDOWN: return Key(state, hwnd, wParam);
    case WM_CHAR: return Char(state, hwnd, wParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: return Mouse(state, hwnd, msg, lParam);
    case WM_CAPTURECHANGED: state.selecting = false; return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        state.focused = msg == WM_SETFOCUS;
        InvalidateRect(hwnd, nullptr, FALSE);
        NotifyParent(hwnd, state.focused ? EN_SETFOCUS : EN_KILLFOCUS);
        return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        // While a combo box shows its list, Enter and Escape are the list's.
        if (InsideComboBox(hwnd) && SendMessageW(GetParent(hwnd), CB_GETDROPPEDSTATE, 0, 0))
            code |= DLGC_WANTALLKEYS;
        return code;
    }
    case EM_GETSEL:
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(state.selStart());
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(state.selEnd());
        return MAKELONG(std::min<size_t>(state.selStart(), 0xFFFF), std::min<size_t>(state.selEnd(), 0xFFFF));
    case EM_SETSEL: {
        // -1 as the start removes the selection; -1 as the end selects to the end.
        const auto start = static_cast<LONG_PTR>(static_cast<int>(wParam));
        const auto end = static_cast<LONG_PTR>(static_cast<int>(lParam));
        const size_t size = state.text.size();
        if (start < 0) {
            state.anchor = state.caret;
        } else {
            state.anchor = std::min<size_t>(static_cast<size_t>(start), size);
            state.caret = end < 0 ? size : std::min<size_t>(static_cast<size_t>(end), size);
        }
        Changed(state, hwnd, false);
        return 0;
    }
    case EM_REPLACESEL: Replace(state, hwnd, NameOf(reinterpret_cast<LPCWSTR>(lParam))); return 0;
    case EM_LIMITTEXT: state.limit = wParam ? static_cast<size_t>(wParam) : 0x7FFFFFFE; return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(state.limit);
    case EM_SETREADONLY: {
        const DWORD style = StyleOf(hwnd);
        SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(wParam ? style | ES_READONLY : style & ~ES_READONLY));
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    }
    case WM_COPY: Copy(state); return 0;
    case WM_PASTE: Paste(state, hwnd); return 0;
    case WM_CUT:
        Copy(state);
        Replace(state, hwnd, u"");
        return 0;
    case WM_CLEAR: Replace(state, hwnd, u""); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return WithState<EditState>(hwnd, msg, wParam, lParam, Handle);
}
