#include "emblem.h"

#include "shapes.h"
#include "style.h"

#include <cmath>

void DrawEmblemShape(Canvas& canvas, int shape, float cx, float cy, float size, float angle)
{
    using namespace style;
    const float h = size / 2;
    Shape outline = Circle(cx, cy, h);
    Colour colour = kGreen;
    if (shape == 0) {
        outline = RoundRect(cx - h * 0.95f, cy - h * 0.8f, cx + h * 0.95f, cy + h * 0.8f, size * 0.14f);
        colour = kRed;
    } else if (shape == 2) {
        outline = Polygon({{cx, cy - h * 1.05f}, {cx + h * 1.15f, cy + h * 0.9f}, {cx - h * 1.15f, cy + h * 0.9f}});
        colour = kBlue;
    }
    outline = Rotated(outline, angle, cx, cy);
    Fill(canvas, Grown(outline, std::max(1.0f, size * 0.07f)), kInk);
    Fill(canvas, outline, Linear(cx, cy - h, cx, cy + h, {{0, Lighter(colour, 0.35f)}, {1, Darker(colour, 0.1f)}}));
    // A small shine in the upper left makes the shapes look like glossy tokens.
    Fill(canvas, Intersection(outline, Ellipse(cx - h * 0.3f, cy - h * 0.45f, h * 0.45f, h * 0.25f)), Hex(0xFFFFFF, 0.45f));
}

Ink WordmarkInk(TextRenderer& text, int pixelSize, float outline)
{
    Ink ink = text.Render(Face::Bold, pixelSize, "Quibo");
    const int margin = int(std::ceil(outline)) + 1;
    ink.mask = Padded(ink.mask, margin);
    ink.baseline += margin;
    return ink;
}

void DrawTitle(Canvas& canvas, const Ink& letters, float outline, int x, int y, Colour top, Colour bottom, float opacity)
{
    const Mask rim = Dilated(letters.mask, outline);
    FillMask(canvas, Blurred(rim, 1), x + 1, y + 2, Solid(Hex(0x000000, 0.6f)), opacity);
    FillMask(canvas, rim, x, y, Solid(style::kInk), opacity);
    const float y0 = float(y), y1 = float(y + letters.mask.height);
    FillMask(canvas, letters.mask, x, y, Linear(0, y0, 0, y1, {{0.15f, top}, {0.85f, bottom}}), opacity);
}

void DrawWordmark(Canvas& canvas, TextRenderer& text, int pixelSize, float outline, int x, int y, float opacity)
{
    const Ink ink = WordmarkInk(text, pixelSize, outline);
    DrawTitle(canvas, ink, outline, x, y, Lighter(style::kGold, 0.55f), style::kGoldDeep, opacity);
}
