// The tile faces (normal, selected, back) and the 54 images stacked on them.
#pragma once

#include "artwork.h"
#include "geometry.h"

Artwork DrawTileFaces(const Geometry& geometry);

// 6 columns (red, green, blue, then the same highlighted for selected tiles) by 9 rows
// (shape × 3 + shading: rectangle, circle, triangle; solid, lined, hollow).
Artwork DrawInsets(const Geometry& geometry);
