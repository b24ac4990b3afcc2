// Every image of one device class's packs, as drawn.
#pragma once

#include "artwork.h"
#include "geometry.h"
#include "text.h"

#include <vector>

// In the order the pack lists them: buttons-down, buttons-en, buttons-eo, effects, insets,
// tiles, gameover-en, gameover-eo, divider, logo.
std::vector<Artwork> DrawPack(TextRenderer& text, const Geometry& geometry);
