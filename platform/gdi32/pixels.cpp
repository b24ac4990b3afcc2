#include "pixels.h"

#include <bit>

Channel Channel::FromMask(DWORD mask)
{
    if (!mask)
        return {};
    return {std::countr_zero(mask), std::popcount(mask)};
}

uint32_t Channel::Decode(uint32_t raw) const
{
    if (!bits)
        return 0;
    const uint32_t v = (raw >> shift) & ((1u << bits) - 1);
    if (bits >= 8)
        return v >> (bits - 8);
    uint32_t out = 0;
    for (int filled = 0; filled < 8; filled += bits)
        out |= v << 8 >> bits >> filled;
    return out & 0xFF;
}

uint32_t Channel::Encode(uint32_t value8) const
{
    if (!bits)
        return 0;
    if (bits <= 8)
        return (value8 >> (8 - bits)) << shift;
    uint32_t wide = 0;
    for (int filled = 0; filled < bits; filled += 8)
        wide |= value8 << (bits - 8) >> filled;
    return (wide & ((1u << bits) - 1)) << shift;
}

bool PixelFormat::SameLayout(const PixelFormat& other) const
{
    if (bitCount != other.bitCount)
        return false;
    if (Indexed()) {
        for (size_t i = 0; i < table.size(); ++i)
            if (TableRgb(i) != other.TableRgb(i))
                return false;
        return true;
    }
    return masks[0] == other.masks[0] && masks[1] == other.masks[1] && masks[2] == other.masks[2];
}

uint32_t PixelFormat::TableRgb(uint32_t index) const
{
    const RGBQUAD& q = table[index];
    return uint32_t(q.rgbRed) << 16 | q.rgbGreen << 8 | q.rgbBlue;
}

uint32_t PixelFormat::Decode(uint32_t raw) const
{
    if (Indexed())
        return TableRgb(raw);
    if (bitCount == 24)
        return raw & 0xFFFFFF;
    return red.Decode(raw) << 16 | green.Decode(raw) << 8 | blue.Decode(raw);
}

uint32_t PixelFormat::Encode(uint32_t rgb) const
{
    if (Indexed())
        return NearestIndex(table, rgb);
    if (bitCount == 24)
        return rgb & 0xFFFFFF;
    return red.Encode(rgb >> 16 & 0xFF) | green.Encode(rgb >> 8 & 0xFF) | blue.Encode(rgb & 0xFF);
}

uint32_t NearestIndex(const std::vector<RGBQUAD>& table, uint32_t rgb)
{
    const int r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    uint32_t best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (size_t i = 0; i < table.size() && bestDistance; ++i) {
        const int dr = table[i].rgbRed - r, dg = table[i].rgbGreen - g, db = table[i].rgbBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = uint32_t(i);
        }
    }
    return best;
}
