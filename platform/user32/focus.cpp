// Activation, keyboard focus and mouse capture.
#include "focus.h"

#include "published.h"

#include <SDL.h>

namespace {

struct FocusState {
    HWND active = nullptr;
    HWND focus = nullptr;
    HWND capture = nullptr;
};

FocusState& State()
{
    static FocusState state;
    return state;
}

bool Within(HWND outer, HWND hwnd)
{
    return hwnd && (hwnd == outer || IsChild(outer, hwnd));
}

} // namespace

void ActivateWindow(HWND topLevel, WPARAM how)
{
    HWND previous;
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(topLevel);
        if (!window || window->isChild() || State().active == window->handle)
            return;
        topLevel = window->handle;
        previous = State().active;
        State().active = topLevel;
    }
    if (previous)
        SendMessageW(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(topLevel));
    SendMessageW(topLevel, WM_ACTIVATE, how, reinterpret_cast<LPARAM>(previous));
}

void DeactivateWindow(HWND topLevel)
{
    {
        UserGuard guard(UserLock());
        if (!topLevel || State().active != topLevel)
            return;
        State().active = nullptr;
    }
    SendMessageW(topLevel, WM_ACTIVATE, WA_INACTIVE, 0);
    HWND focus = GetFocus();
    if (Within(topLevel, focus))
        SetFocus(nullptr);
}

void ForgetFocusWithin(HWND hwnd)
{
    if (Within(hwnd, GetCapture()))
        ReleaseCapture();
    if (Within(hwnd, GetFocus()))
        SetFocus(nullptr);
    HWND owner = nullptr;
    {
        UserGuard guard(UserLock());
        if (State().active != hwnd)
            return;
        State().active = nullptr;
        if (Window* window = FindWindowData(hwnd))
            owner = window->owner;
    }
    // Activation goes back to the owner, as when a dialog closes.
    if (owner && IsWindowVisible(owner) && IsWindowEnabled(owner))
        ActivateWindow(owner, WA_ACTIVE);
}

HWND SetFocus(HWND hwnd)
{
    HWND top = nullptr;
    if (hwnd) {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return nullptr;
        hwnd = window->handle;
        top = TopLevelOf(hwnd);
    }
    if (top && GetActiveWindow() != top)
        ActivateWindow(top, WA_ACTIVE);
    HWND previous;
    {
        UserGuard guard(UserLock());
        previous = State().focus;
        if (previous == hwnd)
            return previous;
        State().focus = hwnd;
    }
    if (previous && IsWindow(previous))
        SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd && GetFocus() == hwnd)
        SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND GetFocus()
{
    UserGuard guard(UserLock());
    return State().focus;
}

HWND SetCapture(HWND hwnd)
{
    HWND previous;
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return nullptr;
        hwnd = window->handle;
        previous = State().capture;
        State().capture = hwnd;
    }
    SDL_CaptureMouse(SDL_TRUE);
    if (previous && previous != hwnd)
        SendMessageW(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return previous;
}

BOOL ReleaseCapture()
{
    HWND previous;
    {
        UserGuard guard(UserLock());
        previous = State().capture;
        State().capture = nullptr;
    }
    if (!previous)
        return TRUE;
    SDL_CaptureMouse(SDL_FALSE);
    SendMessageW(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture()
{
    UserGuard guard(UserLock());
    return State().capture;
}

HWND GetActiveWindow()
{
    UserGuard guard(UserLock());
    return State().active;
}

HWND GetForegroundWindow()
{
    return GetActiveWindow();
}

HWND SetActiveWindow(HWND hwnd)
{
    HWND previous = GetActiveWindow();
    ActivateWindow(TopLevelOf(hwnd), WA_ACTIVE);
    return previous;
}

BOOL SetForegroundWindow(HWND hwnd)
{
    if (hwnd && !IsLocalHandle(hwnd))
        return RaisePublished(hwnd) ? TRUE : FALSE;
    HWND top = TopLevelOf(hwnd);
    if (!top)
        return FALSE;
    {
        UserGuard guard(UserLock());
        if (Window* window = FindWindowData(top); window && window->host && (window->style & WS_VISIBLE))
            SDL_RaiseWindow(window->host);
    }
    ActivateWindow(top, WA_ACTIVE);
    return TRUE;
}

BOOL BringWindowToTop(HWND hwnd)
{
    return SetForegroundWindow(hwnd);
}
