#include "buttons.h"

#include "shapes.h"
#include "style.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kEnglish[kButtonCount]
    = {"Menu", "Pause", "New", "Exit", "Rules", "Publish", "Options", "Scores", "Done", "Add", "Hint", "Change", "Back", "Next"};
constexpr const char* kEsperanto[kButtonCount]
    = {"Menuo", "Paŭzo", "Nova", "Eliri", "Reguloj", "Afiŝi", "Agordoj", "Trafoj", "Preta", "Aldoni", "Helpo", "Ŝanĝi", "Reen", "Plu"};

constexpr int kCaptionPixels = 11; // the largest size whose accents and descenders fit 12 rows

const Shape& Body()
{
    static const Shape body = RoundRect(7, 6, 61, 40, 10);
    return body;
}

// The label plate reaches one pixel beyond the caption rectangle on every side, with corners
// small enough that the caption's own pixels are all plate: so the caption piece drawn over
// a pressed frame meets that frame's plate without a seam.
void DrawPlate(Canvas& canvas, float x, float y)
{
    using namespace style;
    const Shape plate = RoundRect(x + kCaptionLeft - 1, y + kCaptionTop - 1, x + kCaptionLeft + kCaptionWidth + 1,
                                  y + kCaptionTop + kCaptionHeight + 1, 3.5f);
    // Flat colours only, so that the plate stays identical in every image however it is
    // reduced to a palette.
    Fill(canvas, plate, kPlateShade);
    Fill(canvas, Intersection(plate, RoundRect(x, y + kCaptionTop, x + kButtonWidth, y + kButtonHeight, 0)), kPlate);
}

void DrawBody(Canvas& canvas, float x, float y, Colour top, Colour bottom, Colour edge)
{
    const Shape body = Moved(Body(), x, y);
    Fill(canvas, body, edge);
    const Shape inner = Grown(body, -1.2f);
    Fill(canvas, inner, Linear(0, y + 6, 0, y + 40, {{0, top}, {1, bottom}}));
    // The gloss: a pale lens over the upper half.
    const Shape gloss = Intersection(inner, Ellipse(x + 34, y + 8, 30, 13));
    Fill(canvas, gloss, Linear(0, y + 6, 0, y + 21, {{0, Hex(0xFFFFFF, 0.55f)}, {1, Hex(0xFFFFFF, 0.05f)}}));
}

void DrawLabel(Canvas& canvas, const Ink& ink, float x, float y, int baseline)
{
    const Ink fitted = Squeezed(ink, kCaptionWidth);
    const int left = int(x) + kCaptionLeft + (kCaptionWidth - fitted.mask.width + 1) / 2;
    const int top
        = std::clamp(int(y) + baseline - fitted.baseline, int(y) + kCaptionTop, int(y) + kCaptionTop + kCaptionHeight - fitted.mask.height);
    FillMask(canvas, fitted.mask, left, top, Solid(style::kLabel));
}

} // namespace

const char* const* ButtonLabels(Language language)
{
    return language == Language::English ? kEnglish : kEsperanto;
}

Artwork DrawButtonFaces(TextRenderer& text, Language language)
{
    using namespace style;
    const char* const* labels = ButtonLabels(language);
    std::vector<Ink> inks;
    int above = 0, below = 0;
    for (int i = 0; i < kButtonCount; ++i) {
        inks.push_back(text.Render(Face::Condensed, kCaptionPixels, labels[i]));
        above = std::max(above, inks.back().baseline);
        below = std::max(below, inks.back().mask.height - inks.back().baseline);
    }
    // One baseline for the whole set, with the tallest and deepest letters centred.
    const int baseline = kCaptionTop + std::max(0, kCaptionHeight - above - below) / 2 + above;

    Artwork art{std::string("buttons-") + Suffix(language), Canvas(kButtonWidth * 7, kButtonHeight * 2), true, kButtonWidth, kButtonHeight};
    for (int i = 0; i < kButtonCount; ++i) {
        const float x = float((i % 7) * kButtonWidth), y = float((i / 7) * kButtonHeight);
        DrawBody(art.canvas, x, y, kButtonTop, kButtonBottom, kButtonEdge);
        DrawPlate(art.canvas, x, y);
        DrawLabel(art.canvas, inks[size_t(i)], x, y, baseline);
    }
    return art;
}

Artwork DrawPressedFrames()
{
    using namespace style;
    Artwork art{"buttons-down", Canvas(kButtonWidth * 5, kButtonHeight * 2), true, kButtonWidth, kButtonHeight};
    for (int i = 0; i < kPressedFrames; ++i) {
        const float x = float((i % 5) * kButtonWidth), y = float((i / 5) * kButtonHeight);
        DrawBody(art.canvas, x, y, kPressedTop, kPressedBottom, kPressedEdge);
        // A band of light sweeps across once every ten frames, so the loop has no seam.
        const float sweep = x + 7 - 16 + float(i) * 8.6f;
        const Shape band = Intersection(Grown(Moved(Body(), x, y), -1.2f),
                                        Polygon({{sweep, y}, {sweep + 10, y}, {sweep - 4, y + 46}, {sweep - 14, y + 46}}));
        Fill(art.canvas, band, Hex(0xFFFFFF, 0.55f));
        // Two glints twinkle on opposite beats.
        for (int k = 0; k < 2; ++k) {
            const float phase = std::sin(float(i + k * 5) * 3.14159f / 5.0f);
            const float r = 1.0f + 2.5f * std::max(0.0f, phase);
            const float gx = x + (k == 0 ? 12.0f : 56.0f), gy = y + (k == 0 ? 12.0f : 34.0f);
            Fill(art.canvas,
                 Union(Polygon({{gx - r, gy}, {gx, gy - 0.35f * r}, {gx + r, gy}, {gx, gy + 0.35f * r}}),
                       Polygon({{gx, gy - r}, {gx + 0.35f * r, gy}, {gx, gy + r}, {gx - 0.35f * r, gy}})),
                 Hex(0xFFFFFF, 0.95f));
        }
        DrawPlate(art.canvas, x, y);
    }
    return art;
}
