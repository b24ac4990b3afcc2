// A row of tiles put together from the faces and insets the way the game draws them, for
// the contact sheets: what a player sees, not just the parts.
#pragma once

#include "flatten.h"
#include "geometry.h"

RgbImage BoardPreview(const RgbImage& faces, const RgbImage& insets, const Geometry& geometry);
