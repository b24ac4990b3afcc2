#include "bitmap_files.h"

std::vector<uint8_t> BitmapFile(const BitmapShape& s, const std::function<uint8_t(uint32_t row, uint32_t i)>& pixelByte)
{
    const uint32_t pitch = (uint32_t(s.width) * uint32_t(s.bitCount) + 31) / 32 * 4;
    const uint32_t rows = uint32_t(s.height < 0 ? -s.height : s.height);
    const uint32_t cColors = s.bitCount <= 8 ? 1u << s.bitCount : 0;
    const uint32_t cbTable = s.bitCount <= 8 ? 4 * cColors : s.bitfields ? 12 : 0;
    std::vector<uint8_t> out;
    const auto put = [&](uint32_t value, int cb) {
        for (int i = 0; i < cb; ++i)
            out.push_back(uint8_t(value >> (8 * i)));
    };
    if (s.fileHeader) {
        put('B' | 'M' << 8, 2);
        for (uint32_t v : {54 + cbTable + pitch * rows, 0u, 54 + cbTable})
            put(v, 4);
    }
    for (uint32_t v : {40u, uint32_t(s.width), uint32_t(s.height), 1u | uint32_t(s.bitCount) << 16, s.bitfields ? 3u : 0u, pitch * rows,
                       2835u, 2835u, cColors, 0u})
        put(v, 4);
    for (uint32_t i = 0; i < cColors; ++i)
        put(i * 0x00030507u, 4);
    const uint32_t masks[2][3] = {{0xF800, 0x07E0, 0x001F}, {0xFF0000, 0xFF00, 0xFF}};
    for (uint32_t mask : masks[s.bitCount == 16 ? 0 : 1])
        if (s.bitCount > 8 && s.bitfields)
            put(mask, 4);
    for (uint32_t row = 0; row < rows; ++row)
        for (uint32_t i = 0; i < pitch; ++i)
            out.push_back(pixelByte(row, i));
    return out;
}
