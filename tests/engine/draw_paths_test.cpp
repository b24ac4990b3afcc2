// The drawing fast paths against plain per-pixel references over random pictures: copies of
// opaque runs and rows at every depth, blends from every source depth onto every direct
// destination, all under random clipping.
#include "engine_test_util.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 29, kHeight = 13;

struct Clip {
    int xDst, yDst, xSrc, ySrc, cx, cy;
};

// Whole pictures, both sizes to the edge, then random rectangles reaching past every side.
std::vector<Clip> Clips(std::mt19937& rng)
{
    std::vector<Clip> clips = {{0, 0, 0, 0, kToEdge, kToEdge}, {-3, 2, 4, -1, kToEdge, kToEdge}};
    auto pick = [&](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    for (int i = 0; i < 10; ++i)
        clips.push_back(
            {pick(-10, kWidth), pick(-5, kHeight), pick(-10, kWidth), pick(-5, kHeight), pick(-2, kWidth + 4), pick(-2, kHeight + 4)});
    return clips;
}

RGBQUAD RandomQuad(std::mt19937& rng)
{
    return {BYTE(rng()), BYTE(rng()), BYTE(rng()), 0};
}

std::vector<RGBQUAD> Palette(std::mt19937& rng)
{
    std::vector<RGBQUAD> palette(256);
    for (RGBQUAD& q : palette)
        q = RandomQuad(rng);
    return palette;
}

void Scatter(Graphic& g, std::mt19937& rng)
{
    for (int y = 0; y < g.GetHeight(); ++y)
        for (int x = 0; x < g.GetWidth(); ++x)
            g.SetPixelValue(x, y, DWORD(rng()));
}

std::vector<DWORD> Values(const Graphic& g)
{
    std::vector<DWORD> out;
    for (int y = 0; y < g.GetHeight(); ++y)
        for (int x = 0; x < g.GetWidth(); ++x)
            out.push_back(g.GetPixelValue(x, y));
    return out;
}

// Draws src onto dst with the clip and compares with the per-pixel reference: every destination
// pixel the clipped copy covers becomes rule(its value, source x, source y).
template<class Rule> void ExpectDrawn(Graphic& src, Graphic& dst, const Clip& c, Rule rule, const std::string& what)
{
    const int64_t cx = c.cx == kToEdge ? int64_t(src.GetWidth()) - c.xSrc : c.cx;
    const int64_t cy = c.cy == kToEdge ? int64_t(src.GetHeight()) - c.ySrc : c.cy;
    std::vector<DWORD> expected = Values(dst);
    for (int y = 0; y < dst.GetHeight(); ++y) {
        for (int x = 0; x < dst.GetWidth(); ++x) {
            const int sx = x - c.xDst + c.xSrc, sy = y - c.yDst + c.ySrc;
            if (x >= c.xDst && x < c.xDst + cx && y >= c.yDst && y < c.yDst + cy && sx >= 0 && sx < src.GetWidth() && sy >= 0
                && sy < src.GetHeight())
                expected[size_t(y) * dst.GetWidth() + x] = rule(expected[size_t(y) * dst.GetWidth() + x], sx, sy);
        }
    }
    src.DrawTo(&dst, c.xDst, c.yDst, c.xSrc, c.ySrc, c.cx, c.cy);
    EXPECT_EQ(Values(dst), expected) << what << " at " << c.xDst << "," << c.yDst << " from " << c.xSrc << "," << c.ySrc << " size " << c.cx
                                     << "x" << c.cy;
}

// d + floor((s - d) * a / 256), as a plain division.
int Mix(int d, int s, int a)
{
    return d + int(std::floor((s - d) * a / 256.0));
}

// One blended destination pixel, from the source colour (0x00BBGGRR) and the opacity.
DWORD Blended(DWORD d, COLORREF s, int a, int bitCount, bool f555)
{
    const int r = GetRValue(s), g = GetGValue(s), b = GetBValue(s);
    if (bitCount == 16 && f555)
        return DWORD(Mix(d >> 10 & 31, r >> 3, a) << 10 | Mix(d >> 5 & 31, g >> 3, a) << 5 | Mix(d & 31, b >> 3, a));
    if (bitCount == 16)
        return DWORD(Mix(d >> 11 & 31, r >> 3, a) << 11 | Mix(d >> 5 & 63, g >> 2, a) << 5 | Mix(d & 31, b >> 3, a));
    return (d & 0xFF000000) | DWORD(Mix(d >> 16 & 255, r, a)) << 16 | DWORD(Mix(d >> 8 & 255, g, a)) << 8 | DWORD(Mix(d & 255, b, a));
}

} // namespace

