// Icons as a program's resources carry them: an RT_GROUP_ICON lists the images by size, each an
// RT_ICON holding a 32-bit bitmap (BITMAPINFOHEADER whose height counts the colour rows and
// the mask rows, the colour rows bottom-up, then the 1-bit mask, a bit set where it is clear).
// Both readers take any bytes and refuse what is malformed.
#pragma once

#include "windows.h"

#include <cstdint>
#include <optional>
#include <vector>

struct IconPixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb; // top-down rows, straight alpha
};

// The RT_ICON id of the image that suits a cx by cy icon best: that size, else the smallest
// larger one, else the largest. Nothing for a malformed or empty group.
std::optional<WORD> PickIconImage(const BYTE* group, size_t size, int cx, int cy);
// An image of 1 to 256 pixels a side; bitmaps of other depths, compressed or cut short are
// refused. Where every alpha is 0 the mask gives the transparency.
std::optional<IconPixels> ReadIconImage(const BYTE* data, size_t size);
