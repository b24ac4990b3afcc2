// Drawing: the clipping rule on every path, opaque runs, blending at every destination
// depth, tiling, and pictures of a composed scene.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "cea_palette.h"
#include "engine_test_util.h"

namespace {

constexpr DWORD kKey = 0x0000FF; // blue, as 0x00RRGGBB

DWORD Pattern(int x, int y)
{
    return DWORD(x * 16 + 5) << 16 | DWORD(y * 16 + 9) << 8 | DWORD(200 + x + y);
}

void Fill(Graphic& g, DWORD (*value)(int, int))
{
    for (int y = 0; y < g.GetHeight(); ++y) {
        for (int x = 0; x < g.GetWidth(); ++x)
            g.SetPixelValue(x, y, value(x, y));
    }
}

// What a copy must give: every destination pixel whose source pixel exists takes it.
std::vector<DWORD> Expected(const Graphic& src, const Graphic& dst, int xDst, int yDst, int xSrc, int ySrc, int cx,
                            int cy, bool keyed)
{
    std::vector<DWORD> out;
    if (cx == kToEdge)
        cx = src.GetWidth() - xSrc;
    if (cy == kToEdge)
        cy = src.GetHeight() - ySrc;
    for (int y = 0; y < dst.GetHeight(); ++y) {
        for (int x = 0; x < dst.GetWidth(); ++x) {
            DWORD v = dst.GetPixelValue(x, y);
            const int sx = x - xDst + xSrc, sy = y - yDst + ySrc;
            const bool inside = x >= xDst && x < xDst + cx && y >= yDst && y < yDst + cy && sx >= 0 &&
                                sx < src.GetWidth() && sy >= 0 && sy < src.GetHeight();
            if (inside && !(keyed && src.GetPixelValue(sx, sy) == kKey))
                v = src.GetPixelValue(sx, sy);
            out.push_back(v);
        }
    }
    return out;
}

std::vector<DWORD> Values(const Graphic& g)
{
    std::vector<DWORD> out;
    for (int y = 0; y < g.GetHeight(); ++y) {
        for (int x = 0; x < g.GetWidth(); ++x)
            out.push_back(g.GetPixelValue(x, y));
    }
    return out;
}

using Placement = std::tuple<int, int, int, int, int, int>;

class Clipping : public testing::TestWithParam<std::tuple<Placement, bool>> {};

// Opaque sources take the row copy, keyed ones the opaque runs: both keep to the rule.
TEST_P(Clipping, CopiesKeepToBothBitmaps)
{
    const auto [placement, keyed] = GetParam();
    const auto [xDst, yDst, xSrc, ySrc, cx, cy] = placement;
    Graphic src(10, 10, 24);
    Fill(src, Pattern);
    for (int x = 0; x < 10; x += 3)
        src.SetPixelValue(x, x, kKey);
    if (keyed)
        src.SetTransparency(RGB(0, 0, 255));
    Graphic dst(12, 9, 24);
    Fill(dst, [](int x, int y) { return DWORD(x + y * 12); });
    const std::vector<DWORD> expected = Expected(src, dst, xDst, yDst, xSrc, ySrc, cx, cy, keyed);
    src.DrawTo(&dst, xDst, yDst, xSrc, ySrc, cx, cy);
    EXPECT_EQ(Values(dst), expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryEdge, Clipping,
    testing::Combine(testing::Values(Placement{-3, 0, 0, 0, 10, 10}, Placement{0, -4, 0, 0, 10, 10},
                                     Placement{5, 4, 0, 0, 10, 10}, Placement{2, 1, -2, -3, 10, 10},
                                     Placement{1, 1, 4, 6, kToEdge, kToEdge}, Placement{-2, -2, -2, -2, 20, 20},
                                     Placement{11, 8, 0, 0, 5, 5}, Placement{12, 0, 0, 0, 5, 5},
                                     Placement{0, 0, 10, 0, 5, 5}, Placement{3, 3, 2, 2, -1, 4},
                                     Placement{0, 0, 0, 0, 0, 3}),
                     testing::Bool()));

TEST(Drawing, NegativeDestinationCopiesTheRightColumns)
{
    Graphic src(10, 10, 24);
    Fill(src, Pattern);
    Graphic dst(10, 10, 24);
    src.DrawTo(&dst, -3, 0);
    EXPECT_EQ(dst.GetPixelValue(0, 4), Pattern(3, 4));
    EXPECT_EQ(dst.GetPixelValue(6, 9), Pattern(9, 9));
    EXPECT_EQ(dst.GetPixelValue(7, 0), 0u);
}

TEST(Drawing, AChildDestinationIsClippedToItsOwnSize)
{
    Graphic src(10, 10, 24);
    Fill(src, Pattern);
    Graphic dst(10, 10, 24);
    const RECT rect = {2, 3, 6, 5};
    Graphic view(&dst, &rect);
    src.DrawTo(&view, 1, 0);
    EXPECT_EQ(dst.GetPixelValue(3, 3), Pattern(0, 0));
    EXPECT_EQ(dst.GetPixelValue(5, 4), Pattern(2, 1));
    EXPECT_EQ(dst.GetPixelValue(6, 4), 0u);
    EXPECT_EQ(dst.GetPixelValue(3, 5), 0u);
}

TEST(Drawing, AChildSourceDrawsItsOwnRectangle)
{
    Graphic sheet(10, 10, 24);
    Fill(sheet, Pattern);
    const RECT rect = {4, 4, 7, 6};
    Graphic cell(&sheet, &rect);
    Graphic dst(5, 5, 24);
    cell.DrawTo(&dst, 0, 0);
    EXPECT_EQ(dst.GetPixelValue(0, 0), Pattern(4, 4));
    EXPECT_EQ(dst.GetPixelValue(2, 1), Pattern(6, 5));
    EXPECT_EQ(dst.GetPixelValue(3, 1), 0u);
    EXPECT_EQ(dst.GetPixelValue(0, 2), 0u);
}

TEST(DrawingRuns, AKeyRowHasNoRunsAndANewKeyRebuildsThem)
{
    Graphic src(6, 3, 24);
    Fill(src, [](int x, int y) { return y == 1 || x == 2 ? kKey : DWORD(0x00FF00); });
    src.SetTransparency(RGB(0, 0, 255));
    Graphic dst(6, 3, 24);
    src.DrawTo(&dst, 0, 0);
    const Graphic::NOTCHILD& n = src.m.NotChild;
    ASSERT_EQ(n.cRowRuns, 3);
    EXPECT_EQ(n.rowRuns[1].iFirst, 0xFFFFFFFFu);
    EXPECT_EQ(n.rowRuns[0].cRuns, 2u);
    EXPECT_EQ(n.runs[1].x, 3u);
    EXPECT_EQ(dst.GetPixelValue(0, 1), 0u);
    EXPECT_EQ(dst.GetPixelValue(2, 0), 0u);

    src.SetTransparency(RGB(0, 255, 0));
    src.DrawTo(&dst, 0, 0);
    EXPECT_EQ(n.runsKey, RGB(0, 255, 0));
    EXPECT_EQ(n.rowRuns[1].cRuns, 1u);
    EXPECT_EQ(dst.GetPixelValue(0, 1), kKey);
    EXPECT_EQ(dst.GetPixelValue(2, 0), kKey);
    dst.SetPixelValue(0, 0, 0);
    src.DrawTo(&dst, 0, 0);
    EXPECT_EQ(dst.GetPixelValue(0, 0), 0u);
}

TEST(DrawingDepths, DifferentDepthsGoThroughThePlatformAndKeepTheKey)
{
    RGBQUAD palette[256] = {};
    palette[1] = {0, 0, 255, 0};   // red
    palette[2] = {255, 0, 0, 0};   // blue, the key
    Graphic src(4, 1, 8, palette);
    src.SetPixelValue(0, 0, 1);
    src.SetPixelValue(1, 0, 2);
    src.SetTransparency(RGB(0, 0, 255));
    Graphic dst(4, 1, 24);
    Fill(dst, [](int, int) { return DWORD(0x123456); });
    src.DrawTo(&dst, 0, 0);
    EXPECT_EQ(dst.GetPixelColor(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(dst.GetPixelValue(1, 0), 0x123456u);
    EXPECT_EQ(dst.GetPixelValue(2, 0), 0u);
}

// Blending: one source pixel of colour (0, 0, 0) at the given opacity over a destination of
// (200, 200, 200), read back as a colour.
COLORREF BlendOnce(Graphic& dst, BYTE opacity, COLORREF source = RGB(0, 0, 0))
{
    Graphic src(1, 1, 24);
    src.SetPixelColor(0, 0, source);
    src.SetTranslucency(kUniformOpacity, opacity);
    dst.SetPixelColor(0, 0, RGB(200, 200, 200));
    src.DrawTo(&dst, 0, 0);
    return dst.GetPixelColor(0, 0);
}

TEST(DrawingBlend, EveryDirectDepth)
{
    for (int bitCount : {24, 32}) {
        Graphic dst(1, 1, bitCount);
        EXPECT_EQ(BlendOnce(dst, 128), RGB(100, 100, 100)) << bitCount;
        EXPECT_EQ(BlendOnce(dst, 255, RGB(1, 2, 3)), RGB(1, 2, 3)) << bitCount;
        EXPECT_EQ(BlendOnce(dst, 0, RGB(1, 2, 3)), RGB(200, 200, 200)) << bitCount;
        // Rising channels round down too.
        EXPECT_EQ(BlendOnce(dst, 64, RGB(255, 255, 255)), RGB(213, 213, 213)) << bitCount;
    }
    {
        DisplayAs display(16, true);
        Graphic dst(1, 1, 16);
        // 200 is 25 in five bits: 25 + floor(-25 * 128 / 256) = 12.
        EXPECT_EQ(BlendOnce(dst, 128), RGB(96, 96, 96));
        EXPECT_EQ(BlendOnce(dst, 255, RGB(255, 255, 255)), RGB(248, 248, 248));
    }
    DisplayAs display(16, false);
    Graphic dst(1, 1, 16);
    // Green has six bits: 50 + floor(-50 * 128 / 256) = 25.
    EXPECT_EQ(BlendOnce(dst, 128), RGB(96, 100, 96));
}

TEST(DrawingBlend, ThirtyTwoBitDestinationsKeepTheirFourthByte)
{
    Graphic dst(1, 1, 32);
    dst.SetPixelValue(0, 0, 0xAB000000u | 0xC8C8C8);
    Graphic src(1, 1, 24);
    src.SetTranslucency(kUniformOpacity, 128);
    src.DrawTo(&dst, 0, 0);
    EXPECT_EQ(dst.GetPixelValue(0, 0), 0xAB646464u);
}

TEST(DrawingBlend, PerPixelOpacityFollowsTheMap)
{
    Graphic src(3, 1, 24);
    Fill(src, [](int, int) { return DWORD(0); });
    ASSERT_TRUE(src.SetTranslucency(kOpacityMap, 0));
    src.GetTranslucency()->opacity[1] = 128;
    src.GetTranslucency()->opacity[2] = 255;
    Graphic dst(3, 1, 24);
    Fill(dst, [](int, int) { return DWORD(0xC8C8C8); });
    src.DrawTo(&dst, 0, 0);
    EXPECT_EQ(dst.GetPixelValue(0, 0), 0xC8C8C8u);
    EXPECT_EQ(dst.GetPixelValue(1, 0), 0x646464u);
    EXPECT_EQ(dst.GetPixelValue(2, 0), 0u);
}

TEST(DrawingBlend, PalettisedDestinationsNeedAGroup)
{
    DisplayAs display(8, false);
    RGBQUAD grey[256] = {};
    grey[7] = {200, 200, 200, 0};
    {
        Graphic lone(1, 1, 8, grey);
        lone.SetPixelValue(0, 0, 7);
        Graphic src(1, 1, 24);
        src.SetTranslucency(kUniformOpacity, 255);
        src.DrawTo(&lone, 0, 0);
        EXPECT_EQ(lone.GetPixelValue(0, 0), 7u);
    }
    // With the colour cube the blended colour picks its cube cell.
    PaletteGroup cube;
    cube.Open();
    cube.Add(kColorCubeMarker, 0);
    cube.Close();
    Graphic inCube(1, 1, 8, &cube);
    EXPECT_EQ(BlendOnce(inCube, 255, RGB(255, 0, 0)), RGB(255, 0, 0));
    // Without it, through the nearest-colour table.
    PaletteGroup plain;
    plain.Open();
    plain.Add(RGB(200, 200, 200));
    plain.Add(RGB(100, 100, 100));
    plain.Add(RGB(0, 160, 0));
    plain.Close();
    ASSERT_TRUE(plain.BuildNearestTable());
    Graphic inPlain(1, 1, 8, &plain);
    EXPECT_EQ(BlendOnce(inPlain, 128), RGB(100, 100, 100));
    EXPECT_EQ(BlendOnce(inPlain, 255, RGB(0, 150, 10)), RGB(0, 160, 0));
}

TEST(Tiling, TilesStartAtThePhaseAndAreCutAtTheEdges)
{
    Graphic tile(16, 16, 24);
    Fill(tile, [](int x, int y) { return DWORD(x == 0 && y == 0 ? 0xFF0000 : 0x000100 * DWORD(x + 1)); });
    Graphic dst(48, 24, 24);
    tile.TileTo(&dst, 0, 0, 40, 20, 0, 0, 16, 16, 0, 0);
    for (int x : {0, 16, 32})
        for (int y : {0, 16})
            EXPECT_EQ(dst.GetPixelValue(x, y), 0xFF0000u) << x << "," << y;
    EXPECT_EQ(dst.GetPixelValue(39, 19), 0x000800u);
    EXPECT_EQ(dst.GetPixelValue(40, 0), 0u);
    EXPECT_EQ(dst.GetPixelValue(0, 20), 0u);

    Graphic phased(20, 20, 24);
    tile.TileTo(&phased, 0, 0, kToEdge, kToEdge, 0, 0, 16, 16, 4, 20);
    EXPECT_EQ(phased.GetPixelValue(12, 12), 0xFF0000u);
    EXPECT_EQ(phased.GetPixelValue(0, 0), 0x000500u);
}

TEST(Stretching, DoublingThroughThePlatform)
{
    Graphic src(2, 1, 24);
    src.SetPixelValue(0, 0, 0xFF0000);
    src.SetPixelValue(1, 0, 0x00FF00);
    Graphic dst(4, 2, 24);
    src.StretchTo(&dst, 0, 0, 4, 2, 0, 0, 2, 1);
    EXPECT_EQ(dst.GetPixelValue(1, 1), 0xFF0000u);
    EXPECT_EQ(dst.GetPixelValue(2, 0), 0x00FF00u);
}

// A scene of every path: a gradient background, keyed sprites, a translucent disc and tiles.
void ComposeScene(Graphic& frame, PaletteGroup* group)
{
    Graphic background(160, 100, 24);
    Fill(background, [](int x, int y) { return DWORD(x * 255 / 160) << 16 | DWORD(y * 255 / 100) << 8 | 0x60; });
    Graphic sprite(30, 30, 24);
    Fill(sprite, [](int x, int y) {
        const int dx = x - 15, dy = y - 15;
        return dx * dx + dy * dy < 196 ? DWORD((x / 5 + y / 5) % 2 ? 0xFFFF00 : 0x800080) : kKey;
    });
    sprite.SetTransparency(RGB(0, 0, 255));
    Graphic disc(50, 50, 24);
    Fill(disc, [](int, int) { return DWORD(0xFFFFFF); });
    disc.SetTranslucency(kOpacityMap, 0);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 50; ++x) {
            const double d = std::hypot(x - 24.5, y - 24.5);
            disc.GetTranslucency()->opacity[y * disc.GetTranslucency()->cbStride + x] = BYTE(d < 24 ? 255 - d * 10 : 0);
        }
    }
    Graphic tile(8, 8, 24);
    Fill(tile, [](int x, int y) { return DWORD((x + y) % 8 < 4 ? 0x202020 : 0xE0E0E0); });

    Graphic scene(160, 100, 24);
    background.DrawTo(&scene, 0, 0);
    tile.TileTo(&scene, 0, 80, kToEdge, kToEdge, 0, 0, 8, 8, 3, 0);
    sprite.DrawTo(&scene, 10, 10);
    sprite.DrawTo(&scene, -12, 60);
    sprite.DrawTo(&scene, 140, 40);
    disc.DrawTo(&scene, 60, 20);
    // The frame at its own depth: the same picture, converted by the platform.
    scene.DrawTo(&frame, 0, 0);
    if (group)
        disc.DrawTo(&frame, 100, 50);
}

TEST(Pictures, SceneAtEveryDepth)
{
    {
        Graphic frame(160, 100, 24);
        ComposeScene(frame, nullptr);
        WritePicture(frame, "engine-scene-24");
        EXPECT_EQ(frame.GetPixelValue(25, 25), 0x800080u);
        EXPECT_EQ(frame.GetPixelValue(20, 25), 0xFFFF00u);
    }
    {
        DisplayAs display(16, false);
        Graphic frame(160, 100, 16);
        ComposeScene(frame, nullptr);
        WritePicture(frame, "engine-scene-16");
    }
    DisplayAs display(8, false);
    PaletteGroup cube;
    cube.Open();
    cube.Add(kColorCubeMarker, 0);
    cube.Close();
    Graphic frame(160, 100, 8, &cube);
    ComposeScene(frame, &cube);
    WritePicture(frame, "engine-scene-8");
}

} // namespace
