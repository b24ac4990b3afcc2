// Drawn art turned into the pixels a pack stores: opaque RGB, with the key colour where a
// keyed picture is transparent.
#pragma once

#include "artwork.h"

#include <cstdint>
#include <vector>

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kKey{0, 0, 255}; // the transparent colour 0x00FF0000

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels; // row by row, top first
    bool keyed = false;
};

// The game's window is black, so soft edges are blended with black; pixels less than an
// eighth covered become transparent. A drawn pixel that happens to be the key colour is
// nudged off it.
RgbImage Flatten(const Artwork& art);
RgbImage Flatten(const Canvas& canvas, bool keyed);

// An opaque colour as it is stored.
Rgb Opaque(Colour colour);
