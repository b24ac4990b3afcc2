// Bitmap files made to order, for the graphic tests and the bitmap fuzzer's seeds.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct BitmapShape {
    int width;
    int height; // positive: rows stored bottom-up
    int bitCount;
    bool fileHeader = true;
    bool bitfields = false; // three masks after the header, as 16- and 32-bit files may carry
};

// The header, a colour table of i x 0x030507 below 16 bits, then the stored rows, each byte
// i of stored row `row` (padding included) being pixelByte(row, i).
std::vector<uint8_t> BitmapFile(const BitmapShape& shape, const std::function<uint8_t(uint32_t row, uint32_t i)>& pixelByte);
