#include "gdiobj.h"

#include "hostscale.h"
#include "winbase.h"
#include "winerror.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>

const DisplayInfo& Display()
{
    static const DisplayInfo info = [] {
        DisplayInfo d{1024, 768, 32};
        // A program run as if on a handheld sees the handheld's screen ("240x320x16").
        if (const char* screen = std::getenv("QUIBO_DEVICE_SCREEN")) {
            int width = 0, height = 0, bits = 0;
            char end = 0;
            if (std::sscanf(screen, "%dx%dx%d%c", &width, &height, &bits, &end) == 3 && width > 0 && height > 0 && width <= 16384
                && height <= 16384 && (bits == 8 || bits == 16 || bits == 24 || bits == 32))
                return DisplayInfo{width, height, bits == 24 ? 32 : bits};
        }
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0"); // as the window layer does
        if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return d;
        SDL_DisplayMode mode;
        if (SDL_GetCurrentDisplayMode(0, &mode) == 0) {
            d.width = mode.w;
            d.height = mode.h;
            // Windows reports packed 24-bit colour as 32 and 15-bit colour as 16.
            const int bits = SDL_BITSPERPIXEL(mode.format);
            d.bitsPerPixel = bits > 16 ? 32 : bits > 8 ? 16 : bits;
        }
        return d;
    }();
    return info;
}

int GetDeviceCaps(HDC hdc, int index)
{
    GdiGuard guard(GdiLock());
    if (!Find<DeviceContext>(hdc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const DisplayInfo& d = Display();
    switch (index) {
    case HORZRES: return d.width / HostScale();
    case VERTRES: return d.height / HostScale();
    case BITSPIXEL: return d.bitsPerPixel;
    case PLANES: return 1;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case SIZEPALETTE: return d.bitsPerPixel <= 8 ? 256 : 0;
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP | RC_DIBTODEV | (d.bitsPerPixel <= 8 ? RC_PALETTE : 0);
    default: return 0;
    }
}
