#include "tiles.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <stdexcept>

namespace {

struct Placement {
    int column, row, x, firstY, count, stepY;
};

Placement Place(const TileCells& cells, int index, bool selected)
{
    const TileAttributes a = AttributesOf(index);
    const Image& face = cells.faces[0];
    const Image& inset = cells.insets[0];
    const int shift = selected ? 0 : 1; // a selected tile's images sit one pixel down and right
    Placement p{};
    p.column = a.colour + (selected ? 3 : 0);
    p.row = a.shape * 3 + a.shading;
    p.count = a.number;
    p.x = (face.width - inset.width) / 2 - shift;
    p.firstY = (face.height - a.number * inset.height - (a.number - 1) * cells.insetSpacing) / 2 - shift;
    p.stepY = inset.height + cells.insetSpacing;
    return p;
}

int Difference(const Image& screen, int x, int y, const Image& tile, int left, int top, int right, int bottom, int limit)
{
    int sum = 0;
    for (int row = top; row < bottom; ++row) {
        for (int col = left; col < right; ++col) {
            const Rgb a = screen.at(x + col, y + row), b = tile.at(col, row);
            sum += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
        }
        if (sum > limit)
            return sum;
    }
    return sum;
}

} // namespace

TileAttributes AttributesOf(int index)
{
    return {index / 27, index / 9 % 3, index / 3 % 3, index % 3 + 1};
}

TileFinder::TileFinder(const TileCells& cells) : cells_(cells)
{
    const int w = cells.faces[0].width, h = cells.faces[0].height;
    if (cells.insets.size() != 54 || w <= 0 || h <= 0 || cells.faces[1].width != w || cells.faces[2].width != w
        || cells.faces[1].height != h || cells.faces[2].height != h)
        throw std::runtime_error("robot: the pack's tile cells are not 3 faces and 54 insets");
    for (const Image& inset : cells.insets)
        if (inset.width != cells.insets[0].width || inset.height != cells.insets[0].height)
            throw std::runtime_error("robot: the pack's insets differ in size");
    // Where any tile, selected or not, may show an inset.
    insetLeft_ = w;
    insetTop_ = h;
    for (int index = 0; index < 81; ++index) {
        for (bool selected : {false, true}) {
            const Placement p = Place(cells, index, selected);
            insetLeft_ = std::min(insetLeft_, p.x);
            insetRight_ = std::max(insetRight_, p.x + cells.insets[0].width);
            insetTop_ = std::min(insetTop_, p.firstY);
            insetBottom_ = std::max(insetBottom_, p.firstY + (p.count - 1) * p.stepY + cells.insets[0].height);
        }
    }
    insetLeft_ = std::max(insetLeft_, 0);
    insetTop_ = std::max(insetTop_, 0);
    insetRight_ = std::min(insetRight_, w);
    insetBottom_ = std::min(insetBottom_, h);
    for (int f = 0; f < 3; ++f) {
        std::vector<bool> counts(size_t(w) * size_t(h), true);
        if (f != int(Face::Back))
            for (int y = insetTop_; y < insetBottom_; ++y)
                for (int x = insetLeft_; x < insetRight_; ++x)
                    counts[size_t(y) * size_t(w) + size_t(x)] = false;
        locators_[size_t(f)] = MakeTemplate(cells.faces[size_t(f)], counts);
    }
    for (int selected = 0; selected < 2; ++selected)
        for (int index = 0; index < 81; ++index)
            composed_[size_t(selected)].push_back(Compose(index, selected != 0));
}

Image TileFinder::Compose(int index, bool selected) const
{
    Image tile = cells_.faces[selected ? 1 : 0];
    const Placement p = Place(cells_, index, selected);
    const Image& inset = cells_.insets[size_t(p.row * 6 + p.column)];
    for (int n = 0; n < p.count; ++n)
        Paste(tile, inset, p.x, p.firstY + n * p.stepY);
    return tile;
}

int TileFinder::Identify(const Image& screen, int x, int y, bool selected) const
{
    int best = -1, bestSum = INT_MAX;
    for (int index = 0; index < 81; ++index) {
        const int sum = Difference(screen, x, y, composed_[selected ? 1 : 0][size_t(index)], insetLeft_, insetTop_, insetRight_,
                                   insetBottom_, bestSum);
        if (sum < bestSum) {
            bestSum = sum;
            best = index;
        }
    }
    // A picture that is not a tile at all is far from every one of them.
    const int area = (insetRight_ - insetLeft_) * (insetBottom_ - insetTop_);
    return bestSum <= area * 3 * 12 ? best : -1;
}

std::vector<SeenTile> TileFinder::Find(const Image& screen) const
{
    std::vector<SeenTile> seen;
    for (int f = 0; f < 3; ++f) {
        for (const Match& m : FindAll(screen, locators_[size_t(f)])) {
            SeenTile tile{m.x, m.y, Face(f), -1};
            if (tile.face != Face::Back) {
                tile.index = Identify(screen, m.x, m.y, tile.face == Face::Selected);
                if (tile.index < 0)
                    continue;
            }
            seen.push_back(tile);
        }
    }
    std::sort(seen.begin(), seen.end(), [](const SeenTile& a, const SeenTile& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    return seen;
}
