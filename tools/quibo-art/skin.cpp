#include "skin.h"

#include "canvas.h"
#include "psp_writer.h"
#include "shapes.h"
#include "style.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace style;

// Soft edges are blended with the window's white; pixels less than half covered are keyed out
// on pure blue, the skin's transparent colour.
std::vector<uint32_t> Keyed(const Canvas& c)
{
    std::vector<uint32_t> out;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            const Colour p = c.At(x, y);
            if (p.a < 0.5f) {
                out.push_back(0x0000FF);
                continue;
            }
            auto ch = [&](float v) { return uint32_t(std::lround(std::clamp(v * p.a + (1 - p.a), 0.0f, 1.0f) * 255)); };
            uint32_t rgb = ch(p.r) << 16 | ch(p.g) << 8 | ch(p.b);
            if (rgb == 0x0000FF)
                rgb = 0x0000FE;
            out.push_back(rgb);
        }
    return out;
}

SkinImage Image(const std::string& name, const std::vector<Canvas>& layers)
{
    psp::Image image;
    image.width = layers[0].Width();
    image.height = layers[0].Height();
    image.bitDepth = 24;
    image.compression = psp::Compression::Deflate;
    SkinImage out{name, {}, image.width, image.height, int(layers.size()), {}};
    out.preview.width = image.width * int(layers.size());
    out.preview.height = image.height;
    out.preview.keyed = true;
    std::vector<std::vector<uint32_t>> pixels;
    for (const Canvas& c : layers) {
        pixels.push_back(Keyed(c));
        image.layers.push_back(psp::WholeLayer(image, pixels.back()));
        image.layers.back().name = name + " " + std::to_string(image.layers.size());
    }
    out.bytes = psp::WritePspImage(image);
    for (int y = 0; y < image.height; ++y)
        for (const auto& layer : pixels)
            for (int x = 0; x < image.width; ++x) {
                const uint32_t p = layer[size_t(y) * size_t(image.width) + size_t(x)];
                out.preview.pixels.push_back(Rgb{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
            }
    return out;
}

Paint Gloss(float top, float bottom, Colour a, Colour b)
{
    return Linear(0, top, 0, bottom, {{0, Lighter(a, 0.35f)}, {0.45f, a}, {0.55f, Mix(a, b, 0.6f)}, {1, b}});
}

Canvas Button(int w, int h, Colour top, Colour bottom, Colour edge, float fade)
{
    Canvas c(w, h);
    const Shape outer = RoundRect(0.5f, 0.5f, w - 0.5f, h - 0.5f, h / 2.0f - 1);
    Fill(c, outer, edge);
    const Shape inner = RoundRect(1.8f, 1.8f, w - 1.8f, h - 1.8f, h / 2.0f - 2.3f);
    Fill(c, inner, Gloss(2, h - 2, Mix(top, Hex(0xFFFFFF), fade), Mix(bottom, Hex(0xFFFFFF), fade)));
    Fill(c, RoundRect(5, 2.5f, w - 5, h / 2.0f, h / 4.0f), WithAlpha(Hex(0xFFFFFF), 0.35f));
    return c;
}

Canvas Disc(int size, Colour fill, Colour edge)
{
    Canvas c(size, size);
    const float r = size / 2.0f;
    Fill(c, Circle(r, r, r - 0.5f), edge);
    Fill(c, Circle(r, r, r - 1.8f), Radial(r * 0.7f, r * 0.6f, r * 1.4f, {{0, Lighter(fill, 0.5f)}, {1, fill}}));
    return c;
}

// The frame: indigo like the tiles' backs, a gold line on its inside.
constexpr int kBorder = 20;

Canvas Edge(int w, int h, bool horizontal, bool first)
{
    Canvas c(w, h);
    const Paint paint = horizontal ? Linear(0, first ? 0 : float(h), 0, first ? float(h) : 0, {{0, kBackBottom}, {1, kBackTop}})
                                   : Linear(first ? 0 : float(w), 0, first ? float(w) : 0, 0, {{0, kBackBottom}, {1, kBackTop}});
    Fill(c, RoundRect(-1, -1, w + 1.0f, h + 1.0f, 0), paint);
    // The gold rule 4 pixels from the inner edge.
    if (horizontal)
        Fill(c, RoundRect(-1, first ? h - 6.0f : 4.0f, w + 1.0f, first ? h - 4.0f : 6.0f, 0), kGold);
    else
        Fill(c, RoundRect(first ? w - 6.0f : 4.0f, -1, first ? w - 4.0f : 6.0f, h + 1.0f, 0), kGold);
    return c;
}

Canvas Corner(int corner)
{
    const int s = kBorder;
    Canvas whole(2 * s, 2 * s);
    const Paint paint = Linear(0, 0, 2.0f * s, 2.0f * s, {{0, kBackTop}, {1, kBackBottom}});
    const Shape outer = RoundRect(0.5f, 0.5f, 2 * s - 0.5f, 2 * s - 0.5f, s - 2.0f);
    Fill(whole, outer, paint);
    Fill(whole, Outline(RoundRect(s - 5.0f, s - 5.0f, s + 5.0f, s + 5.0f, 1), 2), kGold);
    Fill(whole, Outline(RoundRect(0.5f, 0.5f, 2 * s - 0.5f, 2 * s - 0.5f, s - 2.0f), 1.2f), kBackLine);
    // The inner corner of the gold rule: the rules of both edges meet in a square.
    Fill(whole, RoundRect(s - 6.0f, s - 6.0f, s + 6.0f, s + 6.0f, 0), kBackTop);
    Fill(whole, Outline(RoundRect(s - 5.0f, s - 5.0f, s + 5.0f, s + 5.0f, 0), 2), kGold);
    const int x = (corner % 2) ? s : 0, y = (corner / 2) ? s : 0;
    return whole.Crop(x, y, s, s);
}

Canvas Glyph(int size, Colour fill, Colour edge, int kind)
{
    Canvas c = Disc(size, fill, edge);
    const float m = size / 2.0f, u = size / 32.0f * (kind == 3 ? 2.0f : 1.0f);
    const Colour ink = Hex(0xFFFFFF);
    switch (kind) {
    case 0: // information
        Fill(c, Circle(m, 9 * u, 2.6f * u), ink);
        Fill(c, RoundRect(m - 2.3f * u, 13 * u, m + 2.3f * u, 25 * u, 1.2f * u), ink);
        break;
    case 1: // alert
        Fill(c, RoundRect(m - 2.3f * u, 6 * u, m + 2.3f * u, 19 * u, 1.5f * u), ink);
        Fill(c, Circle(m, 24 * u, 2.6f * u), ink);
        break;
    case 3: // close
        Fill(c,
             Union(Segment({m - 5 * u, m - 5 * u}, {m + 5 * u, m + 5 * u}, 2.2f * u),
                   Segment({m - 5 * u, m + 5 * u}, {m + 5 * u, m - 5 * u}, 2.2f * u)),
             ink);
        break;
    default: // question
        Fill(c, Difference(Outline(Circle(m, 12 * u, 5.5f * u), 4.2f * u), RoundRect(m - 9 * u, 12 * u, m, 19 * u, 0)), ink);
        Fill(c, RoundRect(m - 2.1f * u, 15 * u, m + 2.1f * u, 20 * u, 0.5f), ink);
        Fill(c, Circle(m, 25 * u, 2.5f * u), ink);
        break;
    }
    return c;
}

Canvas Tile(int w, int h, Colour colour, int count)
{
    Canvas c(w, h);
    Fill(c, RoundRect(0.5f, 0.5f, w - 0.5f, h - 0.5f, 4), kFaceEdge);
    Fill(c, RoundRect(1.5f, 1.5f, w - 1.5f, h - 1.5f, 3.5f), Linear(0, 0, 0, float(h), {{0, kFaceHighlight}, {1, kFace}}));
    for (int i = 0; i < count; ++i) {
        const float cy = h * (i + 1.0f) / (count + 1.0f);
        Fill(c, Circle(w / 2.0f, cy, w * 0.22f), colour);
    }
    return c;
}

} // namespace

std::vector<SkinImage> DrawSkin()
{
    std::vector<SkinImage> out;
    Canvas background(16, 16);
    background.Clear(Hex(0xFFFFFF));
    Fill(background, Circle(8, 8, 0.9f), WithAlpha(kBackLine, 0.18f));
    out.push_back(Image("background", {background}));
    out.push_back(Image("frame-c", {Corner(0), Corner(1), Corner(2), Corner(3)}));
    out.push_back(Image("frame-tb", {Edge(16, kBorder, true, true), Edge(16, kBorder, true, false)}));
    out.push_back(Image("frame-lr", {Edge(kBorder, 16, false, true), Edge(kBorder, 16, false, false)}));
    out.push_back(Image(
        "frame-x", {Glyph(14, kGoldDeep, kPressedEdge, 3), Glyph(14, kGold, kPressedEdge, 3), Glyph(14, kPressedBottom, kPressedEdge, 3)}));
    {
        std::vector<Canvas> states;
        for (int s = 0; s < 3; ++s) {
            Canvas c = Disc(14, s == 1 ? kGold : s == 2 ? kPressedBottom : kGoldDeep, kPressedEdge);
            Fill(c, RoundRect(3.5f, 6, 10.5f, 8, 0.5f), Hex(0xFFFFFF));
            states.push_back(c);
        }
        out.push_back(Image("frame-min", states));
    }
    out.push_back(Image("pbutton", {Button(96, 28, kButtonTop, kButtonBottom, kButtonEdge, 0),
                                    Button(96, 28, kButtonTop, kButtonBottom, kButtonEdge, 0.25f),
                                    Button(96, 28, kPressedTop, kPressedBottom, kPressedEdge, 0),
                                    Button(96, 28, kButtonTop, kButtonBottom, kButtonEdge, 0.7f)}));
    {
        std::vector<Canvas> radio, check;
        for (int hover = 0; hover < 2; ++hover)
            for (int on = 0; on < 2; ++on) {
                Canvas r = Disc(16, hover ? Lighter(kButtonTop, 0.4f) : Hex(0xFFFFFF), kButtonEdge);
                if (on)
                    Fill(r, Circle(8, 8, 4), Radial(7, 6, 6, {{0, kGold}, {1, kGoldDeep}}));
                radio.push_back(r);
                Canvas k(16, 16);
                Fill(k, RoundRect(0.5f, 0.5f, 15.5f, 15.5f, 3), kButtonEdge);
                Fill(k, RoundRect(1.8f, 1.8f, 14.2f, 14.2f, 2), hover ? Lighter(kButtonTop, 0.4f) : Hex(0xFFFFFF));
                if (on)
                    Fill(k, Union(Segment({4, 8}, {7, 11.5f}, 2.4f), Segment({7, 11.5f}, {12.5f, 4}, 2.4f)), kGoldDeep);
                check.push_back(k);
            }
        out.push_back(Image("rbutton", radio));
        out.push_back(Image("cbutton", check));
    }
    {
        Canvas trough(60, 16), fill(60, 16);
        Fill(trough, RoundRect(0.5f, 0.5f, 59.5f, 15.5f, 7.5f), kButtonEdge);
        Fill(trough, RoundRect(1.8f, 1.8f, 58.2f, 14.2f, 6.2f), Linear(0, 0, 0, 16, {{0, Hex(0xE4E9F5)}, {1, Hex(0xFFFFFF)}}));
        Fill(fill, RoundRect(0.5f, 0.5f, 59.5f, 15.5f, 7.5f), kButtonEdge);
        Fill(fill, RoundRect(1.8f, 1.8f, 58.2f, 14.2f, 6.2f), Gloss(2, 14, kPressedTop, kPressedBottom));
        out.push_back(Image("pbar", {trough, fill}));
    }
    {
        Canvas track(16, 16), thumb(16, 16);
        track.Clear(Hex(0xE4E9F5));
        Fill(thumb, RoundRect(1, 1, 15, 15, 6), Gloss(1, 15, kButtonTop, kButtonBottom));
        out.push_back(Image("hscroll", {track, thumb}));
        out.push_back(Image("vscroll", {track, thumb}));
        Canvas edit(30, 22), list(30, 30), item(30, 16), cursor(2, 16), hover(30, 16);
        Fill(edit, RoundRect(0.5f, 0.5f, 29.5f, 21.5f, 3), kButtonEdge);
        Fill(edit, RoundRect(1.5f, 1.5f, 28.5f, 20.5f, 2.5f), Hex(0xFFFFFF));
        Fill(list, RoundRect(0.5f, 0.5f, 29.5f, 29.5f, 3), kButtonEdge);
        Fill(list, RoundRect(1.5f, 1.5f, 28.5f, 28.5f, 2.5f), Hex(0xFFFFFF));
        item.Clear(Hex(0x8DA4E8));
        cursor.Clear(kInk);
        hover.Clear(WithAlpha(kGold, 0.6f));
        out.push_back(Image("edit", {edit}));
        out.push_back(Image("list", {list}));
        out.push_back(Image("listitem", {item}));
        out.push_back(Image("cursor", {cursor}));
        out.push_back(Image("hover", {hover}));
    }
    out.push_back(Image("icon-info", {Glyph(32, kButtonBottom, kButtonEdge, 0)}));
    out.push_back(Image("icon-alert", {Glyph(32, kRed, Darker(kRed, 0.5f), 1)}));
    out.push_back(Image("icon-question", {Glyph(32, kGreen, Darker(kGreen, 0.5f), 2)}));

    // The pictures: the frame picture (three tiles fanned out), Install and Rescan, the icon.
    {
        Canvas emblem(120, 70);
        const Colour colours[] = {kRed, kGreen, kBlue};
        for (int i = 0; i < 3; ++i) {
            Canvas t = Tile(30, 46, colours[i], i + 1);
            emblem.Draw(t, 10 + i * 34, 4 + (i == 1 ? 0 : 10));
        }
        out.push_back(Image("501", {emblem}));
    }
    {
        Canvas install(16, 16);
        Fill(install, Polygon({{8, 14}, {2.5f, 7.5f}, {6, 7.5f}, {6, 1.5f}, {10, 1.5f}, {10, 7.5f}, {13.5f, 7.5f}}), kPlate);
        Fill(install, Polygon({{8, 12.5f}, {4.2f, 8.5f}, {7, 8.5f}, {7, 2.5f}, {9, 2.5f}, {9, 8.5f}, {11.8f, 8.5f}}), kGold);
        out.push_back(Image("502", {install}));
        Canvas rescan(16, 16);
        Fill(rescan, Difference(Outline(Circle(8, 8, 5.2f), 2.6f), Polygon({{8, 8}, {16, 0}, {16, 8}})), kPlate);
        Fill(rescan, Polygon({{15, 2.5f}, {15, 9}, {8.5f, 9}}), kGoldDeep);
        out.push_back(Image("503", {rescan}));
        out.push_back(Image("500", {Tile(32, 32, kBlue, 2)}));
    }
    return out;
}
