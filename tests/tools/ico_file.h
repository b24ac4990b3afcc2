// Icon files for the icon suite and the compiler's fuzzer: square 32-bit images whose pixels
// tell their size and place.
#pragma once

#include "little_endian.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

// The colour of (x, y) in the image of a side: half-transparent, made of the side and place.
inline uint32_t IcoPattern(int side, int x, int y)
{
    return 0x80000000u | uint32_t(side) << 16 | uint32_t(y & 0xFF) << 8 | uint32_t(x & 0xFF);
}

// One image per side, colour rows bottom-up, then an empty mask.
inline std::vector<uint8_t> IcoFile(std::initializer_list<int> sides)
{
    std::vector<uint8_t> file, images;
    for (const int field : {0, 1, int(sides.size())})
        AppendLe16(file, uint16_t(field));
    for (const int side : sides) {
        std::vector<uint8_t> image;
        for (const uint32_t field : {40u, uint32_t(side), uint32_t(2 * side), 0x200001u, 0u, 0u, 0u, 0u, 0u, 0u})
            AppendLe32(image, field); // 0x200001: one plane, 32 bits
        for (int y = side - 1; y >= 0; --y)
            for (int x = 0; x < side; ++x)
                AppendLe32(image, IcoPattern(side, x, y));
        image.resize(image.size() + size_t(side) * size_t((side + 31) / 32 * 4));
        file.insert(file.end(), {uint8_t(side), uint8_t(side), 0, 0, 1, 0, 32, 0});
        AppendLe32(file, uint32_t(image.size()));
        AppendLe32(file, uint32_t(6 + 16 * sides.size() + images.size()));
        images.insert(images.end(), image.begin(), image.end());
    }
    file.insert(file.end(), images.begin(), images.end());
    return file;
}
