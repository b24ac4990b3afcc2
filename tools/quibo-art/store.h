// Pack images as layered image files: 24-bit for the high-colour packs, 8-bit with the
// pack's shared palette for the low-colour ones. Transparent pictures carry no mask; the
// game keys them on pure blue itself.
#pragma once

#include "flatten.h"
#include "quantise.h"

#include <array>
#include <cstdint>
#include <vector>

std::vector<uint8_t> LayeredImage(const RgbImage& image);
std::vector<uint8_t> LayeredImage(const IndexedImage& image, const std::array<Rgb, 256>& palette);
