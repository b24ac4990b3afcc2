#include "gdiobj.h"

#include "winbase.h"
#include "winerror.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace {

// Far beyond any screen or sprite sheet; keeps size arithmetic and allocations sane.
constexpr int64_t kMaxBitmapBytes = int64_t{1} << 28;

bool ValidMask(DWORD mask)
{
    return mask && std::has_single_bit((mask >> std::countr_zero(mask)) + 1);
}

bool SetMasks(PixelFormat& format, const BITMAPINFO& info)
{
    const BITMAPINFOHEADER& h = info.bmiHeader;
    if (h.biCompression == BI_BITFIELDS) {
        // The masks follow the 40-byte header, inside the larger header versions too.
        std::memcpy(format.masks, reinterpret_cast<const BYTE*>(&info) + sizeof(BITMAPINFOHEADER), 12);
        const DWORD* m = format.masks;
        if (!ValidMask(m[0]) || !ValidMask(m[1]) || !ValidMask(m[2]) || (m[0] & m[1]) || (m[0] & m[2]) || (m[1] & m[2]))
            return false;
        if (h.biBitCount == 16 && ((m[0] | m[1] | m[2]) >> 16))
            return false;
    } else if (h.biBitCount == 16) {
        const DWORD masks[3] = {0x7C00, 0x3E0, 0x1F};
        std::memcpy(format.masks, masks, sizeof masks);
    } else {
        const DWORD masks[3] = {0xFF0000, 0xFF00, 0xFF};
        std::memcpy(format.masks, masks, sizeof masks);
    }
    format.red = Channel::FromMask(format.masks[0]);
    format.green = Channel::FromMask(format.masks[1]);
    format.blue = Channel::FromMask(format.masks[2]);
    return true;
}

bool ReadFormat(PixelFormat& format, const BITMAPINFO& info)
{
    const BITMAPINFOHEADER& h = info.bmiHeader;
    format.bitCount = h.biBitCount;
    switch (h.biBitCount) {
    case 1:
    case 4:
    case 8: {
        if (h.biCompression != BI_RGB)
            return false;
        const DWORD size = 1u << h.biBitCount;
        const DWORD used = h.biClrUsed == 0 ? size : std::min(h.biClrUsed, size);
        const auto* colors = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(&info) + h.biSize);
        format.table.assign(size, RGBQUAD{0, 0, 0, 0});
        std::memcpy(format.table.data(), colors, used * sizeof(RGBQUAD));
        for (RGBQUAD& q : format.table)
            q.rgbReserved = 0;
        return true;
    }
    case 24: return h.biCompression == BI_RGB;
    case 16:
    case 32: return (h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS) && SetMasks(format, info);
    default: return false;
    }
}

} // namespace

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection, DWORD)
{
    GdiGuard guard(GdiLock());
    if (ppvBits)
        *ppvBits = nullptr;
    if (hdc && !Find<DeviceContext>(hdc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!pbmi || usage != DIB_RGB_COLORS || hSection || pbmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || pbmi->bmiHeader.biPlanes != 1
        || pbmi->bmiHeader.biWidth <= 0 || pbmi->bmiHeader.biHeight == 0 || pbmi->bmiHeader.biHeight == INT32_MIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto dib = std::make_unique<DibSection>();
    if (!ReadFormat(dib->format, *pbmi)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const BITMAPINFOHEADER& h = pbmi->bmiHeader;
    const int64_t pitch = (int64_t{h.biWidth} * h.biBitCount + 31) / 32 * 4;
    const int64_t height = h.biHeight < 0 ? -int64_t{h.biHeight} : h.biHeight;
    if (pitch * height > kMaxBitmapBytes) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    dib->bits = static_cast<BYTE*>(std::calloc(size_t(pitch * height), 1));
    if (!dib->bits) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    dib->width = h.biWidth;
    dib->height = int(height);
    dib->pitch = int(pitch);
    dib->topDown = h.biHeight < 0;
    dib->header = h;
    dib->header.biSize = sizeof(BITMAPINFOHEADER);
    if (!dib->header.biSizeImage)
        dib->header.biSizeImage = DWORD(pitch * height);
    if (ppvBits)
        *ppvBits = dib->bits;
    return static_cast<HBITMAP>(AddObject(std::move(dib)));
}
