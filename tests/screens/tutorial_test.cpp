// The tutorial pages: each page's sample tiles show what its text says.
#include "tutorial.h"

#include <gtest/gtest.h>

namespace {

// Attributes: 0 colour, 1 shape, 2 shading, 3 number.
uint32_t Attribute(const PIECE& p, int i)
{
    const uint32_t values[4] = {p.iColor, p.iShape, p.iShading, p.iNumber};
    return values[i];
}

// Bit i set when attribute i is the same on all three tiles.
int SameAttributes(const PIECE tiles[3])
{
    int same = 0;
    for (int i = 0; i < 4; ++i)
        if (Attribute(tiles[0], i) == Attribute(tiles[1], i) && Attribute(tiles[1], i) == Attribute(tiles[2], i))
            same |= 1 << i;
    return same;
}

constexpr int kShape = 1 << 1;
constexpr int kAllButShape = 0xF & ~kShape;

struct PAGECASE {
    int page;
    UINT idText;
    int cTiles;
    int same; // attributes the quibo shares; -1 for a question with two tiles
};

const PAGECASE kPages[] = {
    {0, 50, 3, 0},
    {1, 56, 3, 0},
    {2, 62, 3, 0},
    {3, 68, 3, kAllButShape},
    {4, 72, 3, kShape},
    {5, 84, 2, -1},
    {6, 96, 3, kAllButShape & ~(1 << 0)},
    {7, 100, 2, -1},
    {8, 112, 3, 0},
    {9, 118, 3, 0},
    {10, 124, 3, 0},
    {11, 128, 3, 0},
};

TEST(TutorialPages, EachShowsTheQuiboItsTextDescribes)
{
    for (const PAGECASE& c : kPages) {
        const TUTORIALPAGE& page = g_tutorialPages[c.page];
        EXPECT_EQ(page.idText, c.idText) << c.page;
        int present = 0;
        for (const PIECE& tile : page.rgTiles) {
            present += tile.fPresent ? 1 : 0;
            EXPECT_LT(tile.iColor, 3u);
            EXPECT_LT(tile.iShape, 3u);
            EXPECT_LT(tile.iShading, 3u);
            EXPECT_LT(tile.iNumber, 3u);
            EXPECT_EQ(tile.pObject, nullptr);
        }
        ASSERT_EQ(present, c.cTiles) << c.page;
        if (c.cTiles == 2) {
            EXPECT_FALSE(page.rgTiles[2].fPresent) << "the third position stays empty on page " << c.page;
            continue;
        }
        EXPECT_TRUE(IsQuibo(page.rgTiles[0], page.rgTiles[1], page.rgTiles[2])) << c.page;
        EXPECT_EQ(SameAttributes(page.rgTiles), c.same) << c.page;
    }
}

TEST(TutorialPages, EachAnswerKeepsTheTwoTilesOfItsQuestion)
{
    for (int question : {5, 7}) {
        const TUTORIALPAGE& asked = g_tutorialPages[question];
        const TUTORIALPAGE& answer = g_tutorialPages[question + 1];
        for (int i = 0; i < 2; ++i)
            EXPECT_TRUE(SameTile(asked.rgTiles[i], answer.rgTiles[i])) << question;
        EXPECT_TRUE(answer.rgTiles[2].fPresent);
    }
}

} // namespace
