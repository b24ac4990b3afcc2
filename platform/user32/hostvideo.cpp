// SDL video: started by the first top-level window that needs a host window.
#include "hostevents.h"
#include "icon.h"
#include "messagebox.h"
#include "paint.h"
#include "queue.h"
#include "utf.h"

#include "hostscale.h"

#include <SDL.h>
#include <atomic>

namespace {

std::atomic<Uint32> g_wakeEvent{0};
std::atomic<bool> g_wakePending{false};

} // namespace

bool StartHostVideo()
{
    static bool started = false;
    static bool ok = false;
    if (started)
        return ok;
    started = true;
    // Closing the last window is WM_CLOSE already; a second close from SDL's quit would repeat it.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    ok = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!ok)
        return false;
    SDL_EventState(SDL_DROPFILE, SDL_DISABLE);
    SDL_StartTextInput();
    g_wakeEvent = SDL_RegisterEvents(1);
    MessageQueue& queue = CurrentQueue();
    {
        std::lock_guard guard(queue.lock);
        queue.hostEvents = true;
    }
    InstallMessageBoxReports();
    return true;
}

void WakeHostThread()
{
    if (!g_wakeEvent || g_wakePending.exchange(true))
        return;
    SDL_Event event{};
    event.type = g_wakeEvent;
    SDL_PushEvent(&event);
}

bool IsWakeEvent(const SDL_Event& event)
{
    if (event.type != g_wakeEvent)
        return false;
    g_wakePending = false;
    return true;
}

SDL_Window* HostWindowFor(Window& window)
{
    if (window.host || window.isChild() || !StartHostVideo())
        return window.host;
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (window.exStyle & WS_EX_TOPMOST)
        flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    if (!(window.style & WS_CAPTION) && (window.style & WS_POPUP))
        flags |= SDL_WINDOW_BORDERLESS;
    // Drop-down lists: no frame, no task bar entry, and the window manager leaves them alone.
    if (window.exStyle & WS_EX_TOOLWINDOW)
        flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR;
    const int k = HostScale();
    window.host = SDL_CreateWindow(Utf16ToUtf8(window.text).c_str(), window.rect.left * k, window.rect.top * k,
                                   std::max(1, window.width() * k), std::max(1, window.height() * k), flags);
    if (window.host) {
        SDL_SetWindowData(window.host, "hwnd", window.handle);
        SetHostIcon(window);
    }
    return window.host;
}

void SetHostIcon(Window& window)
{
    if (!window.host)
        return;
    std::shared_ptr<const IconPixels> icon;
    for (HICON candidate : {window.bigIcon, window.cls ? window.cls->icon : nullptr, window.smallIcon})
        if (!icon)
            icon = IconPixelsOf(candidate);
    if (!icon)
        return;
    // SDL copies the pixels; the surface only lends them.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(icon->argb.data()), icon->width, icon->height, 32,
                                                              icon->width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!surface)
        return;
    SDL_SetWindowIcon(window.host, surface);
    SDL_FreeSurface(surface);
}

SDL_Surface* ScreenPixelsOf(Window& window)
{
    if (HostScale() == 1)
        return SDL_GetWindowSurface(window.host);
    if (!window.backing)
        window.backing
            = SDL_CreateRGBSurfaceWithFormat(0, std::max(1, window.width()), std::max(1, window.height()), 32, SDL_PIXELFORMAT_RGB888);
    return window.backing;
}

void PresentHostWindow(Window& window, const std::vector<RECT>& changed)
{
    const int k = HostScale();
    SDL_Surface* screen = SDL_GetWindowSurface(window.host);
    std::vector<SDL_Rect> rects;
    for (const RECT& r : changed) {
        SDL_Rect part{r.left, r.top, r.right - r.left, r.bottom - r.top};
        SDL_Rect scaled{part.x * k, part.y * k, part.w * k, part.h * k};
        // Same formats and a whole-number factor: SDL copies each pixel into a k x k square.
        if (k > 1 && window.backing && screen)
            SDL_BlitScaled(window.backing, &part, screen, &scaled);
        rects.push_back(scaled);
    }
    SDL_UpdateWindowSurfaceRects(window.host, rects.data(), static_cast<int>(rects.size()));
}

void DestroyHostWindow(Window& window)
{
    if (!window.host)
        return;
    ForgetWindowDCs(window.handle);
    SDL_FreeSurface(window.backing);
    window.backing = nullptr;
    SDL_DestroyWindow(window.host);
    window.host = nullptr;
}
