// The second instance of the published-window tests: finds the first process's published
// window among every process's windows, reads the handle kept in its first extra word, posts
// WM_COMMAND 1000 to that window, asks for the published window to be raised and says what
// it saw.
#include "windows.h"

#include <cstdio>
#include <string>

int main()
{
    HWND found = nullptr;
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            WCHAR name[64];
            const bool ipc = GetClassNameW(hwnd, name, 64) && std::u16string(name) == u"Quibo IPC";
            *reinterpret_cast<HWND*>(lParam) = ipc ? hwnd : nullptr;
            return !ipc;
        },
        reinterpret_cast<LPARAM>(&found));
    if (!found) {
        std::printf("none\n");
        return 1;
    }
    HWND main = reinterpret_cast<HWND>(static_cast<uintptr_t>(static_cast<uint32_t>(GetWindowLongW(found, 0))));
    const bool refused = !PostMessageW(main, WM_USER, 0, 0); // only commands cross
    const bool posted = PostMessageW(main, WM_COMMAND, 1000, 0);
    const bool raised = SetForegroundWindow(found);
    std::printf("found=%d refused=%d posted=%d raised=%d far=%d\n", IsWindow(found) ? 1 : 0, refused ? 1 : 0, posted ? 1 : 0,
                raised ? 1 : 0, GetWindowLongW(found, 4) == 0 ? 1 : 0);
    return 0;
}
