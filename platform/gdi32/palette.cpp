#include "gdiobj.h"

#include "winbase.h"
#include "winerror.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// The twenty colours Windows reserves: ten at each end of the system palette.
constexpr PALETTEENTRY kStaticLow[10] = {
    {0, 0, 0, 0},     {128, 0, 0, 0},   {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
    {128, 0, 128, 0}, {0, 128, 128, 0}, {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
};
constexpr PALETTEENTRY kStaticHigh[10] = {
    {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},   {0, 255, 0, 0},
    {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0}, {255, 255, 255, 0},
};

} // namespace

const PALETTEENTRY* SystemPalette()
{
    static const auto* palette = [] {
        auto* p = new PALETTEENTRY[256]();
        std::copy(std::begin(kStaticLow), std::end(kStaticLow), p);
        std::copy(std::begin(kStaticHigh), std::end(kStaticHigh), p + 246);
        return p;
    }();
    return palette;
}

HPALETTE CreatePalette(const LOGPALETTE* plpal)
{
    GdiGuard guard(GdiLock());
    if (!plpal || plpal->palVersion != 0x300 || plpal->palNumEntries == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto palette = std::make_unique<Palette>();
    palette->entries.assign(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
    return static_cast<HPALETTE>(AddObject(std::move(palette)));
}

HPALETTE SelectPalette(HDC hdc, HPALETTE hpal, BOOL)
{
    GdiGuard guard(GdiLock());
    DeviceContext* dc = Find<DeviceContext>(hdc);
    Palette* palette = Find<Palette>(hpal);
    if (!dc || !palette) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (Palette* old = Find<Palette>(dc->palette))
        --old->selections;
    ++palette->selections;
    return std::exchange(dc->palette, hpal);
}

// The display is never short of colours, so realising maps every entry and leaves the system
// palette as it is.
UINT RealizePalette(HDC hdc)
{
    GdiGuard guard(GdiLock());
    DeviceContext* dc = Find<DeviceContext>(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return GDI_ERROR;
    }
    const Palette* palette = Find<Palette>(dc->palette);
    return palette && !palette->stock ? UINT(palette->entries.size()) : 0;
}

UINT GetSystemPaletteEntries(HDC hdc, UINT start, UINT count, LPPALETTEENTRY entries)
{
    GdiGuard guard(GdiLock());
    if (!Find<DeviceContext>(hdc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!entries)
        return 256;
    if (start >= 256)
        return 0;
    const UINT n = std::min(count, 256 - start);
    std::memcpy(entries, SystemPalette() + start, n * sizeof(PALETTEENTRY));
    return n;
}
