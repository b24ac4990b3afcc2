#include "cea_display.h"

#include "windows.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kLargestSide = 16384;

} // namespace

bool ParseDisplayOverride(const char* text, int* cx, int* cy)
{
    if (!text)
        return false;
    int width = 0, height = 0;
    char end = 0;
    if (std::sscanf(text, "%dx%d%c", &width, &height, &end) != 2 || width <= 0 || height <= 0 || width > kLargestSide
        || height > kLargestSide)
        return false;
    *cx = width;
    *cy = height;
    return true;
}

void MeasureDisplaySize(DISPLAY& display)
{
    display.cx = GetSystemMetrics(SM_CXSCREEN);
    display.cy = GetSystemMetrics(SM_CYSCREEN);
    ParseDisplayOverride(std::getenv("QUIBO_DISPLAY"), &display.cx, &display.cy);
}

DISPLAY& GetDisplay()
{
    static DISPLAY display = [] {
        DISPLAY d{0, 0, 0, false, nullptr};
        MeasureDisplaySize(d);
        if (HDC hdc = CreateCompatibleDC(nullptr)) {
            d.bitsPerPixel = GetDeviceCaps(hdc, BITSPIXEL);
            DeleteDC(hdc);
        }
        return d;
    }();
    return display;
}
