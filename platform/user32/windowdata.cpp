// What a window holds: styles, ids, extra words, text, relations; and finding windows.
#include "focus.h"
#include "paint.h"
#include "published.h"

#include <SDL.h>
#include <algorithm>
#include <cstring>
#include <unistd.h>
#include <utility>

namespace {

bool IsPointerIndex(int index)
{
    return index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT || index == GWLP_USERDATA;
}

template<class T> bool ReadExtra(const Window& window, int index, T& value)
{
    if (index < 0 || static_cast<size_t>(index) + sizeof(T) > window.extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return false;
    }
    std::memcpy(&value, window.extra.data() + index, sizeof(T));
    return true;
}

template<class T> bool WriteExtra(Window& window, int index, T value, T& previous)
{
    if (!ReadExtra(window, index, previous))
        return false;
    std::memcpy(window.extra.data() + index, &value, sizeof(T));
    return true;
}

} // namespace

LONG GetWindowLongW(HWND hwnd, int index)
{
    if (hwnd && !IsLocalHandle(hwnd)) {
        LONG value = 0;
        return PublishedWindowLong(hwnd, index, value) ? value : 0;
    }
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window)
        return 0;
    LONG value = 0;
    switch (index) {
    case GWL_STYLE: return static_cast<LONG>(window->style);
    case GWL_EXSTYLE: return static_cast<LONG>(window->exStyle);
    case GWL_ID: return static_cast<LONG>(window->id);
    default:
        if (IsPointerIndex(index)) {
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
        }
        ReadExtra(*window, index, value);
        return value;
    }
}

LONG SetWindowLongW(HWND hwnd, int index, LONG value)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window)
        return 0;
    LONG previous = 0;
    switch (index) {
    case GWL_STYLE:
        previous = static_cast<LONG>(window->style);
        window->style = static_cast<DWORD>(value);
        return previous;
    case GWL_EXSTYLE:
        previous = static_cast<LONG>(window->exStyle);
        window->exStyle = static_cast<DWORD>(value);
        return previous;
    case GWL_ID:
        previous = static_cast<LONG>(window->id);
        window->id = value;
        return previous;
    default:
        if (IsPointerIndex(index)) {
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
        }
        WriteExtra(*window, index, value, previous);
        return previous;
    }
}

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window)
        return 0;
    LONG_PTR value = 0;
    switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(window->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(window->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(window->parent ? window->parent : window->owner);
    case GWLP_USERDATA: return window->userData;
    case GWL_STYLE:
    case GWL_EXSTYLE:
    case GWL_ID: return GetWindowLongW(hwnd, index);
    default: ReadExtra(*window, index, value); return value;
    }
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window)
        return 0;
    LONG_PTR previous = 0;
    switch (index) {
    case GWLP_WNDPROC:
        if (!value) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        previous = reinterpret_cast<LONG_PTR>(window->proc);
        window->proc = reinterpret_cast<WNDPROC>(value);
        return previous;
    case GWLP_USERDATA: return std::exchange(window->userData, value);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(std::exchange(window->instance, reinterpret_cast<HINSTANCE>(value)));
    case GWL_STYLE:
    case GWL_EXSTYLE:
    case GWL_ID: return SetWindowLongW(hwnd, index, static_cast<LONG>(value));
    case GWLP_HWNDPARENT: SetLastError(ERROR_INVALID_INDEX); return 0;
    default: WriteExtra(*window, index, value, previous); return previous;
    }
}

WORD GetWindowWord(HWND hwnd, int index)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    WORD value = 0;
    if (window)
        ReadExtra(*window, index, value);
    return value;
}

HWND GetParent(HWND hwnd)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window)
        return nullptr;
    if (window->parent)
        return window->parent;
    return (window->style & WS_POPUP) ? window->owner : nullptr;
}

HWND GetWindow(HWND hwnd, UINT command)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window)
        return nullptr;
    if (command == GW_OWNER)
        return window->owner;
    if (command == GW_CHILD)
        return window->children.empty() ? nullptr : window->children.front();
    const std::vector<HWND> siblings = window->parent ? FindWindowData(window->parent)->children : TopLevelWindows();
    const auto it = std::find(siblings.begin(), siblings.end(), window->handle);
    switch (command) {
    case GW_HWNDFIRST: return siblings.front();
    case GW_HWNDLAST: return siblings.back();
    case GW_HWNDNEXT: return it + 1 == siblings.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV: return it == siblings.begin() ? nullptr : *(it - 1);
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
    }
}

HWND GetDlgItem(HWND dialog, int id)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(dialog);
    if (!window)
        return nullptr;
    for (HWND child : window->children)
        if (Window* control = FindWindowData(child); control && static_cast<int>(control->id) == id)
            return child;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    return window && window->isChild() ? static_cast<int>(window->id) : 0;
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    bool wasDisabled;
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return FALSE;
        hwnd = window->handle;
        wasDisabled = (window->style & WS_DISABLED) != 0;
        if (wasDisabled == !enable)
            return wasDisabled ? TRUE : FALSE;
        if (enable)
            window->style &= ~WS_DISABLED;
        else
            window->style |= WS_DISABLED;
        if (IsShown(*window))
            AddToUpdate(*window, nullptr, true);
    }
    if (!enable) {
        HWND focus = GetFocus();
        if (focus == hwnd || IsChild(hwnd, focus))
            SetFocus(nullptr);
        if (GetCapture() == hwnd)
            ReleaseCapture();
    }
    SendMessageW(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    return window && !(window->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text)
{
    return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextW(HWND hwnd, LPWSTR text, int cchMax)
{
    if (!text || cchMax <= 0)
        return 0;
    text[0] = 0;
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(cchMax), reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthW(HWND hwnd)
{
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

int GetClassNameW(HWND hwnd, LPWSTR name, int cchMax)
{
    if (!name || cchMax <= 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::u16string className;
    if (hwnd && !IsLocalHandle(hwnd)) {
        if (!PublishedClassName(hwnd, className))
            return 0;
    } else {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return 0;
        className = window->cls->name;
    }
    const size_t count = std::min<size_t>(className.size(), static_cast<size_t>(cchMax) - 1);
    std::copy_n(className.data(), count, name);
    name[count] = 0;
    return static_cast<int>(count);
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam)
{
    if (!proc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (HWND hwnd : TopLevelWindows())
        if (IsWindow(hwnd) && !proc(hwnd, lParam))
            return TRUE;
    for (HWND hwnd : PublishedWindows())
        if (!proc(hwnd, lParam))
            return TRUE;
    return TRUE;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName)
{
    struct Search {
        LPCWSTR className;
        LPCWSTR windowName;
        HWND found;
    } search{className, windowName, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lParam);
            WCHAR buffer[256];
            if (s.className && (!GetClassNameW(hwnd, buffer, 256) || !SameName(buffer, s.className)))
                return TRUE;
            if (s.windowName) {
                if (!IsLocalHandle(hwnd))
                    return TRUE;
                GetWindowTextW(hwnd, buffer, 256);
                if (NameOf(buffer) != NameOf(s.windowName))
                    return TRUE;
            }
            s.found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId)
{
    if (hwnd && !IsLocalHandle(hwnd)) {
        if (processId)
            *processId = static_cast<DWORD>(ProcessOfHandle(hwnd));
        return 0;
    }
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window)
        return 0;
    if (processId)
        *processId = static_cast<DWORD>(getpid());
    return window->thread;
}
