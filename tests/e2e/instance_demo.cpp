// Windows of separate processes on a real display.
//   instance_demo window NAME RRGGBB [--ipc]  a 300 x 200 window filled with the colour at (0, 0);
//       with --ipc also a hidden published window whose first extra word holds the window's
//       handle. Command 1000 raises the window; closing it ends the program. Prints "raised" and
//       "closed" as they happen.
//   instance_demo post  finds the published window in another process, reads the handle from
//       its first extra word and posts command 1000 to that window; exit 1 when nothing is found.
#include "windows.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char16_t kIpcClass[] = u"Instance demo IPC";
const char16_t kWindowClass[] = u"Instance demo";

COLORREF g_color = 0;

void Say(const char* text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        HBRUSH brush = CreateSolidBrush(g_color);
        FillRect(hdc, &ps.rcPaint, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == 1000) {
            // What a program does to come to the front when another start asks it to.
            SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            SetForegroundWindow(hwnd);
            Say("raised");
        }
        return 0;
    case WM_DESTROY:
        Say("closed");
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

// A window of a class of its own, registered for it.
HWND MakeWindow(const char16_t* className, WNDPROC proc, UINT style, int extra, const char16_t* title, RECT r)
{
    WNDCLASSW wc{};
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = extra;
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    return CreateWindowExW(0, className, title, WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr,
                           nullptr);
}

int ShowWindowUntilClosed(const char* name, const char* color, bool ipc)
{
    const unsigned long rgb = std::strtoul(color, nullptr, 16);
    g_color = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    const std::u16string title(name, name + std::strlen(name));
    HWND main = MakeWindow(kWindowClass, WindowProc, 0, 0, title.c_str(), {0, 0, 300, 200});
    HWND published = ipc ? MakeWindow(kIpcClass, DefWindowProcW, CS_PUBLISHED, 4, nullptr, {-10, -10, -5, -5}) : nullptr;
    if (!main || (ipc && !published))
        return 2;
    if (published)
        SetWindowLongW(published, 0, static_cast<LONG>(reinterpret_cast<uintptr_t>(main)));
    ShowWindow(main, SW_SHOW);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

int PostToFirst()
{
    HWND ipc = nullptr;
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            WCHAR name[64];
            if (GetClassNameW(hwnd, name, 64) && std::u16string(name) == kIpcClass) {
                *reinterpret_cast<HWND*>(lParam) = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ipc));
    if (!ipc)
        return 1;
    HWND main = reinterpret_cast<HWND>(static_cast<uintptr_t>(static_cast<uint32_t>(GetWindowLongW(ipc, 0))));
    return PostMessageW(main, WM_COMMAND, 1000, 0) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "post") == 0)
        return PostToFirst();
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "window") == 0)
        return ShowWindowUntilClosed(argv[2], argv[3], argc == 5 && std::strcmp(argv[4], "--ipc") == 0);
    std::fprintf(stderr, "usage: instance_demo window NAME RRGGBB [--ipc] | instance_demo post\n");
    return 2;
}
