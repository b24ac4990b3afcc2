#include "iconimage.h"

#include "little_endian.h"

namespace {

constexpr size_t kGroupHeader = 6;
constexpr size_t kGroupEntry = 14;
constexpr size_t kBitmapHeader = 40;
constexpr int kMaxSide = 256;

} // namespace

std::optional<WORD> PickIconImage(const BYTE* group, size_t size, int cx, int cy)
{
    if (!group || size < kGroupHeader || LoadLe16(group) != 0 || LoadLe16(group + 2) != 1)
        return std::nullopt;
    const size_t count = LoadLe16(group + 4);
    if (count == 0 || size < kGroupHeader + count * kGroupEntry)
        return std::nullopt;
    std::optional<WORD> best;
    int bestWidth = 0, bestHeight = 0;
    for (size_t i = 0; i < count; ++i) {
        const BYTE* entry = group + kGroupHeader + i * kGroupEntry;
        const int width = entry[0] ? entry[0] : kMaxSide, height = entry[1] ? entry[1] : kMaxSide;
        const bool fits = width >= cx && height >= cy, bestFits = bestWidth >= cx && bestHeight >= cy;
        // Among images at least as large, the smallest; failing those, the largest.
        const bool better = !best || (fits && !bestFits) || (fits && width * height < bestWidth * bestHeight)
                            || (!fits && !bestFits && width * height > bestWidth * bestHeight);
        if (better) {
            best = LoadLe16(entry + 12);
            bestWidth = width;
            bestHeight = height;
        }
    }
    return best;
}

std::optional<IconPixels> ReadIconImage(const BYTE* data, size_t size)
{
    if (!data || size < kBitmapHeader || LoadLe32(data) != kBitmapHeader)
        return std::nullopt;
    const int32_t width = int32_t(LoadLe32(data + 4)), doubled = int32_t(LoadLe32(data + 8));
    if (width < 1 || width > kMaxSide || doubled < 2 || doubled > 2 * kMaxSide || doubled % 2)
        return std::nullopt;
    if (LoadLe16(data + 12) != 1 || LoadLe16(data + 14) != 32 || LoadLe32(data + 16) != 0 || LoadLe32(data + 32) != 0)
        return std::nullopt;
    const int height = doubled / 2;
    const size_t stride = size_t(width) * 4, maskStride = size_t(width + 31) / 32 * 4;
    if (size < kBitmapHeader + size_t(height) * (stride + maskStride))
        return std::nullopt;
    const BYTE* colours = data + kBitmapHeader;
    const BYTE* mask = colours + size_t(height) * stride;
    IconPixels icon{width, height, std::vector<uint32_t>(size_t(width) * size_t(height))};
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const BYTE* row = colours + size_t(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const uint32_t bgra = LoadLe32(row + size_t(x) * 4); // blue, green, red, alpha
            icon.argb[size_t(y) * size_t(width) + size_t(x)] = bgra;
            anyAlpha |= (bgra >> 24) != 0;
        }
    }
    if (!anyAlpha)
        for (int y = 0; y < height; ++y) {
            const BYTE* row = mask + size_t(height - 1 - y) * maskStride;
            for (int x = 0; x < width; ++x)
                if (!(row[x / 8] & (0x80 >> (x % 8))))
                    icon.argb[size_t(y) * size_t(width) + size_t(x)] |= 0xFF000000;
        }
    return icon;
}
