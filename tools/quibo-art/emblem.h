// The game's mark, shared by the play-screen logo and the intro: the three shapes of the
// tiles in their three colours, and the name in gold.
#pragma once

#include "canvas.h"
#include "text.h"

// Shape 0 rectangle, 1 circle, 2 triangle, centred at (cx, cy), `size` pixels tall.
void DrawEmblemShape(Canvas& canvas, int shape, float cx, float cy, float size, float angle = 0);

// The name "Quibo" at the given size, outlined; the returned ink includes the outline.
Ink WordmarkInk(TextRenderer& text, int pixelSize, float outline);
void DrawWordmark(Canvas& canvas, TextRenderer& text, int pixelSize, float outline, int x, int y, float opacity = 1.0f);

// Gold title lettering with a dark outline, as on the logo and the banners.
void DrawTitle(Canvas& canvas, const Ink& letters, float outline, int x, int y, Colour top, Colour bottom, float opacity = 1.0f);
