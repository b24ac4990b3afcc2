#include "preview.h"

namespace {

struct Sample {
    int face; // 0 normal, 1 selected, 2 back
    int colour, shape, shading, count;
};

constexpr Sample kSamples[] = {
    {0, 0, 0, 0, 1}, {0, 1, 1, 1, 2}, {0, 2, 2, 2, 3}, {1, 0, 1, 0, 3}, {1, 2, 0, 1, 2}, {2, 0, 0, 0, 0},
};

constexpr int kGap = 3;

void Copy(RgbImage& to, int toX, int toY, const RgbImage& from, int fromX, int fromY, int width, int height)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            to.pixels[size_t(toY + y) * size_t(to.width) + size_t(toX + x)]
                = from.pixels[size_t(fromY + y) * size_t(from.width) + size_t(fromX + x)];
}

} // namespace

RgbImage BoardPreview(const RgbImage& faces, const RgbImage& insets, const Geometry& g)
{
    const int count = int(std::size(kSamples));
    RgbImage board{count * (g.tileWidth + kGap) - kGap, g.tileHeight,
                   std::vector<Rgb>(size_t(count * (g.tileWidth + kGap) - kGap) * size_t(g.tileHeight), Rgb{0, 0, 0}), false};
    for (int i = 0; i < count; ++i) {
        const Sample& s = kSamples[i];
        const int left = i * (g.tileWidth + kGap);
        Copy(board, left, 0, faces, s.face * g.tileWidth, 0, g.tileWidth, g.tileHeight);
        if (s.face == 2)
            continue;
        // As the game places them: centred, one pixel up and left unless selected.
        const int shift = s.face == 1 ? 0 : 1;
        const int column = s.colour + (s.face == 1 ? 3 : 0), row = s.shape * 3 + s.shading;
        const int x = (g.tileWidth - g.insetWidth) / 2 - shift;
        int y = (g.tileHeight - s.count * g.insetHeight - (s.count - 1) * g.insetSpacing) / 2 - shift;
        for (int n = 0; n < s.count; ++n, y += g.insetHeight + g.insetSpacing)
            Copy(board, left + x, y, insets, column * g.insetWidth, row * g.insetHeight, g.insetWidth, g.insetHeight);
    }
    return board;
}
