#include "instance.h"

#include "tl_string.h"

#include <cstdint>
#include <string>

namespace {

constexpr char16_t MUTEX_NAME[] = u"Quibo Mutex";
constexpr char16_t IPC_CLASS[] = u"Quibo IPC";

HANDLE g_mutex;
HWND g_ipcWindow;

BOOL CALLBACK matchIpcClass(HWND hwnd, LPARAM lParam)
{
    WCHAR name[64] = {};
    const int cch = GetClassNameW(hwnd, name, 64);
    if (cch > 0 && EqualsIgnoringAsciiCase(std::u16string_view(name, cch), IPC_CLASS)) {
        *reinterpret_cast<HWND*>(lParam) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND findIpcWindow()
{
    HWND found = nullptr;
    EnumWindows(matchIpcClass, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A hidden window of a class cloned from "Static", with one extra word for the main window and
// published so that other processes can find it.
HWND createIpcWindow(HINSTANCE instance)
{
    WNDCLASSW wc{};
    if (!GetClassInfoW(instance, IPC_CLASS, &wc)) {
        GetClassInfoW(nullptr, u"Static", &wc);
        wc.style |= CS_PUBLISHED;
        wc.lpfnWndProc = DefWindowProcW;
        wc.cbWndExtra = sizeof(LONG);
        wc.hInstance = instance;
        wc.lpszClassName = IPC_CLASS;
        if (!RegisterClassW(&wc))
            return nullptr;
    }
    return CreateWindowExW(0, IPC_CLASS, u"", WS_POPUP, -10, -10, 5, 5, nullptr, nullptr, instance, nullptr);
}

} // namespace

bool ClaimSingleInstance(HINSTANCE instance)
{
    HANDLE mutex = CreateMutexW(nullptr, TRUE, MUTEX_NAME);
    // Another start holds it while it looks for or makes its window: once it lets go, that
    // window exists, so two starts at the same moment cannot both become the first.
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS)
        WaitForSingleObject(mutex, INFINITE);

    if (HWND ipc = findIpcWindow()) {
        const auto stored = static_cast<uint32_t>(GetWindowLongW(ipc, 0));
        HWND target = stored ? reinterpret_cast<HWND>(static_cast<uintptr_t>(stored)) : ipc;
        if (mutex) {
            ReleaseMutex(mutex);
            CloseHandle(mutex);
        }
        PostMessageW(target, WM_COMMAND, CMD_TO_FRONT, 0);
        return false;
    }
    g_ipcWindow = createIpcWindow(instance);
    // Kept open for the whole run: the name lives as long as a handle to it does.
    g_mutex = mutex;
    if (mutex)
        ReleaseMutex(mutex);
    return true;
}

void PublishMainWindow(HWND mainWindow)
{
    if (g_ipcWindow)
        SetWindowLongW(g_ipcWindow, 0, static_cast<LONG>(reinterpret_cast<uintptr_t>(mainWindow)));
}

void ReleaseSingleInstance()
{
    if (g_ipcWindow)
        DestroyWindow(g_ipcWindow);
    g_ipcWindow = nullptr;
    if (g_mutex)
        CloseHandle(g_mutex);
    g_mutex = nullptr;
}
