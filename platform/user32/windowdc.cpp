// Device contexts of windows. A window DC draws straight into its window's part of the host
// window's surface; what it drew is marked and reaches the screen when painting ends or the
// message loop next waits.
#include "../gdi32/gdiobj.h"
#include "hostevents.h"
#include "paint.h"

#include <SDL.h>
#include <map>

namespace {

struct WindowDc {
    HWND top = nullptr;
    RECT area{}; // the window's client area in its top-level window
};

std::map<HDC, WindowDc>& LiveDCs()
{
    static std::map<HDC, WindowDc> live;
    return live;
}

const PixelFormat& HostFormat()
{
    static const PixelFormat format = [] {
        PixelFormat f;
        f.bitCount = 32;
        f.masks[0] = 0xFF0000;
        f.masks[1] = 0xFF00;
        f.masks[2] = 0xFF;
        f.red = Channel::FromMask(f.masks[0]);
        f.green = Channel::FromMask(f.masks[1]);
        f.blue = Channel::FromMask(f.masks[2]);
        return f;
    }();
    return format;
}

// The window's pixels in the host surface; none when the host has no surface of our layout or
// the window lies outside it.
std::optional<Surface> PixelsOf(Window& window, RECT& area)
{
    Window* top = FindWindowData(TopLevelOf(window.handle));
    SDL_Window* host = top ? HostWindowFor(*top) : nullptr;
    SDL_Surface* surface = host ? ScreenPixelsOf(*top) : nullptr;
    if (!surface || surface->format->BytesPerPixel != 4 || surface->format->Rmask != 0xFF0000 || surface->format->Gmask != 0xFF00
        || surface->format->Bmask != 0xFF)
        return std::nullopt;
    const POINT origin = OriginInTopLevel(window);
    area = RECT{origin.x, origin.y, origin.x + window.width(), origin.y + window.height()};
    if (origin.x < 0 || origin.y < 0 || origin.x >= surface->w || origin.y >= surface->h)
        return std::nullopt;
    Surface pixels;
    pixels.top = static_cast<BYTE*>(surface->pixels) + origin.y * surface->pitch + origin.x * 4;
    pixels.step = surface->pitch;
    pixels.width = std::min(window.width(), surface->w - origin.x);
    pixels.height = std::min(window.height(), surface->h - origin.y);
    pixels.format = &HostFormat();
    return pixels;
}

} // namespace

HDC GetDC(HWND hwnd)
{
    if (!hwnd) {
        GdiGuard guard(GdiLock());
        return NewDC(false);
    }
    UserGuard userGuard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window)
        return nullptr;
    WindowDc record;
    record.top = TopLevelOf(window->handle);
    const std::optional<Surface> pixels = PixelsOf(*window, record.area);
    GdiGuard guard(GdiLock());
    HDC hdc = NewDC(false);
    if (DeviceContext* dc = Find<DeviceContext>(hdc); dc && pixels) {
        dc->window = pixels;
        LiveDCs()[hdc] = record;
    }
    return hdc;
}

int ReleaseDC(HWND, HDC hdc)
{
    UserGuard userGuard(UserLock());
    GdiGuard guard(GdiLock());
    const DeviceContext* dc = Find<DeviceContext>(hdc);
    if (!dc || dc->memory)
        return 0;
    const auto it = LiveDCs().find(hdc);
    if (it != LiveDCs().end()) {
        RECT changed = it->second.area;
        if (dc->clip) {
            RECT clip = *dc->clip;
            OffsetRect(&clip, changed.left, changed.top);
            IntersectRect(&changed, &changed, &clip);
        }
        if (Window* top = FindWindowData(it->second.top); top && dc->window)
            MarkChanged(*top, changed);
        LiveDCs().erase(it);
    }
    return DeleteDC(hdc) ? 1 : 0;
}

void ForgetWindowDCs(HWND top)
{
    GdiGuard guard(GdiLock());
    for (auto& [hdc, record] : LiveDCs())
        if (record.top == top)
            if (DeviceContext* dc = Find<DeviceContext>(hdc))
                dc->window.reset(); // its surface is gone: it draws nothing from now on
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint)
{
    if (!paint)
        return nullptr;
    *paint = PAINTSTRUCT{};
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return nullptr;
        hwnd = window->handle;
        paint->rcPaint = window->update;
        paint->fErase = window->erase;
        window->update = RECT{};
        window->erase = false;
    }
    paint->hdc = GetDC(hwnd);
    IntersectClipRect(paint->hdc, paint->rcPaint.left, paint->rcPaint.top, paint->rcPaint.right, paint->rcPaint.bottom);
    if (paint->fErase)
        paint->fErase = SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0) ? FALSE : TRUE;
    return paint->hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint)
{
    if (!paint)
        return FALSE;
    ReleaseDC(hwnd, paint->hdc);
    FlushHostSurfaces();
    return TRUE;
}

LRESULT EraseBackground(HWND hwnd, HDC hdc)
{
    HBRUSH brush;
    RECT client;
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window || !window->cls->background)
            return 0;
        brush = window->cls->background;
        client = ClientRectOf(*window);
    }
    // A class may name a system colour (COLOR_* + 1) instead of a brush.
    const auto value = reinterpret_cast<uintptr_t>(brush);
    if (value <= COLOR_INFOBK + 1)
        brush = GetSysColorBrush(static_cast<int>(value) - 1);
    FillRect(hdc, &client, brush);
    return 1;
}
