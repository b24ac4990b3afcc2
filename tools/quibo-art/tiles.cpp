#include "tiles.h"

#include "shapes.h"
#include "style.h"

#include <algorithm>
#include <cmath>

namespace {

struct FaceLook {
    Colour edge, light, interior, dark;
};

// A card with a rounded border and a bevel; the interior is one flat colour, because the
// images are drawn over it as opaque rectangles.
void DrawCard(Canvas& canvas, float x, float width, float height, float radius, float bevel, const FaceLook& look)
{
    Fill(canvas, RoundRect(x, 0, x + width, height, radius), look.edge);
    Fill(canvas, RoundRect(x + 1, 1, x + width - 1, height - 1, radius - 1),
         Linear(x, 0, x + width * 0.6f, height, {{0, look.light}, {0.5f, look.interior}, {1, look.dark}}));
    Fill(canvas, RoundRect(x + 1 + bevel, 1 + bevel, x + width - 1 - bevel, height - 1 - bevel, radius - 1 - bevel), look.interior);
}

void DrawBack(Canvas& canvas, float x, float width, float height, float radius, float scale)
{
    using namespace style;
    const Shape body = RoundRect(x + 1, 1, x + width - 1, height - 1, radius - 1);
    Fill(canvas, RoundRect(x, 0, x + width, height, radius), kFaceEdge);
    Fill(canvas, body, Linear(0, 0, 0, height, {{0, kBackTop}, {1, kBackBottom}}));

    // A diagonal lattice inside a thin gold frame, and a gold diamond at the heart.
    const float inset = std::max(3.0f, 5.0f * scale);
    const Shape field = RoundRect(x + inset, inset, x + width - inset, height - inset, std::max(1.0f, radius - inset));
    const float step = std::max(6.0f, 10.0f * scale);
    const float line = std::max(0.8f, 1.2f * scale);
    for (float d = -height; d < width + height; d += step) {
        Fill(canvas, Intersection(Segment({x + d, 0}, {x + d + height, height}, line), field), kBackLine);
        Fill(canvas, Intersection(Segment({x + d, height}, {x + d + height, 0}, line), field), kBackLine);
    }
    Fill(canvas, Outline(field, line), WithAlpha(kGold, 0.85f));
    const float cx = x + width / 2, cy = height / 2;
    const float r = std::max(5.0f, std::min(width, height) * 0.16f);
    const Shape diamond = Polygon({{cx, cy - r * 1.3f}, {cx + r, cy}, {cx, cy + r * 1.3f}, {cx - r, cy}});
    Glow(canvas, diamond, WithAlpha(kBackBottom, 1.0f), 3 * scale + 1);
    Fill(canvas, diamond, Linear(cx, cy - r, cx, cy + r, {{0, Lighter(kGold, 0.4f)}, {1, kGoldDeep}}));
}

} // namespace

Artwork DrawTileFaces(const Geometry& g)
{
    using namespace style;
    const float w = float(g.tileWidth), h = float(g.tileHeight);
    const float radius = std::max(4.0f, 8.0f * g.scale);
    const float bevel = g.scale < 0.7f ? 1.0f : 2.0f;
    Artwork art{"tiles", Canvas(g.tileWidth * 3, g.tileHeight), false, g.tileWidth, g.tileHeight};
    art.canvas.Clear(Hex(0x000000));
    DrawCard(art.canvas, 0, w, h, radius, bevel, {kFaceEdge, kFaceHighlight, kFace, kFaceShadow});
    // Selected: pressed in (the bevel turned round) and glowing gold.
    DrawCard(art.canvas, w, w, h, radius, bevel, {kSelectedGlow, kSelectedShadow, kSelected, Lighter(kSelected, 0.7f)});
    DrawBack(art.canvas, 2 * w, w, h, radius, g.scale);
    return art;
}

namespace {

Shape ImageShape(int shape, float cx, float cy, float size)
{
    switch (shape) {
    case 0: return RoundRect(cx - size * 0.85f, cy - size / 2, cx + size * 0.85f, cy + size / 2, size * 0.14f);
    case 1: return Circle(cx, cy, size * 0.55f);
    default: {
        const float half = size * 0.64f;
        return Polygon({{cx, cy - size / 2 - 0.5f}, {cx + half, cy + size / 2}, {cx - half, cy + size / 2}});
    }
    }
}

void DrawImage(Canvas& canvas, float cx, float cy, float size, int shape, int shading, Colour colour, float stroke, bool lit, float scale)
{
    const Shape outline = ImageShape(shape, cx, cy, size);
    if (lit)
        Glow(canvas, outline, Hex(0xFFFFFF, 0.9f), std::max(1.2f, 2.0f * scale));
    switch (shading) {
    case 0:
        Fill(canvas, outline, Linear(cx, cy - size / 2, cx, cy + size / 2, {{0, Lighter(colour, 0.22f)}, {1, Darker(colour, 0.08f)}}));
        break;
    case 1: {
        const Shape middle = Intersection(Segment({cx, cy - size}, {cx, cy + size}, stroke), outline);
        Fill(canvas, Union(Outline(outline, stroke), middle), colour);
        break;
    }
    default: Fill(canvas, Outline(outline, stroke), colour); break;
    }
}

} // namespace

Artwork DrawInsets(const Geometry& g)
{
    using namespace style;
    const int w = g.insetWidth, h = g.insetHeight;
    Artwork art{"insets", Canvas(w * 6, h * 9), false, w, h};
    const Colour plain[3] = {kRed, kGreen, kBlue};
    const Colour lit[3] = {kRedLit, kGreenLit, kBlueLit};
    const float size = float(h) - 2.0f * std::max(1.5f, float(h) * 0.09f);
    const float stroke = std::max(1.4f, float(h) * 0.085f);
    for (int row = 0; row < 9; ++row)
        for (int column = 0; column < 6; ++column) {
            // Each cell is drawn on its own, so no glow or soft edge spills into its neighbours.
            const bool selected = column >= 3;
            Canvas cell(w, h);
            cell.Clear(selected ? kSelected : kFace);
            DrawImage(cell, float(w) / 2, float(h) / 2, size, row / 3, row % 3, selected ? lit[column % 3] : plain[column % 3], stroke,
                      selected, g.scale);
            art.canvas.Draw(cell, column * w, row * h);
        }
    return art;
}
