// The installer's skin images and its pictures, in the game's colours.
#pragma once

#include "flatten.h"

#include <cstdint>
#include <string>
#include <vector>

struct SkinImage {
    std::string name; // file name without ".psp"
    std::vector<uint8_t> bytes; // a layered image, one layer per state
    int width = 0, height = 0, layers = 0;
    RgbImage preview; // the layers side by side, for the contact sheet
};

// "background", "frame-c", ... and the pictures "501", "502", "503" (and "500", the icon).
std::vector<SkinImage> DrawSkin();
