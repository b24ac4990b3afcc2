// The window's outline: every pixel of the painted window that is not the skin's transparent
// colour, as a region of row runs; and the frame painted from the skin's frame images.
#pragma once

#include <windows.h>

struct Graphic;
class SKIN;

HRGN SkinRegionFromGraphic(Graphic* graphic, COLORREF transparent);
// Corners ("frame-c": top-left, top-right, bottom-left, bottom-right), edges tiled ("frame-tb":
// top, bottom; "frame-lr": left, right); each image's layers in that order, one layer for all.
void SkinPaintFrame(SKIN* skin, Graphic* target);
