// The single pictures of a pack: the high-score banners, the menu's divider and the play
// screen's logo.
#pragma once

#include "artwork.h"
#include "geometry.h"
#include "text.h"

// Three banners one above the other: the table viewed from the menu, a game over that did
// not reach the table, and a new high score.
Artwork DrawBanners(TextRenderer& text, Language language, const Geometry& geometry);
const char* const* BannerTitles(Language language);

Artwork DrawDivider(const Geometry& geometry);
Artwork DrawLogo(TextRenderer& text, const Geometry& geometry);
