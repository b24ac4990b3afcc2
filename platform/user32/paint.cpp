// Update regions: what waits to be painted, and what was drawn but is not yet on the screen.
// An update region is kept as one rectangle, the union of what was invalidated.
#include "paint.h"

#include "hostevents.h"

#include <algorithm>

namespace {

HWND FirstDirty(HWND hwnd)
{
    Window* window = FindWindowData(hwnd);
    if (!window || !(window->style & WS_VISIBLE))
        return nullptr;
    if (!IsRectEmpty(&window->update))
        return window->handle;
    for (HWND child : window->children)
        if (HWND dirty = FirstDirty(child))
            return dirty;
    return nullptr;
}

void Validate(Window& window, const RECT* rect)
{
    if (!rect) {
        window.update = RECT{};
        window.erase = false;
        return;
    }
    RECT& u = window.update;
    // The rest of the update rectangle stays when the validated part cuts off a whole side.
    if (rect->left <= u.left && rect->right >= u.right) {
        if (rect->top <= u.top && rect->bottom >= u.bottom)
            u = RECT{};
        else if (rect->top <= u.top && rect->bottom > u.top)
            u.top = rect->bottom;
        else if (rect->bottom >= u.bottom && rect->top < u.bottom)
            u.bottom = rect->top;
    } else if (rect->top <= u.top && rect->bottom >= u.bottom) {
        if (rect->left <= u.left && rect->right > u.left)
            u.left = rect->right;
        else if (rect->right >= u.right && rect->left < u.right)
            u.right = rect->left;
    }
    if (IsRectEmpty(&u))
        window.erase = false;
}

} // namespace

void AddToUpdate(Window& window, const RECT* rect, bool erase)
{
    const RECT client = ClientRectOf(window);
    RECT part = client;
    if (rect && !IntersectRect(&part, rect, &client))
        return;
    if (IsRectEmpty(&part))
        return;
    UnionRect(&window.update, &window.update, &part);
    window.erase = window.erase || erase;
    // The children share the parent's pixels, so they are painted again over what it paints.
    for (HWND hwnd : window.children) {
        Window* child = FindWindowData(hwnd);
        RECT overlap;
        if (child && (child->style & WS_VISIBLE) && IntersectRect(&overlap, &part, &child->rect)) {
            OffsetRect(&overlap, -child->rect.left, -child->rect.top);
            AddToUpdate(*child, &overlap, erase);
        }
    }
}

HWND NextWindowToPaint(DWORD thread, HWND filter)
{
    UserGuard guard(UserLock());
    if (filter && filter != reinterpret_cast<HWND>(-1)) {
        Window* window = FindWindowData(filter);
        return window && window->thread == thread ? FirstDirty(window->handle) : nullptr;
    }
    for (HWND top : TopLevelWindows()) {
        Window* window = FindWindowData(top);
        if (window && window->thread == thread)
            if (HWND dirty = FirstDirty(top))
                return dirty;
    }
    return nullptr;
}

void MarkChanged(Window& topLevel, const RECT& rect)
{
    RECT part;
    const RECT client = ClientRectOf(topLevel);
    if (!IntersectRect(&part, &rect, &client))
        return;
    for (RECT& changed : topLevel.changed) {
        RECT overlap;
        if (IntersectRect(&overlap, &changed, &part)) {
            UnionRect(&changed, &changed, &part);
            return;
        }
    }
    topLevel.changed.push_back(part);
}

void FlushHostSurfaces()
{
    UserGuard guard(UserLock());
    for (HWND top : TopLevelWindows()) {
        Window* window = FindWindowData(top);
        if (!window || window->changed.empty())
            continue;
        if (window->host && (window->style & WS_VISIBLE))
            PresentHostWindow(*window, window->changed);
        window->changed.clear();
    }
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
    UserGuard guard(UserLock());
    if (!hwnd) {
        for (HWND top : TopLevelWindows())
            if (Window* window = FindWindowData(top); window && IsShown(*window))
                AddToUpdate(*window, nullptr, erase);
        return TRUE;
    }
    Window* window = FindWindowData(hwnd);
    if (!window)
        return FALSE;
    if (IsShown(*window))
        AddToUpdate(*window, rect, erase);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window)
        return FALSE;
    Validate(*window, rect);
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window)
        return FALSE;
    if (rect)
        *rect = window->update;
    return IsRectEmpty(&window->update) ? FALSE : TRUE;
}

BOOL UpdateWindow(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return FALSE;
    // Children after their parent, so they end on top of what it paints.
    for (HWND dirty = NextWindowToPaint(GetWindowThreadProcessId(hwnd, nullptr), hwnd); dirty;) {
        SendMessageW(dirty, WM_PAINT, 0, 0);
        HWND next = NextWindowToPaint(GetWindowThreadProcessId(hwnd, nullptr), hwnd);
        if (next == dirty) {
            // A procedure that does not paint leaves the region; nothing more can be done now.
            ValidateRect(dirty, nullptr);
            next = NextWindowToPaint(GetWindowThreadProcessId(hwnd, nullptr), hwnd);
        }
        dirty = next;
    }
    return TRUE;
}
