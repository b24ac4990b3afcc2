// Another program's window: NAME, 300 x 200 at (0, 0), filled with the colour RRGGBB. Shown
// over the game, it covers it and takes the activation; SIGTERM closes it.
#include "windows.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

COLORREF g_color = 0;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        HBRUSH brush = CreateSolidBrush(g_color);
        FillRect(hdc, &ps.rcPaint, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: cover_window NAME RRGGBB\n");
        return 2;
    }
    const unsigned long rgb = std::strtoul(argv[2], nullptr, 16);
    g_color = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.lpszClassName = u"Cover window";
    RegisterClassW(&wc);
    const std::u16string title(argv[1], argv[1] + std::strlen(argv[1]));
    HWND window = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    if (!window)
        return 2;
    ShowWindow(window, SW_SHOW);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
