// The tutorial pages: each page's sample tiles show what its text says.
#include "tutorial.h"

#include <gtest/gtest.h>

namespace {

// Bit i set when attribute i (colour, shape, shading, number) is the same on all three tiles.
int SameAttributes(const PIECE t[3])
{
    const auto same = [](uint32_t a, uint32_t b, uint32_t c) { return a == b && b == c; };
    return same(t[0].iColor, t[1].iColor, t[2].iColor) | same(t[0].iShape, t[1].iShape, t[2].iShape) << 1
           | same(t[0].iShading, t[1].iShading, t[2].iShading) << 2 | same(t[0].iNumber, t[1].iNumber, t[2].iNumber) << 3;
}

constexpr int kShape = 1 << 1;
constexpr int kAllButShape = 0xF & ~kShape;

// Pages 5 and 7 ask for the third tile of two (same: -1); the next page answers with the same two.
TEST(TutorialPages, EachShowsTheQuiboItsTextDescribes)
{
    const struct {
        UINT idText;
        int same; // attributes the quibo shares
    } pages[] = {{50, 0},   {56, 0},  {62, 0},  {68, kAllButShape}, {72, kShape}, {84, -1}, {96, kAllButShape & ~1},
                 {100, -1}, {112, 0}, {118, 0}, {124, 0},           {128, 0}};
    for (int i = 0; i < cTUTORIAL_PAGES; ++i) {
        const TUTORIALPAGE& page = g_tutorialPages[i];
        EXPECT_EQ(page.idText, pages[i].idText) << i;
        EXPECT_TRUE(page.rgTiles[0].fPresent && page.rgTiles[1].fPresent) << i;
        EXPECT_EQ(page.rgTiles[2].fPresent != 0, pages[i].same >= 0) << i;
        if (pages[i].same < 0) {
            for (int t = 0; t < 2; ++t)
                EXPECT_TRUE(SameTile(page.rgTiles[t], g_tutorialPages[i + 1].rgTiles[t])) << i;
            continue;
        }
        EXPECT_TRUE(IsQuibo(page.rgTiles[0], page.rgTiles[1], page.rgTiles[2])) << i;
        EXPECT_EQ(SameAttributes(page.rgTiles), pages[i].same) << i;
    }
}

} // namespace
