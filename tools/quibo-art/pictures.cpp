#include "pictures.h"

#include "emblem.h"
#include "shapes.h"
#include "style.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kEnglish[3] = {"High Scores", "Game Over", "New High Score!"};
constexpr const char* kEsperanto[3] = {"Altaj Trafoj", "Ludo Finiĝis", "Nova Alta Trafo!"};

struct RibbonLook {
    Colour light, dark;
};

// A ribbon: a glossy band in front of two notched tails.
void DrawRibbon(Canvas& canvas, float top, float width, float height, const RibbonLook& look)
{
    const float bandTop = top + height * 0.14f, bandBottom = top + height * 0.80f;
    const float tailTop = top + height * 0.32f, tailBottom = top + height * 0.96f;
    const float inset = 12, tail = 16;
    const Colour tailColour = Darker(look.dark, 0.25f);
    for (int side = 0; side < 2; ++side) {
        auto at = [&](float x) { return side == 0 ? x : width - x; };
        const Shape tailShape = Polygon({{at(1), tailTop},
                                         {at(inset + tail), tailTop},
                                         {at(inset + tail), tailBottom},
                                         {at(1), tailBottom},
                                         {at(8), (tailTop + tailBottom) / 2}});
        Fill(canvas, Grown(tailShape, 1), style::kInk);
        Fill(canvas, tailShape, tailColour);
        const Shape fold = Polygon({{at(inset), bandBottom}, {at(inset + tail), bandBottom}, {at(inset + tail), tailBottom}});
        Fill(canvas, fold, Darker(look.dark, 0.55f));
    }
    const Shape band = RoundRect(inset, bandTop, width - inset, bandBottom, 4);
    Fill(canvas, Grown(band, 1.2f), style::kInk);
    Fill(canvas, band, Linear(0, bandTop, 0, bandBottom, {{0, look.light}, {1, look.dark}}));
    Fill(canvas, Intersection(band, RoundRect(inset + 3, bandTop + 1.5f, width - inset - 3, (bandTop + bandBottom) / 2, 3)),
         Hex(0xFFFFFF, 0.22f));
}

} // namespace

const char* const* BannerTitles(Language language)
{
    return language == Language::English ? kEnglish : kEsperanto;
}

Artwork DrawBanners(TextRenderer& text, Language language, const Geometry& g)
{
    const RibbonLook looks[3] = {{Hex(0x5C8CFF), Hex(0x1F3FA8)}, {Hex(0x9A6BD0), Hex(0x4A2479)}, {Hex(0xFF6B57), Hex(0xB3161F)}};
    const float w = float(g.bannerWidth), h = float(g.bannerHeight);
    Artwork art{std::string("gameover-") + Suffix(language), Canvas(g.bannerWidth, g.bannerHeight * 3), true, g.bannerWidth,
                g.bannerHeight};
    for (int i = 0; i < 3; ++i) {
        const float top = h * float(i);
        DrawRibbon(art.canvas, top, w, h, looks[i]);
        // The largest lettering that fits the band.
        const float bandHeight = h * 0.66f;
        Ink ink;
        for (int size = int(bandHeight * 0.78f); size >= 10; --size) {
            ink = text.Render(Face::Bold, size, BannerTitles(language)[i]);
            if (ink.mask.width <= int(w) - 44)
                break;
        }
        ink.mask = Padded(ink.mask, 2);
        const int x = (g.bannerWidth - ink.mask.width) / 2;
        const int y = int(top + h * 0.47f) - ink.mask.height / 2;
        DrawTitle(art.canvas, ink, 1.4f, x, y, Hex(0xFFFFFF), Hex(0xFFE9A8));
    }
    return art;
}

Artwork DrawDivider(const Geometry& g)
{
    const float w = float(g.dividerWidth), h = float(g.dividerHeight), cx = w / 2, cy = h / 2;
    Artwork art{"divider", Canvas(g.dividerWidth, g.dividerHeight), true, g.dividerWidth, g.dividerHeight};
    // A golden rule that fades out towards both ends, with a jewel at its middle.
    const Paint fade = [=](float, float y) {
        const float t = 1.0f - std::abs(y - cy) / (h / 2);
        return WithAlpha(Mix(style::kGoldDeep, style::kGold, t), std::clamp(t * 2.2f, 0.0f, 1.0f));
    };
    Fill(art.canvas, RoundRect(cx - 1, 2, cx + 1, h - 2, 1), fade);
    const Shape jewel = Polygon({{cx, cy - w * 1.3f}, {cx + w / 2 - 0.3f, cy}, {cx, cy + w * 1.3f}, {cx - w / 2 + 0.3f, cy}});
    Fill(art.canvas, Grown(jewel, 0.6f), style::kInk);
    Fill(art.canvas, jewel, Linear(cx, cy - w, cx, cy + w, {{0, Lighter(style::kGold, 0.5f)}, {1, style::kGoldDeep}}));
    for (const float dy : {-0.28f, 0.28f})
        Fill(art.canvas, Circle(cx, cy + h * dy, 1.8f), style::kGold);
    return art;
}

Artwork DrawLogo(TextRenderer& text, const Geometry& g)
{
    const float w = float(g.logoWidth), h = float(g.logoHeight);
    Artwork art{"logo", Canvas(g.logoWidth, g.logoHeight), true, g.logoWidth, g.logoHeight};
    const float shape = std::round(h * 0.26f);
    const float shapesY = h * 0.2f;
    for (int i = 0; i < 3; ++i)
        DrawEmblemShape(art.canvas, i, w / 2 + (float(i) - 1) * shape * 1.55f, shapesY, shape);
    // The largest name that leaves a little room at both sides.
    int size = int(h * 0.5f);
    Ink ink = WordmarkInk(text, size, 2.0f);
    while (size > 10 && ink.mask.width > g.logoWidth - 10)
        ink = WordmarkInk(text, --size, 2.0f);
    DrawWordmark(art.canvas, text, size, 2.0f, (g.logoWidth - ink.mask.width) / 2,
                 std::min(int(h) - ink.mask.height, int(shapesY + shape * 0.7f)));
    return art;
}
