// The sizes of a device class's artwork, derived from its layout so that the tiles fill the
// board, the banners sit centred over the high-score table and the pictures fit their gaps.
#pragma once

#include "cetl/properties.h"

#include <string>

struct Geometry {
    int tileWidth, tileHeight;
    int insetWidth, insetHeight;
    int insetSpacing;
    int bannerWidth, bannerHeight;
    int dividerWidth, dividerHeight;
    int logoWidth, logoHeight;
    float scale; // 1 on the large desktop; smaller classes draw finer details thinner
};

Geometry GeometryFromLayout(const cetl::PROPERTIES& layout);

// The layout file as a table, read with the game's own reader.
cetl::PROPERTIES ReadLayout(const std::string& path);
