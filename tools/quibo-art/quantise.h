// Reduces all images of a low-colour pack to one shared 256-colour palette.
//
// On a palettised display the game merges every image of a pack, black, white and the
// eighteen static system colours into one palette, so the images together may use only 236
// colours of their own. The palette is laid out to match: black at 0, the system colours at
// 1-9 and 246-254 (pure blue, the transparent key, among them), white at 255, and the art's
// colours between.
#pragma once

#include "flatten.h"

#include <array>
#include <vector>

inline constexpr int kFreeColours = 236;

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indices;
    bool keyed = false;
};

struct IndexedSet {
    std::array<Rgb, 256> palette{};
    std::vector<IndexedImage> images;
};

// The static system colours in palette order (1-9, then 246-254).
const std::array<Rgb, 18>& SystemColours();

// Colours given in `exact` get entries of their own, and pixels of exactly those colours are
// never dithered, so flat areas that must match across images (the tile face behind the
// insets, the label plate of the buttons) stay identical. Other pixels are error-diffused
// towards the palette; transparent pixels of keyed images stay the key.
IndexedSet Quantise(const std::vector<RgbImage>& images, const std::vector<Rgb>& exact);

RgbImage Expand(const IndexedImage& image, const std::array<Rgb, 256>& palette);
