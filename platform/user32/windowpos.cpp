// Where windows are: placement, sizes and coordinate conversions.
#include "focus.h"
#include "hostevents.h"
#include "paint.h"

#include "hostscale.h"

#include <SDL.h>
#include <algorithm>
#include <cstring>

namespace {

void ChangeZOrder(Window& window, HWND insertAfter)
{
    if (window.isChild()) {
        Window* parent = FindWindowData(window.parent);
        if (!parent || (insertAfter != HWND_TOP && insertAfter != HWND_BOTTOM))
            return;
        std::erase(parent->children, window.handle);
        if (insertAfter == HWND_TOP)
            parent->children.insert(parent->children.begin(), window.handle);
        else
            parent->children.push_back(window.handle);
        return;
    }
    if (insertAfter == HWND_TOPMOST)
        window.exStyle |= WS_EX_TOPMOST;
    else if (insertAfter == HWND_NOTOPMOST)
        window.exStyle &= ~WS_EX_TOPMOST;
    else
        return;
    if (window.host)
        SDL_SetWindowAlwaysOnTop(window.host, (window.exStyle & WS_EX_TOPMOST) ? SDL_TRUE : SDL_FALSE);
}

// Moves and sizes under the lock; the messages that tell the window follow outside it.
bool Place(HWND hwnd, const RECT& rect, bool& moved, bool& sized)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window)
        return false;
    const RECT old = window->rect;
    moved = old.left != rect.left || old.top != rect.top;
    sized = window->width() != rect.right - rect.left || window->height() != rect.bottom - rect.top;
    if (!moved && !sized)
        return true;
    window->rect = rect;
    if (window->isChild()) {
        if (Window* parent = FindWindowData(window->parent); parent && IsShown(*window)) {
            AddToUpdate(*parent, &old, true);
            AddToUpdate(*parent, &rect, true);
        }
    } else if (window->host) {
        const int k = HostScale();
        if (moved)
            SDL_SetWindowPosition(window->host, rect.left * k, rect.top * k);
        if (sized) {
            ForgetWindowDCs(window->handle);
            SDL_FreeSurface(window->backing);
            window->backing = nullptr;
            SDL_SetWindowSize(window->host, std::max(1, window->width() * k), std::max(1, window->height() * k));
        }
    }
    if (IsShown(*window))
        AddToUpdate(*window, nullptr, true);
    return true;
}

} // namespace

HWND TopLevelOf(HWND hwnd)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    while (window && window->parent)
        window = FindWindowData(window->parent);
    return window ? window->handle : nullptr;
}

RECT ClientRectOf(const Window& window)
{
    return RECT{0, 0, window.width(), window.height()};
}

POINT OriginInTopLevel(const Window& window)
{
    POINT origin{0, 0};
    for (const Window* w = &window; w && w->isChild(); w = FindWindowData(w->parent)) {
        origin.x += w->rect.left;
        origin.y += w->rect.top;
    }
    return origin;
}

POINT ClientOriginOnScreen(const Window& window)
{
    POINT origin = OriginInTopLevel(window);
    Window* top = FindWindowData(TopLevelOf(window.handle));
    if (top) {
        origin.x += top->rect.left;
        origin.y += top->rect.top;
    }
    return origin;
}

