// Tile objects: every tile drawn as its face with its insets stacked at their places, the back
// while paused, and the board slot kept in step with the object.
#include "tile.h"

#include "cea_graphic.h"
#include "cea_object.h"
#include "display_fixture.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class TileTest : public DisplayTest {
protected:
    // The tile as drawn at (5, 5): its pixels, row by row.
    std::vector<uint32_t> Drawn(ANIMOBJECT* object)
    {
        Graphic* target = Made(W + 10, H + 10, RGB(1, 2, 3));
        object->SetRect({5, 5, 5 + W, 5 + H});
        object->Draw(target, {0, 0, W + 10, H + 10});
        std::vector<uint32_t> pixels;
        for (int i = 0; i < W * H; ++i)
            pixels.push_back(target->GetPixelColor(5 + i % W, 5 + i / W));
        return pixels;
    }

    // The face cell with the inset cell stacked on it, built from the cells themselves.
    static std::vector<uint32_t> Expected(int face, int inset, int copies, int shift)
    {
        std::vector<uint32_t> pixels(size_t(W * H), kTileColors[face]);
        const int x0 = (W - w) / 2 - shift, y0 = (H - copies * h - (copies - 1) * kSpacing) / 2 - shift;
        for (int k = 0; k < copies; ++k)
            for (int i = 0; i < w * h; ++i)
                pixels[size_t((y0 + k * (h + kSpacing) + i / w) * W + x0 + i % w)] = InsetColor(inset);
        return pixels;
    }
};

TEST_F(TileTest, EveryTileShowsItsInsetsStackedOnItsFace)
{
    for (int index = 0; index < 81 * 2; ++index) {
        const uint32_t t = uint32_t(index / 2), selected = index % 2;
        const PIECE piece{1, t / 27, t / 9 % 3, t / 3 % 3, t % 3, nullptr, selected};
        ANIMOBJECT* tile = CreateTileObject(anim, piece, -1, -1);
        const int inset = int(piece.iShape * 3 + piece.iShading) * 6 + int(piece.iColor + selected * 3);
        EXPECT_EQ(Drawn(tile), Expected(selected, inset, int(piece.iNumber) + 1, selected ? 0 : 1)) << "tile " << index;
        tile->Destroy();
    }
    // A paused board shows backs, but samples stay face up.
    g_game.fPaused = 1;
    const PIECE piece{1, 2, 1, 0, 2, nullptr, 0};
    g_game.rgBoard[1][3] = piece;
    ANIMOBJECT* onBoard = g_game.rgBoard[1][3].pObject = CreateTileObject(anim, piece, 3, 1);
    EXPECT_EQ(Drawn(onBoard), Expected(2, 0, 0, 0));
    EXPECT_EQ(Drawn(CreateTileObject(anim, piece, -1, -1)), Expected(0, (1 * 3 + 0) * 6 + 2, 3, 1));
}

TEST_F(TileTest, TheObjectKeepsItsSlotInStepAndLetsGoOfIt)
{
    const PIECE piece{1, 0, 0, 0, 0, nullptr, 0};
    g_game.rgBoard[2][4] = piece;
    ANIMOBJECT* tile = g_game.rgBoard[2][4].pObject = CreateTileObject(anim, piece, 4, 2);
    EXPECT_EQ(std::vector<int>({tile->GetWidth(), tile->GetLayer(), TileColumn(tile), TileRow(tile)}),
              std::vector<int>({W, iTILE_LAYER, 4, 2}));
    SetTileSelected(tile, true);
    EXPECT_TRUE(g_game.rgBoard[2][4].fSelected && TileOf(tile)->fSelected);
    // A slot that moved on to another object is left alone.
    SetTileSlot(tile, 4, 1);
    tile->Destroy();
    EXPECT_EQ(g_game.rgBoard[2][4].pObject, tile);
    ANIMOBJECT* again = g_game.rgBoard[2][4].pObject = CreateTileObject(anim, piece, 4, 2);
    again->Destroy();
    EXPECT_TRUE(!g_game.rgBoard[2][4].pObject && !TileOf(nullptr));
}

} // namespace
