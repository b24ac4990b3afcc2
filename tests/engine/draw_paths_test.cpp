// The drawing fast paths against plain per-pixel references over random pictures: copies of
// opaque runs and rows at every depth, blends from every source depth onto every direct
// destination, all under random clipping.
#include "engine_test_util.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int kWidth = 29, kHeight = 13;

struct Clip {
    int xDst, yDst, xSrc, ySrc, cx, cy;
};

// A destination value from its old value and the source point that lands on it.
using Rule = std::function<DWORD(DWORD, int, int)>;

// Over whole pictures, both sizes to the edge, then random rectangles reaching past every side:
// a random source (with its own palette) and destination, the source made ready by prepare,
// drawn and compared with the per-pixel reference of the rule prepare gives.
void ExpectEveryClipDrawn(std::mt19937& rng, int srcBits, int dstBits, SIZE dstSize, const std::function<Rule(Graphic&)>& prepare)
{
    std::vector<Clip> clips = {{0, 0, 0, 0, kToEdge, kToEdge}, {-3, 2, 4, -1, kToEdge, kToEdge}};
    auto pick = [&](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    for (int i = 0; i < 10; ++i)
        clips.push_back(
            {pick(-10, kWidth), pick(-5, kHeight), pick(-10, kWidth), pick(-5, kHeight), pick(-2, kWidth + 4), pick(-2, kHeight + 4)});
    for (const Clip& c : clips) {
        std::vector<RGBQUAD> palette(256);
        for (RGBQUAD& q : palette)
            q = {BYTE(rng()), BYTE(rng()), BYTE(rng()), 0};
        Graphic src(kWidth, kHeight, srcBits, palette.data());
        Graphic dst(dstSize.cx, dstSize.cy, dstBits, palette.data());
        Fill(src, [&](int, int) { return rng(); });
        Fill(dst, [&](int, int) { return rng(); });
        const Rule rule = prepare(src);
        const int64_t cx = c.cx == kToEdge ? int64_t(kWidth) - c.xSrc : c.cx;
        const int64_t cy = c.cy == kToEdge ? int64_t(kHeight) - c.ySrc : c.cy;
        std::vector<DWORD> expected = Values(dst);
        for (size_t i = 0; i < expected.size(); ++i) {
            const int x = int(i) % dst.GetWidth(), y = int(i) / dst.GetWidth(), sx = x - c.xDst + c.xSrc, sy = y - c.yDst + c.ySrc;
            if (x >= c.xDst && x < c.xDst + cx && y >= c.yDst && y < c.yDst + cy && sx >= 0 && sx < kWidth && sy >= 0 && sy < kHeight)
                expected[i] = rule(expected[i], sx, sy);
        }
        src.DrawTo(&dst, c.xDst, c.yDst, c.xSrc, c.ySrc, c.cx, c.cy);
        EXPECT_EQ(Values(dst), expected) << "at " << c.xDst << "," << c.yDst << " from " << c.xSrc << "," << c.ySrc << " size " << c.cx
                                         << "x" << c.cy;
    }
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

TEST(DrawPaths, KeyedAndOpaqueCopiesMatchAPixelByPixelCopy)
{
    std::mt19937 rng(7);
    for (int bitCount : {8, 16, 24, 32}) {
        for (bool keyed : {false, true}) {
            SCOPED_TRACE(std::to_string(bitCount) + (keyed ? " keyed" : " opaque"));
            ExpectEveryClipDrawn(rng, bitCount, bitCount, {kWidth + 3, kHeight - 2}, [&](Graphic& src) -> Rule {
                const DWORD key = src.ColorToValue(src.GetPixelColor(3, 3));
                // Key pixels in stretches of every length, whole rows among them.
                Fill(src, [&](int x, int y) { return y == 4 || (x * 7 + y * 3) % 11 < int(rng() % 6) ? key : src.GetPixelValue(x, y); });
                if (keyed)
                    src.SetTransparency(src.ValueToColor(key));
                return [&src, key, keyed](DWORD d, int sx, int sy) {
                    const DWORD v = src.GetPixelValue(sx, sy);
                    return keyed && v == key ? d : v;
                };
            });
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
                SCOPED_TRACE(std::to_string(srcBits) + " onto " + std::to_string(dstBits) + (f555 ? " 555" : " 565"));
                ExpectEveryClipDrawn(rng, srcBits, dstBits, {kWidth - 4, kHeight + 2}, [&](Graphic& src) -> Rule {
                    const bool map = rng() % 2;
                    EXPECT_TRUE(src.SetTranslucency(map ? kOpacityMap : kUniformOpacity, BYTE(rng())));
                    const TRANSLUCENCY* t = src.GetTranslucency();
                    // Random opacities with the two special values well represented.
                    for (int i = 0; map && i < kWidth * kHeight; ++i) {
                        const unsigned pick = rng() % 4;
                        t->opacity[size_t(i / kWidth) * t->cbStride + size_t(i % kWidth)] = pick == 0 ? 0 : pick == 1 ? 255 : BYTE(rng());
                    }
                    return [&src, t, map, dstBits, f555](DWORD d, int sx, int sy) {
                        const int a = map ? t->opacity[size_t(sy) * t->cbStride + size_t(sx)] : t->defaultOpacity;
                        return a == 0 ? d : Blended(d, src.GetPixelColor(sx, sy), a == 255 ? 256 : a, dstBits, f555);
                    };
                });
            }
        }
    }
}

} // namespace
