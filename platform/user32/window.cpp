// Creating, showing and destroying windows, and the default window procedure.
#include "focus.h"
#include "hostevents.h"
#include "paint.h"
#include "published.h"
#include "published/protocol.h"
#include "queue.h"
#include "utf.h"

#include <SDL.h>
#include <algorithm>
#include <utility>

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

HWND Register(const std::shared_ptr<WindowClass>& cls, DWORD exStyle, DWORD style, RECT rect, HWND parent, HWND owner, HMENU menu,
              HINSTANCE instance)
{
    UserGuard guard(UserLock());
    Window* parentWindow = parent ? FindWindowData(parent) : nullptr;
    if (parent && !parentWindow)
        return nullptr;
    HWND handle = NewWindowHandle();
    if (!handle)
        return nullptr;
    auto window = std::make_unique<Window>();
    window->handle = handle;
    window->cls = cls;
    window->proc = cls->proc;
    window->style = style & ~WS_VISIBLE; // shown once it exists
    window->exStyle = exStyle;
    window->parent = parent;
    window->owner = owner;
    window->rect = rect;
    window->extra.assign(static_cast<size_t>(cls->wndExtra), 0);
    window->id = (style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(menu) : 0;
    window->instance = instance;
    window->thread = CurrentQueue().thread; // the thread's queue exists as long as its windows
    if (parentWindow)
        parentWindow->children.push_back(handle);
    AddWindowData(std::move(window));
    return handle;
}

// WM_DESTROY goes to a window before its children, WM_NCDESTROY after them.
void SendDestroy(HWND hwnd)
{
    SendMessageW(hwnd, WM_DESTROY, 0, 0);
    std::vector<HWND> children;
    {
        UserGuard guard(UserLock());
        if (Window* window = FindWindowData(hwnd))
            children = window->children;
    }
    for (HWND child : children)
        SendDestroy(child);
}

void SendNcDestroyAndFree(HWND hwnd)
{
    std::vector<HWND> children;
    {
        UserGuard guard(UserLock());
        if (Window* window = FindWindowData(hwnd))
            children = window->children;
    }
    for (HWND child : children)
        SendNcDestroyAndFree(child);
    SendMessageW(hwnd, WM_NCDESTROY, 0, 0);
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window)
        return;
    if (Window* parent = window->parent ? FindWindowData(window->parent) : nullptr)
        std::erase(parent->children, hwnd);
    if (std::shared_ptr<MessageQueue> queue = QueueOfThread(window->thread))
        ForgetWindow(*queue, hwnd);
    DestroyHostWindow(*window);
    RemoveWindowData(hwnd);
}

std::vector<HWND> OwnedWindows(HWND owner)
{
    std::vector<HWND> owned;
    UserGuard guard(UserLock());
    for (HWND top : TopLevelWindows())
        if (Window* window = FindWindowData(top); window && window->owner == owner)
            owned.push_back(top);
    return owned;
}

void SetHostTitle(Window& window)
{
    if (window.host)
        SDL_SetWindowTitle(window.host, Utf16ToUtf8(window.text).c_str());
}

} // namespace

LRESULT CallProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC proc;
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return 0;
        proc = window->proc;
        hwnd = window->handle;
    }
    return proc(hwnd, msg, wParam, lParam);
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width, int height, HWND parent,
                     HMENU menu, HINSTANCE instance, LPVOID param)
{
    const std::shared_ptr<WindowClass> cls = FindClass(className);
    if (!cls) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return nullptr;
    }
    HWND owner = nullptr;
    {
        UserGuard guard(UserLock());
        Window* parentWindow = parent ? FindWindowData(parent) : nullptr;
        if (parent && !parentWindow)
            return nullptr;
        if ((style & WS_CHILD) && !parentWindow) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if (parentWindow) {
            parent = parentWindow->handle;
            if (!(style & WS_CHILD)) {
                owner = TopLevelOf(parent);
                parent = nullptr;
            }
        }
    }
    if (x == CW_USEDEFAULT)
        x = y = 0;
    if (width == CW_USEDEFAULT) {
        width = kDefaultWidth;
        height = kDefaultHeight;
    }
    const RECT rect{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    HWND hwnd = Register(cls, exStyle, style, rect, parent, owner, menu, instance);
    if (!hwnd)
        return nullptr;

    CREATESTRUCTW cs{};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent ? parent : owner;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.x = x;
    cs.y = y;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = IS_INTRESOURCE(windowName) ? nullptr : windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (!SendMessageW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))
        || SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!IsWindow(hwnd))
        return nullptr;
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cs.cx, cs.cy));
    SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(x, y));
    if ((cls->style & CS_PUBLISHED) && !(style & WS_CHILD))
        StartPublishing();
    if (style & WS_VISIBLE)
        ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd)
{
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return FALSE;
        if (window->thread != CurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (window->destroying)
            return TRUE;
        window->destroying = true;
        hwnd = window->handle;
    }
    for (HWND owned : OwnedWindows(hwnd))
        DestroyWindow(owned);
    ShowWindow(hwnd, SW_HIDE);
    ForgetFocusWithin(hwnd);
    SendDestroy(hwnd);
    SendNcDestroyAndFree(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd)
{
    if (hwnd && !IsLocalHandle(hwnd))
        return IsPublishedWindow(hwnd) ? TRUE : FALSE;
    UserGuard guard(UserLock());
    return FindWindowData(hwnd) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    return window && IsShown(*window) ? TRUE : FALSE;
}

BOOL IsChild(HWND parent, HWND hwnd)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    Window* ancestor = FindWindowData(parent);
    if (!ancestor)
        return FALSE;
    while (window && window->parent) {
        if (window->parent == ancestor->handle)
            return TRUE;
        window = FindWindowData(window->parent);
    }
    return FALSE;
}

