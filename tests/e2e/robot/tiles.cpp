#include "tiles.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <stdexcept>

TileFinder::TileFinder(const TileCells& cells) : cells_(cells)
{
    const int w = cells.faces[0].width, h = cells.faces[0].height;
    if (cells.insets.size() != 54 || w <= 0 || h <= 0
        || std::any_of(cells.faces.begin(), cells.faces.end(), [&](const Image& f) { return f.width != w || f.height != h; })
        || std::any_of(cells.insets.begin(), cells.insets.end(),
                       [&](const Image& i) { return i.width != cells.insets[0].width || i.height != cells.insets[0].height; }))
        throw std::runtime_error("robot: the pack's tile cells are not 3 faces and 54 insets of one size");
    // Where any tile, selected or not, shows an inset: where it differs from its bare face.
    insetLeft_ = w;
    insetTop_ = h;
    for (int selected = 0; selected < 2; ++selected) {
        for (int index = 0; index < 81; ++index) {
            composed_[size_t(selected)].push_back(Compose(index, selected != 0));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (!(composed_[size_t(selected)].back().at(x, y) == cells.faces[size_t(selected)].at(x, y))) {
                        insetLeft_ = std::min(insetLeft_, x);
                        insetTop_ = std::min(insetTop_, y);
                        insetRight_ = std::max(insetRight_, x + 1);
                        insetBottom_ = std::max(insetBottom_, y + 1);
                    }
        }
    }
    for (int f = 0; f < 3; ++f) {
        std::vector<bool> counts(size_t(w) * size_t(h), true);
        if (f != int(Face::Back))
            for (int y = insetTop_; y < insetBottom_; ++y)
                for (int x = insetLeft_; x < insetRight_; ++x)
                    counts[size_t(y) * size_t(w) + size_t(x)] = false;
        locators_[size_t(f)] = MakeTemplate(cells.faces[size_t(f)], counts);
    }
}

Image TileFinder::Compose(int index, bool selected) const
{
    // The inset's row is shape x 3 + shading, its column the colour (three more when selected).
    const Image& inset = cells_.insets[size_t(index % 27 / 3 * 6 + index / 27 + (selected ? 3 : 0))];
    Image tile = cells_.faces[selected ? 1 : 0];
    const int number = index % 3 + 1, shift = selected ? 0 : 1; // a selected tile's images sit one pixel down and right
    const int x = (tile.width - inset.width) / 2 - shift, step = inset.height + cells_.insetSpacing;
    const int top = (tile.height - number * inset.height - (number - 1) * cells_.insetSpacing) / 2 - shift;
    for (int n = 0; n < number; ++n)
        Paste(tile, inset, x, top + n * step);
    return tile;
}

int TileFinder::Identify(const Image& screen, int x, int y, bool selected) const
{
    int best = -1, bestSum = INT_MAX;
    for (int index = 0; index < 81; ++index) {
        const Image& tile = composed_[selected ? 1 : 0][size_t(index)];
        int sum = 0;
        for (int row = insetTop_; row < insetBottom_ && sum < bestSum; ++row)
            for (int col = insetLeft_; col < insetRight_; ++col) {
                const Rgb a = screen.at(x + col, y + row), b = tile.at(col, row);
                sum += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
            }
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
            if (tile.face != Face::Back && (tile.index = Identify(screen, m.x, m.y, tile.face == Face::Selected)) < 0)
                continue;
            seen.push_back(tile);
        }
    }
    std::sort(seen.begin(), seen.end(), [](const SeenTile& a, const SeenTile& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    return seen;
}
