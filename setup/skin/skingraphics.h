// Drawing helpers of the skin: images clipped to a part, tiled and three-sliced, and text with
// markup laid out in a rectangle.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

struct Graphic;
class SKINWINDOW;

void SkinDraw(Graphic* image, Graphic* target, int x, int y, const RECT& part);
void SkinTile(Graphic* image, Graphic* target, const RECT& area, const RECT& part);
// Ends drawn as they are, the middle repeated; vertically centred in area.
void SkinThreeSlice(Graphic* image, Graphic* target, const RECT& area, const RECT& part);

struct SKINTEXTOPTIONS {
    HFONT font = nullptr; // the base font's specification comes from the window
    std::string fontSpec;
    COLORREF color = 0;
    int layout = 0; // 0 left, 1 centre, 2 right
    bool vcentre = false;
};

// Draws markup text wrapped in area; returns where each link went.
std::vector<std::pair<RECT, std::string>> SkinDrawText(SKINWINDOW* window, Graphic* target, const std::string& markup, const RECT& area,
                                                       const RECT& part, const SKINTEXTOPTIONS& options);
