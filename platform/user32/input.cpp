// Host events become messages: mouse input for the window under the pointer (or the capture
// holder), keys and text for the focus, focus changes as activation, and closing as WM_CLOSE.
// A request to end the program (SIGTERM or SIGINT, which SDL turns into its quit event)
// closes every visible top-level window, as a user closing them would, so the program ends
// through its own shutdown and keeps what it saves there.
#include "focus.h"
#include "hostevents.h"
#include "paint.h"
#include "queue.h"
#include "utf.h"

#include "hostscale.h"

#include <SDL.h>

namespace {

HWND WindowOfHost(Uint32 windowId)
{
    SDL_Window* host = SDL_GetWindowFromID(windowId);
    HWND hwnd = host ? static_cast<HWND>(SDL_GetWindowData(host, "hwnd")) : nullptr;
    return IsWindow(hwnd) ? hwnd : nullptr;
}

void Enqueue(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg{};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = MessageTime();
    msg.pt = TrackedCursor();
    Post(CurrentQueue(), msg);
}

// Input goes nowhere while its top-level window is disabled (a modal dialog owns it).
bool AcceptsInput(HWND top)
{
    return top && IsWindowEnabled(top);
}

WPARAM MouseKeys(Uint32 buttons)
{
    WPARAM keys = 0;
    if (buttons & SDL_BUTTON_LMASK)
        keys |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK)
        keys |= MK_RBUTTON;
    if (buttons & SDL_BUTTON_MMASK)
        keys |= MK_MBUTTON;
    if (GetKeyState(VK_SHIFT) & 0x8000)
        keys |= MK_SHIFT;
    if (GetKeyState(VK_CONTROL) & 0x8000)
        keys |= MK_CONTROL;
    return keys;
}

Uint32 g_buttons = 0;

void MouseMessage(Uint32 windowId, int x, int y, UINT message)
{
    HWND top = WindowOfHost(windowId);
    if (!top)
        return;
    POINT screen{x, y};
    ClientToScreen(top, &screen);
    SetTrackedCursor(screen);
    HWND target = GetCapture();
    if (!target) {
        if (!AcceptsInput(top))
            return;
        target = WindowFromPoint(screen);
        if (!target || TopLevelOf(target) != top)
            target = top;
    }
    POINT client = screen;
    ScreenToClient(target, &client);
    Enqueue(target, message, MouseKeys(g_buttons), MAKELPARAM(client.x, client.y));
}

bool WantsDoubleClicks(HWND hwnd)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    return window && (window->cls->style & CS_DBLCLKS);
}

UINT ButtonMessage(Uint8 button, bool down, int clicks, HWND target)
{
    const bool doubles = WantsDoubleClicks(target);
    switch (button) {
    case SDL_BUTTON_LEFT: return down ? (clicks == 2 && doubles ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP;
    case SDL_BUTTON_RIGHT: return down ? (clicks == 2 && doubles ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN) : WM_RBUTTONUP;
    case SDL_BUTTON_MIDDLE: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default: return 0;
    }
}

void Button(const SDL_MouseButtonEvent& event)
{
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    const Uint32 mask = SDL_BUTTON(event.button);
    g_buttons = down ? (g_buttons | mask) : (g_buttons & ~mask);
    HWND top = WindowOfHost(event.windowID);
    POINT screen{event.x / HostScale(), event.y / HostScale()};
    ClientToScreen(top, &screen);
    // Double clicks go only to windows whose class asks for them.
    HWND target = GetCapture();
    if (!target && top)
        target = WindowFromPoint(screen);
    const UINT message = ButtonMessage(event.button, down, event.clicks, target);
    if (message)
        MouseMessage(event.windowID, event.x / HostScale(), event.y / HostScale(), message);
}

WPARAM VirtualKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VK_F1 + (key - SDLK_F1);
    switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    default: return 0;
    }
}

HWND KeyboardTarget(Uint32 windowId)
{
    HWND top = WindowOfHost(windowId);
    HWND active = GetActiveWindow();
    if (!top)
        top = active;
    if (!AcceptsInput(top))
        return nullptr;
    HWND focus = GetFocus();
    return focus && TopLevelOf(focus) == top ? focus : top;
}

void Key(const SDL_KeyboardEvent& event)
{
    const WPARAM vk = VirtualKey(event.keysym.sym);
    HWND target = KeyboardTarget(event.windowID);
    if (!vk || !target)
        return;
    const bool down = event.type == SDL_KEYDOWN;
    LPARAM lParam = 1 | (static_cast<LPARAM>(event.keysym.scancode & 0xFF) << 16);
    if (!down)
        lParam |= (1L << 30) | (1L << 31);
    else if (event.repeat)
        lParam |= 1L << 30;
    Enqueue(target, down ? WM_KEYDOWN : WM_KEYUP, vk, lParam);
}

void Text(const SDL_TextInputEvent& event)
{
    HWND target = KeyboardTarget(event.windowID);
    if (!target)
        return;
    for (char16_t unit : Utf8ToUtf16(event.text))
        Enqueue(target, WM_CHAR, unit, 1);
}

void WindowEvent(const SDL_WindowEvent& event)
{
    HWND top = WindowOfHost(event.windowID);
    if (!top)
        return;
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED: {
        if (IsWindowEnabled(top)) {
            ActivateWindow(top, WA_ACTIVE);
            break;
        }
        // A disabled owner hands activation to the modal window it owns.
        for (HWND other : TopLevelWindows())
            if (GetWindow(other, GW_OWNER) == top && IsWindowVisible(other) && IsWindowEnabled(other))
                SetForegroundWindow(other);
        break;
    }
    case SDL_WINDOWEVENT_FOCUS_LOST: DeactivateWindow(top); break;
    case SDL_WINDOWEVENT_CLOSE: Enqueue(top, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    case SDL_WINDOWEVENT_EXPOSED: InvalidateRect(top, nullptr, FALSE); break;
    case SDL_WINDOWEVENT_MOVED: {
        UserGuard guard(UserLock());
        if (Window* window = FindWindowData(top))
            OffsetRect(&window->rect, event.data1 / HostScale() - window->rect.left, event.data2 / HostScale() - window->rect.top);
        break;
    }
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
        RECT rect;
        GetWindowRect(top, &rect);
        const int cx = event.data1 / HostScale();
        const int cy = event.data2 / HostScale();
        if (rect.right - rect.left != cx || rect.bottom - rect.top != cy)
            SetWindowPos(top, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    }
    default: break;
    }
}

void CloseVisibleWindows()
{
    for (HWND top : TopLevelWindows())
        if (IsWindowVisible(top))
            PostMessageW(top, WM_CLOSE, 0, 0);
}

void Translate(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_MOUSEMOTION:
        g_buttons = event.motion.state;
        MouseMessage(event.motion.windowID, event.motion.x / HostScale(), event.motion.y / HostScale(), WM_MOUSEMOVE);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: Button(event.button); break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: Key(event.key); break;
    case SDL_TEXTINPUT: Text(event.text); break;
    case SDL_WINDOWEVENT: WindowEvent(event.window); break;
    case SDL_QUIT: CloseVisibleWindows(); break;
    default: IsWakeEvent(event); break;
    }
}

} // namespace

void PumpHostEvents(int timeoutMs)
{
    SDL_Event event;
    if (timeoutMs != 0) {
        if (!(timeoutMs < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, timeoutMs)))
            return;
        Translate(event);
    }
    while (SDL_PollEvent(&event))
        Translate(event);
}
