// The tiles of one pack as the game draws them, and finding them on a screenshot.
#pragma once

#include "look.h"

#include <array>
#include <vector>

struct TileCells {
    std::array<Image, 3> faces; // normal, selected, back
    std::vector<Image> insets; // 54, row by row in a 6 x 9 grid
    int insetSpacing = 0; // layout cyINSETS_SPACING
};

enum class Face { Normal = 0, Selected = 1, Back = 2 };

struct SeenTile {
    int x = 0, y = 0; // top left on the screenshot
    Face face = Face::Normal;
    int index = -1; // colour x 27 + shape x 9 + shading x 3 + (number - 1); -1 for a back
    bool operator==(const SeenTile&) const = default;
};

class TileFinder {
public:
    explicit TileFinder(const TileCells& cells);
    // The tile exactly as drawn: its face with the insets stacked and centred.
    Image Compose(int index, bool selected) const;
    // Every whole tile on the screenshot, in reading order (top to bottom, then left to right).
    std::vector<SeenTile> Find(const Image& screen) const;
    int tileWidth() const { return cells_.faces[0].width; }
    int tileHeight() const { return cells_.faces[0].height; }

private:
    int Identify(const Image& screen, int x, int y, bool selected) const;

    TileCells cells_;
    std::array<Template, 3> locators_; // each face without anything an inset may cover
    std::array<std::vector<Image>, 2> composed_; // [selected][index]
    int insetLeft_ = 0, insetTop_ = 0, insetRight_ = 0, insetBottom_ = 0; // where insets may be
};