bool IsShown(const Window& window)
{
    for (const Window* w = &window; w; w = w->parent ? FindWindowData(w->parent) : nullptr)
        if (!(w->style & WS_VISIBLE))
            return false;
    return true;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    RECT rect;
    bool child;
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return FALSE;
        hwnd = window->handle;
        child = window->isChild();
        rect = window->rect;
        if (!(flags & SWP_NOZORDER))
            ChangeZOrder(*window, insertAfter);
    }
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(hwnd, SW_HIDE);
    if (!(flags & SWP_NOMOVE))
        OffsetRect(&rect, x - rect.left, y - rect.top);
    if (!(flags & SWP_NOSIZE)) {
        rect.right = rect.left + std::max(cx, 0);
        rect.bottom = rect.top + std::max(cy, 0);
    }
    bool moved = false;
    bool sized = false;
    if (!Place(hwnd, rect, moved, sized))
        return FALSE;
    if (sized)
        SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rect.right - rect.left, rect.bottom - rect.top));
    if (moved)
        SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(rect.left, rect.top));
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    else if (!child && !(flags & SWP_NOACTIVATE) && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
        ActivateWindow(hwnd, WA_ACTIVE);
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL)
{
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL GetClientRect(HWND hwnd, LPRECT rect)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window || !rect)
        return FALSE;
    *rect = ClientRectOf(*window);
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window || !rect)
        return FALSE;
    const POINT origin = ClientOriginOnScreen(*window);
    *rect = RECT{origin.x, origin.y, origin.x + window->width(), origin.y + window->height()};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window || !point)
        return FALSE;
    const POINT origin = ClientOriginOnScreen(*window);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window || !point)
        return FALSE;
    const POINT origin = ClientOriginOnScreen(*window);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count)
{
    UserGuard guard(UserLock());
    POINT offset{0, 0};
    if (from) {
        Window* window = FindWindowData(from);
        if (!window)
            return 0;
        const POINT origin = ClientOriginOnScreen(*window);
        offset.x += origin.x;
        offset.y += origin.y;
    }
    if (to) {
        Window* window = FindWindowData(to);
        if (!window)
            return 0;
        const POINT origin = ClientOriginOnScreen(*window);
        offset.x -= origin.x;
        offset.y -= origin.y;
    }
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += offset.x;
        points[i].y += offset.y;
    }
    return MAKELONG(static_cast<SHORT>(offset.x), static_cast<SHORT>(offset.y));
}

HWND ChildWindowFromPoint(HWND parent, POINT point)
{
    std::vector<HWND> children;
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(parent);
        if (!window)
            return nullptr;
        parent = window->handle;
        children = window->children;
    }
    for (HWND child : children) {
        RECT rect;
        {
            UserGuard guard(UserLock());
            Window* window = FindWindowData(child);
            if (!window || !(window->style & WS_VISIBLE) || (window->style & WS_DISABLED))
                continue;
            rect = window->rect;
        }
        if (!PtInRect(&rect, point))
            continue;
        POINT screen = point;
        ClientToScreen(parent, &screen);
        if (SendMessageW(child, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTTRANSPARENT)
            continue;
        return child;
    }
    return parent;
}

// The deepest window under a screen point, skipping hidden, disabled and transparent ones.
HWND WindowFromPoint(POINT point)
{
    std::vector<HWND> tops = TopLevelWindows();
    HWND found = nullptr;
    for (auto it = tops.rbegin(); it != tops.rend() && !found; ++it) {
        RECT rect;
        if (IsWindowVisible(*it) && GetWindowRect(*it, &rect) && PtInRect(&rect, point))
            found = *it;
    }
    for (HWND inner = found; inner;) {
        POINT local = point;
        ScreenToClient(inner, &local);
        HWND next = ChildWindowFromPoint(inner, local);
        if (next == inner)
            break;
        found = inner = next;
    }
    return found;
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw)
{
    std::vector<RECT> parts;
    if (region) {
        const DWORD size = GetRegionData(region, 0, nullptr);
        if (!size)
            return 0;
        std::vector<BYTE> bytes(size);
        auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
        if (GetRegionData(region, size, data) != size)
            return 0;
        parts.resize(data->rdh.nCount);
        if (!parts.empty())
            std::memcpy(parts.data(), bytes.data() + sizeof(RGNDATAHEADER), parts.size() * sizeof(RECT));
    }
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return 0;
        window->shaped = region != nullptr;
        window->shape = std::move(parts);
    }
    if (region)
        DeleteObject(region);
    if (redraw)
        InvalidateRect(hwnd, nullptr, TRUE);
    return 1;
}

int GetWindowRgn(HWND hwnd, HRGN region)
{
    std::vector<RECT> parts;
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window || !window->shaped)
            return ERROR;
        parts = window->shape;
    }
    std::vector<BYTE> bytes(sizeof(RGNDATAHEADER) + parts.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
    data->rdh = RGNDATAHEADER{sizeof(RGNDATAHEADER), RDH_RECTANGLES, DWORD(parts.size()), 0, RECT{}};
    if (!parts.empty())
        std::memcpy(bytes.data() + sizeof(RGNDATAHEADER), parts.data(), parts.size() * sizeof(RECT));
    HRGN copy = ExtCreateRegion(nullptr, DWORD(bytes.size()), data);
    if (!copy)
        return ERROR;
    const int type = CombineRgn(region, copy, nullptr, RGN_COPY);
    DeleteObject(copy);
    return type;
}