BOOL ShowWindow(HWND hwnd, int showCommand)
{
    bool wasVisible;
    bool child;
    bool disabled;
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return FALSE;
        hwnd = window->handle;
        wasVisible = (window->style & WS_VISIBLE) != 0;
        child = window->isChild();
        disabled = (window->style & WS_DISABLED) != 0;
    }
    const bool show = showCommand != SW_HIDE && showCommand != SW_MINIMIZE;
    if (show == wasVisible) {
        if (show && !child && showCommand != SW_SHOWNA && showCommand != SW_SHOWNOACTIVATE && !disabled)
            ActivateWindow(hwnd, WA_ACTIVE);
        return wasVisible ? TRUE : FALSE;
    }
    SendMessageW(hwnd, WM_SHOWWINDOW, show, 0);
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return wasVisible;
        if (show) {
            window->style |= WS_VISIBLE;
            if (!child)
                if (SDL_Window* host = HostWindowFor(*window))
                    SDL_ShowWindow(host);
            AddToUpdate(*window, nullptr, true);
        } else {
            window->style &= ~WS_VISIBLE;
            window->update = RECT{};
            if (child) {
                if (Window* parent = FindWindowData(window->parent))
                    AddToUpdate(*parent, &window->rect, true);
            } else if (window->host) {
                SDL_HideWindow(window->host);
            }
        }
    }
    if (!show)
        ForgetFocusWithin(hwnd);
    else if (!child && showCommand != SW_SHOWNA && showCommand != SW_SHOWNOACTIVATE && !disabled)
        ActivateWindow(hwnd, WA_ACTIVE);
    return wasVisible ? TRUE : FALSE;
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCCREATE: {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (cs && cs->lpszName)
            DefWindowProcW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(cs->lpszName));
        return TRUE;
    }
    case WM_SETTEXT: {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return FALSE;
        window->text = NameOf(reinterpret_cast<LPCWSTR>(lParam));
        SetHostTitle(*window);
        return TRUE;
    }
    case WM_GETTEXT: {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        if (!window || !buffer || wParam == 0)
            return 0;
        const size_t count = std::min<size_t>(window->text.size(), wParam - 1);
        std::copy_n(window->text.data(), count, buffer);
        buffer[count] = 0;
        return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH: {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        return window ? static_cast<LRESULT>(window->text.size()) : 0;
    }
    case WM_SETICON: {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window || wParam > ICON_BIG)
            return 0;
        const HICON previous = std::exchange(wParam == ICON_BIG ? window->bigIcon : window->smallIcon, reinterpret_cast<HICON>(lParam));
        SetHostIcon(*window);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON: {
        UserGuard guard(UserLock());
        const Window* window = FindWindowData(hwnd);
        if (!window)
            return 0;
        return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? window->bigIcon : window->smallIcon);
    }
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            SendMessageW(hwnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: return EraseBackground(hwnd, reinterpret_cast<HDC>(wParam));
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !IsChild(hwnd, GetFocus()))
            SetFocus(hwnd);
        return 0;
    case WM_NCHITTEST: return HTCLIENT;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: {
        // Text fields are white, everything else has the face colour.
        const bool field = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
        HDC hdc = reinterpret_cast<HDC>(wParam);
        SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(hdc, GetSysColor(field ? COLOR_WINDOW : COLOR_3DFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(field ? COLOR_WINDOW : COLOR_3DFACE));
    }
    case published::kRaiseMessage: SetForegroundWindow(hwnd); return 0;
    case WM_MOUSEACTIVATE: return 1; // MA_ACTIVATE
    default: return 0;
    }
}
