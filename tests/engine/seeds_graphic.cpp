// Bitmap data of every depth: with and without the file header, rows bottom-up and top-down,
// colour tables whole and cut short, bit-field masks, and pixel data cut short.
#include "bitmap_files.h"
#include "fuzz_seeds.h"

void WriteSeeds(const SeedFolder& seeds)
{
    const struct {
        BitmapShape shape;
        size_t cut; // bytes dropped from the end
    } shapes[] = {
        {{9, 5, 1}, 0},          {{7, -3, 2, false}, 0},      {{5, 4, 4}, 0},
        {{6, -6, 8}, 0},         {{5, 3, 16, true, true}, 0}, {{5, -2, 16, false}, 0},
        {{5, 3, 24}, 0},         {{4, -4, 24, false}, 0},     {{3, 2, 32, true, true}, 0},
        {{3, -2, 32, false}, 0}, {{8, 2, 8, false}, 1040},    {{6, 3, 24}, 5},
        {{1, 1, 24, false}, 0},
    };
    int n = 0;
    for (const auto& [shape, cut] : shapes) {
        std::vector<uint8_t> bitmap = BitmapFile(shape, [](uint32_t row, uint32_t i) { return uint8_t(i * 37 + row * 11); });
        bitmap.resize(bitmap.size() - cut);
        seeds.Write("bitmap-" + std::to_string(n++) + "-" + std::to_string(shape.bitCount), bitmap);
    }
    // Found by fuzzing: planes times bits beyond an int.
    std::vector<uint8_t> planes = BitmapFile({2, 2, 24, false}, [](uint32_t, uint32_t) { return 0; });
    planes[12] = planes[13] = 0xFF;
    planes[14] = 0xFB;
    planes[15] = 0xFF;
    seeds.Write("planes-times-bits", planes);
}
