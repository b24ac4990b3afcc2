// PaletteGroup: merging, pinned colours, the cube, the nearest-colour table and the reports.
#include <gtest/gtest.h>

#include "cea_palette.h"
#include "cea_sprite.h"
#include "engine_test_util.h"

namespace {

// An 8-bit graphic whose pixels are index i at x = i, with the given colours there.
struct Indexed {
    explicit Indexed(const std::vector<COLORREF>& colors) : graphic(int(colors.size()), 1, 8, Table(colors))
    {
        for (size_t i = 0; i < colors.size(); ++i)
            graphic.SetPixelValue(int(i), 0, DWORD(i));
    }
    static const RGBQUAD* Table(const std::vector<COLORREF>& colors)
    {
        static RGBQUAD table[256];
        std::fill(std::begin(table), std::end(table), RGBQUAD{0, 0, 0, 0});
        for (size_t i = 0; i < colors.size(); ++i)
            table[i] = {BYTE(colors[i] >> 16), BYTE(colors[i] >> 8), BYTE(colors[i]), 0};
        return table;
    }
    Graphic graphic;
};

class PaletteGroups : public testing::Test {
protected:
    DisplayAs display{8, false};
};

TEST_F(PaletteGroups, ANewGroupHoldsBlackAndWhite)
{
    PaletteGroup group;
    EXPECT_EQ(group.GetPaletteColor(0), RGB(0, 0, 0));
    EXPECT_EQ(group.GetPaletteColor(255), RGB(255, 255, 255));
    EXPECT_EQ(group.FindColor(RGB(255, 255, 255)), 255u);
    EXPECT_EQ(group.FindColor(RGB(1, 1, 1)), kNoColor);
}

TEST_F(PaletteGroups, ASharedColourGetsOneEntryAndBothGraphicsPointToIt)
{
    const COLORREF orange = RGB(250, 120, 10);
    Indexed a({RGB(0, 0, 0), RGB(9, 9, 9), orange});
    Indexed b({orange, RGB(20, 200, 20)});
    PaletteGroup group;
    ASSERT_TRUE(group.Open());
    group.Add(&a.graphic);
    group.Add(&b.graphic);
    group.Close();
    const DWORD index = group.FindColor(orange);
    ASSERT_NE(index, kNoColor);
    EXPECT_EQ(a.graphic.GetPixelValue(2, 0), index);
    EXPECT_EQ(b.graphic.GetPixelValue(0, 0), index);
    EXPECT_EQ(a.graphic.GetPixelColor(2, 0), orange);
    EXPECT_EQ(b.graphic.GetPixelColor(1, 0), RGB(20, 200, 20));
    EXPECT_EQ(a.graphic.GetPixelValue(0, 0), 0u);
    int cOrange = 0;
    for (DWORD i = 0; i < 256; ++i)
        cOrange += group.GetPaletteColor(i) == orange;
    EXPECT_EQ(cOrange, 1);
}

TEST_F(PaletteGroups, KeptIndicesStayButTakeTheMergedPalette)
{
    Indexed a({RGB(0, 0, 0), RGB(50, 60, 70)});
    PaletteGroup group;
    group.Open();
    group.Add(RGB(1, 2, 3));
    group.Add(&a.graphic, true);
    group.Close();
    EXPECT_EQ(a.graphic.GetPixelValue(1, 0), 1u);
    EXPECT_EQ(a.graphic.GetPixelColor(1, 0), RGB(1, 2, 3));
}

TEST_F(PaletteGroups, TheTransparentColourIsPlacedFirst)
{
    Indexed a({RGB(0, 0, 0), RGB(7, 7, 7), RGB(0, 0, 255)});
    a.graphic.SetTransparency(RGB(0, 0, 255));
    PaletteGroup group;
    group.Open();
    group.Add(&a.graphic);
    group.Close();
    EXPECT_EQ(a.graphic.GetPixelValue(2, 0), 1u);
    EXPECT_EQ(a.graphic.GetPixelValue(1, 0), 2u);
}

TEST_F(PaletteGroups, ClosedGroupsReportAndChangeNothing)
{
    TraceCapture trace;
    PaletteGroup group;
    group.Add(RGB(10, 20, 30));
    EXPECT_TRUE(trace.Contains("Add (Color) called for closed PaletteGroup " + AddressText(&group)));
    EXPECT_EQ(group.FindColor(RGB(10, 20, 30)), kNoColor);
    group.AddSpecific(5, RGB(1, 1, 1));
    EXPECT_TRUE(trace.Contains("AddSpecific (5) called for closed PaletteGroup " + AddressText(&group)));
    group.Open();
    group.Add(RGB(10, 20, 30));
    EXPECT_EQ(group.FindColor(RGB(10, 20, 30)), kNoColor);
    group.Close();
    EXPECT_EQ(group.FindColor(RGB(10, 20, 30)), 1u);
    group.Open();
    group.Remove(RGB(10, 20, 30));
    group.AddSpecific(7, RGB(5, 5, 5));
    group.Close();
    EXPECT_EQ(group.FindColor(RGB(10, 20, 30)), kNoColor);
    EXPECT_EQ(group.GetPaletteColor(7), RGB(5, 5, 5));
}

TEST_F(PaletteGroups, ASpriteJoinsThroughItsFramesAndAChildThroughItsParent)
{
    const COLORREF orange = RGB(250, 120, 10);
    Indexed sheet({RGB(0, 0, 0), orange, RGB(9, 9, 9), RGB(20, 200, 20)});
    Sprite sprite(&sheet.graphic, 2, 1, kAllFrames);
    Sprite child(&sprite, RECT{1, 0, 2, 1});
    PaletteGroup group;
    TraceCapture trace;
    group.Add(&sprite);
    EXPECT_TRUE(trace.Contains("Add (Sprite " + AddressText(&sprite) + ") called for closed PaletteGroup " +
                               AddressText(&group)));
    EXPECT_EQ(sheet.graphic.GetPaletteGroup(), nullptr);
    group.Open();
    group.Add(&child);
    group.Close();
    EXPECT_EQ(sheet.graphic.GetPaletteGroup(), &group);
    EXPECT_EQ(sheet.graphic.GetPixelValue(1, 0), group.FindColor(orange));
    group.Open();
    group.Remove(&sprite);
    group.Close();
    EXPECT_EQ(sheet.graphic.GetPaletteGroup(), nullptr);
}

TEST_F(PaletteGroups, OpeningFailsWhileAMemberHoldsItsDeviceContext)
{
    Indexed a({RGB(0, 0, 0)});
    PaletteGroup group;
    group.Open();
    group.Add(&a.graphic);
    group.Close();
    TraceCapture trace;
    a.graphic.GetDC();
    EXPECT_FALSE(group.Open());
    EXPECT_EQ(group.openCount, 0u);
    EXPECT_TRUE(trace.Contains("PaletteGroup " + AddressText(&group) + " could not be opened because of graphic " +
                               AddressText(&a.graphic)));
    a.graphic.ReleaseDC();
    EXPECT_TRUE(group.Open());
    group.Close();
}

TEST_F(PaletteGroups, RunningOutOfColoursIsReportedOnceAndKeepsPixels)
{
    TraceCapture trace;
    std::vector<COLORREF> many;
    for (int i = 0; i < 256; ++i)
        many.push_back(RGB(i, 255 - i, 77));
    Indexed a(many);
    Indexed b(many);
    for (Indexed* member : {&a, &b}) {
        PaletteGroup group;
        group.Open();
        group.Add(&member->graphic);
        group.Close();
    }
    int cReports = 0;
    for (const std::string& line : trace.Lines())
        cReports += line == "Out of colors when merging graphic into palette";
    EXPECT_EQ(cReports, 1);
    // 254 colours found a place; the last ones kept their values.
    EXPECT_EQ(a.graphic.GetPixelValue(255, 0), 255u);
}

TEST_F(PaletteGroups, TheCubePinsEveryEntry)
{
    EXPECT_EQ(ColorCubeIndex(0), 0);
    EXPECT_EQ(ColorCubeIndex(64), 1);
    EXPECT_EQ(ColorCubeIndex(254), 15);
    EXPECT_EQ(ColorCubeIndex(1), 16);
    EXPECT_EQ(ColorCubeIndex(255), 255);
    PaletteGroup group;
    group.Open();
    group.Add(kColorCubeMarker, 0);
    group.Close();
    EXPECT_EQ(group.GetPaletteColor(ColorCubeIndex(3 * 64 + 2 * 8 + 5)), RGB(255, 80, 192));
    EXPECT_FALSE(group.BuildNearestTable());
    EXPECT_EQ(group.BlendIndex(130, 41, 250), ColorCubeIndex(2 * 64 + 1 * 8 + 7));
}

TEST_F(PaletteGroups, DestroyingAGroupReleasesItsMembers)
{
    TraceCapture trace;
    Indexed a({RGB(0, 0, 0)});
    {
        PaletteGroup group;
        group.Open();
        group.Add(&a.graphic);
        EXPECT_EQ(a.graphic.GetPaletteGroup(), &group);
        GetDisplay().paletteGroup = &group;
        trace.Lines();
    }
    EXPECT_EQ(a.graphic.GetPaletteGroup(), nullptr);
    EXPECT_EQ(GetDisplay().paletteGroup, nullptr);
    EXPECT_TRUE(trace.Contains("destroyed while open"));
}

TEST(ColorToHSL, GreysAndHuesAroundTheCircle)
{
    const HSL grey = ColorToHSL(100, 100, 100);
    EXPECT_EQ(grey.hue, 170);
    EXPECT_EQ(grey.saturation, 0);
    EXPECT_EQ(grey.lightness, 100);
    EXPECT_EQ(ColorToHSL(4, 4, 4).lightness, 4);
    EXPECT_EQ(ColorToHSL(244, 244, 244).lightness, 244);
    EXPECT_EQ(ColorToHSL(255, 0, 0).hue, 0);
    EXPECT_EQ(ColorToHSL(0, 255, 0).hue, 85);
    EXPECT_EQ(ColorToHSL(0, 0, 255).hue, 170);
    EXPECT_EQ(ColorToHSL(255, 0, 0).saturation, 255);
    // Below zero wraps: -16 becomes 241.
    EXPECT_EQ(ColorToHSL(255, 0, 100).hue, 241);
}

} // namespace
