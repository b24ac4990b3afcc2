// Contact sheets: every image of a pack cut into its cells, enlarged, on a checkerboard
// where it is transparent, so that anyone can look the art over.
#pragma once

#include "flatten.h"
#include "text.h"

#include <string>
#include <vector>

struct SheetEntry {
    std::string name;
    const RgbImage* image;
    int cellWidth;
    int cellHeight;
};

RgbImage ContactSheet(TextRenderer& text, const std::string& title, const std::vector<SheetEntry>& entries, int zoom);
