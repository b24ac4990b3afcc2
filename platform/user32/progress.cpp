// "msctls_progress32": a sunken bar filled from the left in blocks (or smoothly) to its position.
#include "controls.h"

#include <algorithm>
#include <utility>

namespace {

struct ProgressState {
    int low = 0;
    int high = 100;
    int pos = 0;
    int step = 10;
};

void Paint(ProgressState& state, HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT rect;
    GetClientRect(hwnd, &rect);
    DrawEdge(hdc, &rect, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    FillRect(hdc, &rect, GetSysColorBrush(COLOR_3DFACE));
    InflateRect(&rect, -1, -1);
    const int span = state.high - state.low;
    const int width = rect.right - rect.left;
    const int filled = span > 0 ? static_cast<int>(static_cast<long long>(state.pos - state.low) * width / span) : 0;
    HBRUSH bar = GetSysColorBrush(COLOR_HIGHLIGHT);
    if (StyleOf(hwnd) & PBS_SMOOTH) {
        RECT part{rect.left, rect.top, rect.left + filled, rect.bottom};
        FillRect(hdc, &part, bar);
    } else {
        // Blocks two thirds as wide as the bar is high, two pixels apart.
        const int block = std::max(2, (rect.bottom - rect.top) * 2 / 3);
        for (int x = rect.left; x < rect.left + filled; x += block + 2) {
            RECT part{x, rect.top, std::min<LONG>(x + block, rect.right), rect.bottom};
            FillRect(hdc, &part, bar);
        }
    }
    EndPaint(hwnd, &ps);
}

int SetPos(ProgressState& state, HWND hwnd, int pos)
{
    const int previous = state.pos;
    state.pos = std::clamp(pos, state.low, std::max(state.low, state.high));
    if (state.pos != previous)
        InvalidateRect(hwnd, nullptr, FALSE);
    return previous;
}

LRESULT Handle(ProgressState& state, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: Paint(state, hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case PBM_SETRANGE:
    case PBM_SETRANGE32: {
        const LRESULT previous = MAKELONG(state.low, state.high);
        state.low = msg == PBM_SETRANGE ? LOWORD(lParam) : static_cast<int>(wParam);
        state.high = msg == PBM_SETRANGE ? HIWORD(lParam) : static_cast<int>(lParam);
        SetPos(state, hwnd, state.pos);
        InvalidateRect(hwnd, nullptr, FALSE);
        return previous;
    }
    case PBM_GETRANGE: return wParam ? state.low : state.high;
    case PBM_SETPOS: return SetPos(state, hwnd, static_cast<int>(wParam));
    case PBM_DELTAPOS: return SetPos(state, hwnd, state.pos + static_cast<int>(wParam));
    case PBM_SETSTEP: return std::exchange(state.step, static_cast<int>(wParam));
    case PBM_STEPIT: {
        // Stepping past the end starts again at the beginning.
        int next = state.pos + state.step;
        if (next > state.high)
            next = state.low + (next - state.high);
        return SetPos(state, hwnd, next);
    }
    case PBM_GETPOS: return state.pos;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return WithState<ProgressState>(hwnd, msg, wParam, lParam, Handle);
}
