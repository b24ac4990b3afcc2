// "Static": text on the parent's background, left, centred or right, wrapped at words.
#include "controls.h"

namespace {

struct StaticState {
    HFONT font = nullptr;
};

void Paint(StaticState& state, HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(hdc, &client, ControlBrush(hwnd, hdc, WM_CTLCOLORSTATIC));
    const DWORD style = StyleOf(hwnd);
    if (style & SS_SUNKEN) {
        RECT edge = client;
        DrawEdge(hdc, &edge, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
    WCHAR text[1024];
    const int length = GetWindowTextW(hwnd, text, 1024);
    HGDIOBJ old = SelectObject(hdc, state.font ? state.font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(hdc, TRANSPARENT);
    if (!IsWindowEnabled(hwnd))
        SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    UINT format = DT_WORDBREAK;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: format = DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format = DT_RIGHT | DT_WORDBREAK; break;
    case SS_LEFTNOWORDWRAP: format = DT_SINGLELINE; break;
    default: break;
    }
    if (style & SS_CENTERIMAGE)
        format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    DrawTextW(hdc, text, length, &client, format);
    SelectObject(hdc, old);
    EndPaint(hwnd, &ps);
}

LRESULT Handle(StaticState& state, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
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
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcW(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_NCHITTEST: return (StyleOf(hwnd) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE: return DLGC_STATIC;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return WithState<StaticState>(hwnd, msg, wParam, lParam, Handle);
}