TEST(DrawPaths, KeyedAndOpaqueCopiesMatchAPixelByPixelCopy)
{
    std::mt19937 rng(7);
    for (int bitCount : {8, 16, 24, 32}) {
        for (bool keyed : {false, true}) {
            for (const Clip& c : Clips(rng)) {
                const std::vector<RGBQUAD> palette = Palette(rng);
                Graphic src(kWidth, kHeight, bitCount, palette.data());
                Graphic dst(kWidth + 3, kHeight - 2, bitCount, palette.data());
                Scatter(src, rng);
                Scatter(dst, rng);
                const COLORREF key = RGB(palette[9].rgbRed, palette[9].rgbGreen, palette[9].rgbBlue);
                const DWORD keyValue = src.ColorToValue(key);
                // Key pixels in stretches of every length, whole rows among them.
                for (int y = 0; y < kHeight; ++y)
                    for (int x = 0; x < kWidth; ++x)
                        if (y == 4 || (x * 7 + y * 3) % 11 < int(rng() % 6))
                            src.SetPixelValue(x, y, keyValue);
                if (keyed)
                    src.SetTransparency(key);
                ExpectDrawn(
                    src, dst, c,
                    [&](DWORD d, int sx, int sy) {
                        const DWORD v = src.GetPixelValue(sx, sy);
                        return keyed && v == keyValue ? d : v;
                    },
                    std::to_string(bitCount) + (keyed ? " keyed" : " opaque"));
            }
        }
    }
}

TEST(DrawPaths, BlendsMatchTheChannelFormula)
{
    std::mt19937 rng(11);
    for (bool f555 : {true, false}) {
        DisplayAs display(24, f555);
        for (int srcBits : {8, 16, 24, 32}) {
            for (int dstBits : {16, 24, 32}) {
                for (const Clip& c : Clips(rng)) {
                    const std::vector<RGBQUAD> palette = Palette(rng);
                    Graphic src(kWidth, kHeight, srcBits, palette.data());
                    Graphic dst(kWidth - 4, kHeight + 2, dstBits);
                    Scatter(src, rng);
                    Scatter(dst, rng);
                    const bool map = rng() % 2;
                    ASSERT_TRUE(src.SetTranslucency(map ? kOpacityMap : kUniformOpacity, BYTE(rng())));
                    const TRANSLUCENCY* t = src.GetTranslucency();
                    // Random opacities with the two special values well represented.
                    for (int i = 0; map && i < kWidth * kHeight; ++i) {
                        const unsigned pick = rng() % 4;
                        t->opacity[size_t(i / kWidth) * t->cbStride + size_t(i % kWidth)] = pick == 0 ? 0 : pick == 1 ? 255 : BYTE(rng());
                    }
                    ExpectDrawn(
                        src, dst, c,
                        [&](DWORD d, int sx, int sy) {
                            const int a = map ? t->opacity[size_t(sy) * t->cbStride + size_t(sx)] : t->defaultOpacity;
                            return a == 0 ? d : Blended(d, src.GetPixelColor(sx, sy), a == 255 ? 256 : a, dstBits, f555);
                        },
                        std::to_string(srcBits) + " onto " + std::to_string(dstBits) + (f555 ? " 555" : " 565")
                            + (map ? " map" : " uniform"));
                }
            }
        }
    }
}
