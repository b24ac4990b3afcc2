// Pixel formats of device-independent bitmaps and the colour arithmetic every drawing call
// shares. Colours inside the layer are 0x00RRGGBB (the memory order of 24- and 32-bit pixels);
// COLORREFs are converted at the API boundary.
#pragma once

#include "wingdi.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

// One colour channel of a bit-field pixel.
struct Channel {
    int shift = 0;
    int bits = 0;

    static Channel FromMask(DWORD mask);
    // Widens the channel to 8 bits by repeating its top bits, as the system does.
    uint32_t Decode(uint32_t raw) const;
    // Narrows an 8-bit value by dropping its low bits.
    uint32_t Encode(uint32_t value8) const;
};

struct IndexLookup;

struct PixelFormat {
    int bitCount = 0;
    Channel red, green, blue; // 16 and 32 bits
    std::vector<RGBQUAD> table; // up to 8 bits: 2^bitCount entries
    DWORD masks[3] = {0, 0, 0}; // red, green, blue as created
    mutable std::shared_ptr<IndexLookup> lookup; // indexed: the last destination format's pixels

    bool Indexed() const { return bitCount <= 8; }
    bool SameLayout(const PixelFormat& other) const;
    uint32_t Decode(uint32_t raw) const; // raw pixel -> 0x00RRGGBB
    uint32_t Encode(uint32_t rgb) const; // 0x00RRGGBB -> raw pixel (nearest table entry)
    uint32_t TableRgb(uint32_t index) const;
};

// The first entry of the table nearest to the colour (sum of squared channel differences).
uint32_t NearestIndex(const std::vector<RGBQUAD>& table, uint32_t rgb);

// A view onto bitmap pixels with rows in top-down order whatever the storage order.
struct Surface {
    BYTE* top = nullptr;
    ptrdiff_t step = 0;
    int width = 0;
    int height = 0;
    const PixelFormat* format = nullptr;

    BYTE* Row(int y) const { return top + y * step; }
};

inline uint32_t ReadPixel(const BYTE* row, int x, int bitCount)
{
    switch (bitCount) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    case 8: return row[x];
    case 16: return row[2 * x] | row[2 * x + 1] << 8;
    case 24: return row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
    default: {
        uint32_t v;
        std::memcpy(&v, row + 4 * x, 4); // pixels are little-endian, as is every host we build for
        return v;
    }
    }
}

inline void WritePixel(BYTE* row, int x, int bitCount, uint32_t value)
{
    switch (bitCount) {
    case 1: {
        const int shift = 7 - (x & 7);
        row[x >> 3] = BYTE((row[x >> 3] & ~(1 << shift)) | (value & 1) << shift);
        break;
    }
    case 4: {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = BYTE((row[x >> 1] & ~(15 << shift)) | (value & 15) << shift);
        break;
    }
    case 8: row[x] = BYTE(value); break;
    case 16:
        row[2 * x] = BYTE(value);
        row[2 * x + 1] = BYTE(value >> 8);
        break;
    case 24:
        row[3 * x] = BYTE(value);
        row[3 * x + 1] = BYTE(value >> 8);
        row[3 * x + 2] = BYTE(value >> 16);
        break;
    default: std::memcpy(row + 4 * x, &value, 4);
    }
}

inline uint32_t RgbFromColorRef(COLORREF c)
{
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

inline COLORREF ColorRefFromRgb(uint32_t rgb)
{
    return RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
}
