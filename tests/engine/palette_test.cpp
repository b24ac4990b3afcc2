// PaletteGroup: merging, pinned colours, the cube, the nearest-colour table and the reports.
#include "cea_palette.h"
#include "cea_sprite.h"
#include "engine_test_util.h"

#include <gtest/gtest.h>

namespace {

// An 8-bit graphic whose pixels are index i at x = i, with the given colours there.
struct Indexed {
    explicit Indexed(const std::vector<COLORREF>& colors) : graphic(int(colors.size()), 1, 8, Table(colors))
    {
        Fill(graphic, [](int x, int) { return x; });
    }
    static const RGBQUAD* Table(const std::vector<COLORREF>& colors)
    {
        static RGBQUAD table[256];
        for (size_t i = 0; i < 256; ++i)
            table[i] = i < colors.size() ? RGBQUAD{GetBValue(colors[i]), GetGValue(colors[i]), GetRValue(colors[i]), 0} : RGBQUAD{};
        return table;
    }
    Graphic graphic;
};

// Opens the group, adds the graphics (or colours) and closes it: the merge.
void Merge(PaletteGroup& group, std::initializer_list<Graphic*> members, COLORREF color = kNoColor, bool keepIndices = false)
{
    ASSERT_TRUE(group.Open());
    if (color != kNoColor)
        group.Add(color);
    for (Graphic* g : members)
        group.Add(g, keepIndices);
    group.Close();
}

class PaletteGroups : public testing::Test {
protected:
    DisplayAs display{8, false};
    const COLORREF orange = RGB(250, 120, 10);
};

TEST_F(PaletteGroups, ASharedColourGetsOneEntryAndBothGraphicsPointToIt)
{
    Indexed a({RGB(0, 0, 0), RGB(9, 9, 9), orange});
    Indexed b({orange, RGB(20, 200, 20)});
    PaletteGroup group;
    Merge(group, {&a.graphic, &b.graphic});
    const DWORD index = group.FindColor(orange);
    ASSERT_NE(index, kNoColor);
    EXPECT_EQ(std::tuple(a.graphic.GetPixelValue(2, 0), b.graphic.GetPixelValue(0, 0), a.graphic.GetPixelValue(0, 0)),
              std::tuple(index, index, 0u));
    EXPECT_EQ(std::tuple(a.graphic.GetPixelColor(2, 0), b.graphic.GetPixelColor(1, 0)), std::tuple(orange, RGB(20, 200, 20)));
    int cOrange = 0;
    for (DWORD i = 0; i < 256; ++i)
        cOrange += group.GetPaletteColor(i) == orange;
    // A new group holds black and white at the ends.
    EXPECT_EQ(std::tuple(cOrange, group.FindColor(RGB(255, 255, 255))), std::tuple(1, 255u));
}

TEST_F(PaletteGroups, KeptIndicesStayAndTheKeyIsPlacedFirst)
{
    Indexed kept({RGB(0, 0, 0), RGB(50, 60, 70)});
    PaletteGroup group;
    Merge(group, {&kept.graphic}, RGB(1, 2, 3), true);
    EXPECT_EQ(std::tuple(kept.graphic.GetPixelValue(1, 0), kept.graphic.GetPixelColor(1, 0)), std::tuple(1u, RGB(1, 2, 3)));

    Indexed keyed({RGB(0, 0, 0), RGB(7, 7, 7), RGB(0, 0, 255)});
    keyed.graphic.SetTransparency(RGB(0, 0, 255));
    PaletteGroup second;
    Merge(second, {&keyed.graphic});
    EXPECT_EQ(Values(keyed.graphic), (std::vector<DWORD>{0, 2, 1}));
}

// A closed group refuses changes; an open one finds nothing until its merge.
TEST_F(PaletteGroups, ClosedGroupsChangeNothingAndOpenOnesFindNothing)
{
    PaletteGroup group;
    group.Add(RGB(10, 20, 30));
    group.AddSpecific(5, RGB(1, 1, 1));
    group.Open();
    const DWORD whileOpen = group.FindColor(RGB(255, 255, 255));
    group.Close();
    EXPECT_EQ(std::tuple(whileOpen, group.FindColor(RGB(10, 20, 30)), group.GetPaletteColor(5) == RGB(1, 1, 1)),
              std::tuple(kNoColor, kNoColor, false));
    Merge(group, {}, RGB(10, 20, 30));
    const DWORD added = group.FindColor(RGB(10, 20, 30));
    group.Open();
    group.Remove(RGB(10, 20, 30));
    group.AddSpecific(7, RGB(5, 5, 5));
    group.Close();
    EXPECT_EQ(std::tuple(added, group.FindColor(RGB(10, 20, 30)), group.GetPaletteColor(7)), std::tuple(1u, kNoColor, RGB(5, 5, 5)));
}

// A graphic made for a group takes its palette; a member's open device context keeps the group
// from opening; a graphic destroyed leaves it, and a group destroyed releases its members and
// the display.
TEST_F(PaletteGroups, MembersJoinLeaveAndHoldTheGroupShut)
{
    Indexed a({RGB(0, 0, 0)});
    {
        PaletteGroup group;
        Graphic made(4, 4, 8, &group);
        EXPECT_EQ(std::tuple(made.GetPaletteColor(255), made.GetPaletteGroup()), std::tuple(RGB(255, 255, 255), &group));
        made.Destroy();
        EXPECT_EQ(group.items[2].used, 0u);
        Merge(group, {&a.graphic});
        a.graphic.GetDC();
        EXPECT_TRUE(!group.Open() && group.openCount == 0);
        a.graphic.ReleaseDC();
        EXPECT_TRUE(group.Open() && a.graphic.GetPaletteGroup() == &group);
        GetDisplay().paletteGroup = &group;
    }
    EXPECT_TRUE(!a.graphic.GetPaletteGroup() && !GetDisplay().paletteGroup);
}

TEST_F(PaletteGroups, RunningOutOfColoursKeepsPixels)
{
    std::vector<COLORREF> many;
    for (int i = 0; i < 256; ++i)
        many.push_back(RGB(i, 255 - i, 77));
    Indexed a(many);
    PaletteGroup group;
    Merge(group, {&a.graphic});
    // 254 colours found a place; the last ones kept their values.
    EXPECT_EQ(a.graphic.GetPixelValue(255, 0), 255u);
}

TEST_F(PaletteGroups, TheCubePinsEveryEntry)
{
    for (const auto& [position, index] : {std::pair<DWORD, int>{0, 0}, {64, 1}, {254, 15}, {1, 16}, {255, 255}})
        EXPECT_EQ(ColorCubeIndex(position), index) << position;
    PaletteGroup group;
    group.Open();
    group.Add(kColorCubeMarker, 0);
    group.Close();
    EXPECT_EQ(group.GetPaletteColor(ColorCubeIndex(3 * 64 + 2 * 8 + 5)), RGB(255, 80, 192));
    EXPECT_FALSE(group.BuildNearestTable());
    EXPECT_EQ(group.BlendIndex(130, 41, 250), ColorCubeIndex(2 * 64 + 1 * 8 + 7));
}

TEST(ColorToHSL, GreysAndHuesAroundTheCircle)
{
    const struct {
        BYTE r, g, b;
        int hue, saturation, lightness; // -1: not checked
    } cases[] = {
        {100, 100, 100, 170, 0, 100}, {4, 4, 4, -1, -1, 4},     {244, 244, 244, -1, -1, 244}, {255, 0, 0, 0, 255, -1},
        {0, 255, 0, 85, -1, -1},      {0, 0, 255, 170, -1, -1}, {255, 0, 100, 241, -1, -1}, // below zero wraps: -16 becomes 241
    };
    for (const auto& c : cases) {
        const HSL hsl = ColorToHSL(c.r, c.g, c.b);
        const int got[] = {hsl.hue, hsl.saturation, hsl.lightness}, want[] = {c.hue, c.saturation, c.lightness};
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(want[i] < 0 || got[i] == want[i]) << int(c.r) << "," << int(c.g) << "," << int(c.b) << " part " << i;
    }
}

} // namespace
