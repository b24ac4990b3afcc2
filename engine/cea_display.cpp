#include "cea_display.h"

#include "windows.h"

DISPLAY& GetDisplay()
{
    static DISPLAY display = [] {
        DISPLAY d{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 0, false, nullptr};
        if (HDC hdc = CreateCompatibleDC(nullptr)) {
            d.bitsPerPixel = GetDeviceCaps(hdc, BITSPIXEL);
            DeleteDC(hdc);
        }
        return d;
    }();
    return display;
}
