// Bitmap data of every depth: with and without the file header, rows bottom-up and top-down,
// colour tables whole and cut short, bit-field masks, and pixel data cut short.
#include "fuzz_seeds.h"

#include <cstring>

namespace {

struct SHAPE {
    int width;
    int height; // positive: bottom-up
    int bitCount;
    bool fileHeader;
    bool bitfields; // three masks after the header, as 16- and 32-bit files may carry
    size_t cut; // bytes dropped from the end
};

void put(std::vector<uint8_t>& out, uint32_t value, int cb)
{
    for (int i = 0; i < cb; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

std::vector<uint8_t> bitmap(const SHAPE& s)
{
    const uint32_t pitch = (uint32_t(s.width) * uint32_t(s.bitCount) + 31) / 32 * 4;
    const uint32_t rows = uint32_t(s.height < 0 ? -s.height : s.height);
    const uint32_t cbTable = s.bitCount <= 8 ? 4u << s.bitCount : s.bitfields ? 12 : 0;
    std::vector<uint8_t> out;
    if (s.fileHeader) {
        put(out, 'B' | 'M' << 8, 2);
        put(out, 54 + cbTable + pitch * rows, 4);
        put(out, 0, 4);
        put(out, 54 + cbTable, 4);
    }
    put(out, 40, 4);
    put(out, uint32_t(s.width), 4);
    put(out, uint32_t(s.height), 4);
    put(out, 1, 2);
    put(out, uint32_t(s.bitCount), 2);
    put(out, s.bitfields ? 3 : 0, 4);
    put(out, pitch * rows, 4);
    put(out, 2835, 4);
    put(out, 2835, 4);
    put(out, s.bitCount <= 8 ? 1u << s.bitCount : 0, 4);
    put(out, 0, 4);
    if (s.bitCount <= 8) {
        for (uint32_t i = 0; i < (1u << s.bitCount); ++i)
            put(out, i * 0x00030507u, 4);
    } else if (s.bitfields) {
        put(out, s.bitCount == 16 ? 0xF800 : 0xFF0000, 4);
        put(out, s.bitCount == 16 ? 0x07E0 : 0x00FF00, 4);
        put(out, s.bitCount == 16 ? 0x001F : 0x0000FF, 4);
    }
    for (uint32_t i = 0; i < pitch * rows; ++i)
        out.push_back(uint8_t(i * 37 + i / pitch));
    out.resize(out.size() - s.cut);
    return out;
}

} // namespace

void WriteSeeds(const SeedFolder& seeds)
{
    const SHAPE shapes[] = {
        {9, 5, 1, true, false, 0},   {7, -3, 2, false, false, 0},  {5, 4, 4, true, false, 0},     {6, -6, 8, true, false, 0},
        {5, 3, 16, true, true, 0},   {5, -2, 16, false, false, 0}, {5, 3, 24, true, false, 0},    {4, -4, 24, false, false, 0},
        {3, 2, 32, true, true, 0},   {3, -2, 32, false, false, 0}, {8, 2, 8, false, false, 1040}, {6, 3, 24, true, false, 5},
        {1, 1, 24, false, false, 0},
    };
    int n = 0;
    for (const SHAPE& s : shapes)
        seeds.Write("bitmap-" + std::to_string(n++) + "-" + std::to_string(s.bitCount), bitmap(s));

    // Found by fuzzing: planes times bits beyond an int.
    std::vector<uint8_t> planes = bitmap({2, 2, 24, false, false, 0});
    planes[12] = planes[13] = 0xFF;
    planes[14] = 0xFB;
    planes[15] = 0xFF;
    seeds.Write("planes-times-bits", planes);
}
