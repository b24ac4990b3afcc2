// "Button": push buttons (the default one framed), check boxes, radio buttons and group boxes.
#include "controls.h"

namespace {

struct ButtonState {
    HFONT font = nullptr;
    UINT check = BST_UNCHECKED;
    bool pushed = false; // shown pressed
    bool tracking = false; // the mouse went down on it and holds the capture
    bool focused = false;
};

DWORD TypeOf(HWND hwnd)
{
    return StyleOf(hwnd) & BS_TYPEMASK;
}

bool IsPush(DWORD type)
{
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

bool IsRadio(DWORD type)
{
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool IsCheck(DWORD type)
{
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}

// The heavy frame marks the button Enter presses: the focused push button, else the default one.
bool ShowsDefault(HWND hwnd, DWORD type, bool focused)
{
    if (focused)
        return true;
    if (type != BS_DEFPUSHBUTTON)
        return false;
    HWND focus = GetFocus();
    if (!focus || GetParent(focus) != GetParent(hwnd))
        return true;
    WCHAR name[16];
    return !(GetClassNameW(focus, name, 16) && SameName(name, u"Button") && IsPush(TypeOf(focus)));
}

void DrawLabel(HDC hdc, HWND hwnd, RECT rect, UINT format, bool enabled)
{
    WCHAR text[256];
    const int length = GetWindowTextW(hwnd, text, 256);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawTextW(hdc, text, length, &rect, format);
}

void PaintPush(ButtonState& state, HWND hwnd, HDC hdc, RECT rect, bool enabled)
{
    if (ShowsDefault(hwnd, TypeOf(hwnd), state.focused)) {
        FrameRect(hdc, &rect, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&rect, -1, -1);
    }
    if (state.pushed) {
        FrameRect(hdc, &rect, GetSysColorBrush(COLOR_3DSHADOW));
        InflateRect(&rect, -1, -1);
        FillRect(hdc, &rect, GetSysColorBrush(COLOR_3DFACE));
    } else {
        DrawEdge(hdc, &rect, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
    }
    RECT label = rect;
    if (state.pushed)
        OffsetRect(&label, 1, 1);
    DrawLabel(hdc, hwnd, label, DT_CENTER | DT_VCENTER | DT_SINGLELINE, enabled);
    if (state.focused) {
        InflateRect(&rect, -2, -2);
        DrawFocusRect(hdc, &rect);
    }
}

void PaintMark(ButtonState& state, HWND hwnd, HDC hdc, const RECT& client, bool enabled)
{
    const int top = (client.top + client.bottom - 13) / 2;
    if (IsRadio(TypeOf(hwnd)))
        DrawRadioButton(hdc, client.left, top + 1, state.check == BST_CHECKED, enabled && !state.pushed);
    else
        DrawCheckBox(hdc, client.left, top, state.check != BST_UNCHECKED, enabled && !state.pushed);
    WCHAR text[256];
    const int length = GetWindowTextW(hwnd, text, 256);
    RECT label{client.left + 17, client.top, client.right, client.bottom};
    RECT measured = label;
    DrawTextW(hdc, text, length, &measured, DT_SINGLELINE | DT_CALCRECT);
    const int height = measured.bottom - measured.top;
    label.top = (client.top + client.bottom - height) / 2;
    label.bottom = label.top + height;
    DrawLabel(hdc, hwnd, label, DT_SINGLELINE, enabled);
    if (state.focused && length > 0) {
        RECT focus{label.left - 1, label.top - 1, std::min(label.left + measured.right - measured.left + 1, client.right),
                   label.bottom + 1};
        DrawFocusRect(hdc, &focus);
    }
}

void PaintGroup(HWND hwnd, HDC hdc, RECT client, bool enabled)
{
    WCHAR text[256];
    const int length = GetWindowTextW(hwnd, text, 256);
    RECT measured{0, 0, 0, 0};
    DrawTextW(hdc, text, length, &measured, DT_SINGLELINE | DT_CALCRECT);
    RECT frame = client;
    frame.top += (measured.bottom - measured.top) / 2;
    DrawEdge(hdc, &frame, EDGE_ETCHED, BF_RECT);
    if (length > 0) {
        RECT label{client.left + 8, client.top, client.left + 12 + measured.right, client.top + measured.bottom};
        FillRect(hdc, &label, ControlBrush(hwnd, hdc, WM_CTLCOLORSTATIC));
        label.left += 2;
        DrawLabel(hdc, hwnd, label, DT_SINGLELINE, enabled);
    }
}

void Paint(ButtonState& state, HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    const DWORD type = TypeOf(hwnd);
    FillRect(hdc, &client, ControlBrush(hwnd, hdc, IsPush(type) ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC));
    HGDIOBJ old = SelectObject(hdc, state.font ? state.font : GetStockObject(DEFAULT_GUI_FONT));
    const bool enabled = IsWindowEnabled(hwnd);
    if (IsPush(type))
        PaintPush(state, hwnd, hdc, client, enabled);
    else if (type == BS_GROUPBOX)
        PaintGroup(hwnd, hdc, client, enabled);
    else
        PaintMark(state, hwnd, hdc, client, enabled);
    SelectObject(hdc, old);
    EndPaint(hwnd, &ps);
}

void SetCheck(ButtonState& state, HWND hwnd, UINT check)
{
    if (state.check != check) {
        state.check = check;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

// An automatic radio button unchecks the other automatic radio buttons of its group.
void CheckInGroup(HWND hwnd)
{
    HWND parent = GetParent(hwnd);
    for (HWND other = GetNextDlgGroupItem(parent, hwnd, FALSE); other && other != hwnd; other = GetNextDlgGroupItem(parent, other, FALSE)) {
        WCHAR name[16];
        if (GetClassNameW(other, name, 16) && SameName(name, u"Button") && TypeOf(other) == BS_AUTORADIOBUTTON)
            SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
}

void Click(ButtonState& state, HWND hwnd)
{
    switch (TypeOf(hwnd)) {
    case BS_AUTOCHECKBOX: SetCheck(state, hwnd, state.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED); break;
    case BS_AUTO3STATE: SetCheck(state, hwnd, (state.check + 1) % 3); break;
    case BS_AUTORADIOBUTTON: CheckInGroup(hwnd); break;
    default: break;
    }
    NotifyParent(hwnd, BN_CLICKED);
}

void SetPushed(ButtonState& state, HWND hwnd, bool pushed)
{
    if (state.pushed != pushed) {
        state.pushed = pushed;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

bool Inside(HWND hwnd, LPARAM lParam)
{
    RECT client;
    GetClientRect(hwnd, &client);
    return PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
}

LRESULT Mouse(ButtonState& state, HWND hwnd, UINT msg, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetFocus(hwnd);
        SetCapture(hwnd);
        state.tracking = true;
        SetPushed(state, hwnd, true);
        return 0;
    case WM_MOUSEMOVE:
        if (state.tracking)
            SetPushed(state, hwnd, Inside(hwnd, lParam));
        return 0;
    case WM_LBUTTONUP: {
        if (!state.tracking)
            return 0;
        const bool click = state.pushed;
        ReleaseCapture();
        if (click && IsWindow(hwnd))
            Click(state, hwnd);
        return 0;
    }
    default: return 0;
    }
}

LRESULT Handle(ButtonState& state, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: Paint(state, hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
        state.font = reinterpret_cast<HFONT>(wParam);
        if (lParam)
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state.font);
    case WM_SETTEXT:
    case WM_ENABLE: {
        const LRESULT result = DefWindowProcW(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE: return Mouse(state, hwnd, msg, lParam);
    case WM_CAPTURECHANGED:
        state.tracking = false;
        SetPushed(state, hwnd, false);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE)
            SetPushed(state, hwnd, true);
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && state.pushed) {
            SetPushed(state, hwnd, false);
            Click(state, hwnd);
        }
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        state.focused = msg == WM_SETFOCUS;
        if (!state.focused)
            SetPushed(state, hwnd, false);
        // The parent's default button changes its frame when a push button takes the focus.
        InvalidateRect(GetParent(hwnd), nullptr, FALSE);
        if (StyleOf(hwnd) & BS_NOTIFY)
            NotifyParent(hwnd, state.focused ? BN_SETFOCUS : BN_KILLFOCUS);
        return 0;
    case WM_GETDLGCODE: {
        const DWORD type = TypeOf(hwnd);
        if (type == BS_DEFPUSHBUTTON)
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        if (type == BS_PUSHBUTTON)
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        if (IsRadio(type))
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        return type == BS_GROUPBOX ? DLGC_STATIC : DLGC_BUTTON;
    }
    case WM_NCHITTEST: return TypeOf(hwnd) == BS_GROUPBOX ? HTTRANSPARENT : HTCLIENT;
    case BM_GETCHECK: return IsCheck(TypeOf(hwnd)) || IsRadio(TypeOf(hwnd)) ? state.check : BST_UNCHECKED;
    case BM_SETCHECK:
        if (IsCheck(TypeOf(hwnd)) || IsRadio(TypeOf(hwnd)))
            SetCheck(state, hwnd, wParam > BST_INDETERMINATE ? BST_CHECKED : static_cast<UINT>(wParam));
        return 0;
    case BM_GETSTATE: return state.check | (state.pushed ? BST_PUSHED : 0) | (state.focused ? BST_FOCUS : 0);
    case BM_SETSTATE: SetPushed(state, hwnd, wParam != 0); return 0;
    case BM_SETSTYLE:
        SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>((StyleOf(hwnd) & ~0xFFFFu) | (wParam & 0xFFFF)));
        if (lParam)
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case BM_CLICK: Click(state, hwnd); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return WithState<ButtonState>(hwnd, msg, wParam, lParam, Handle);
}
