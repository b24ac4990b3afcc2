// Tile objects: every tile drawn as its face with its insets stacked at their places, the back
// while paused, and the board slot kept in step with the object.
#include "tile.h"

#include "cea_graphic.h"
#include "cea_object.h"
#include "display_fixture.h"
#include "engine_test_util.h"
#include "memmgr.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr int W = 30, H = 44; // tile face
constexpr int w = 20, h = 10; // inset
constexpr int kSpacing = 1;
constexpr COLORREF kFaceColors[3] = {RGB(90, 90, 90), RGB(250, 240, 0), RGB(0, 0, 200)};

COLORREF InsetColor(int cell)
{
    return RGB(10 + cell * 4, 255 - cell * 3, (cell * 37) % 256);
}

class TileTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        saved = g_tileArt;
        for (int i = 0; i < 3; ++i)
            g_tileArt.rgFaces[i] = FilledGraphic(W, H, kFaceColors[i]);
        for (int i = 0; i < 54; ++i)
            g_tileArt.rgInsets[i] = FilledGraphic(w, h, InsetColor(i));
        g_tileArt.cyInsetsSpacing = kSpacing;
        target = FilledGraphic(W + 10, H + 10, RGB(1, 2, 3));
    }
    void TearDown() override
    {
        for (Graphic* g : g_tileArt.rgFaces)
            MEM_DELETE(g);
        for (Graphic* g : g_tileArt.rgInsets)
            MEM_DELETE(g);
        g_tileArt = saved;
        MEM_DELETE(target);
        g_game = {};
        DisplayTest::TearDown();
    }

    // The tile as drawn onto target at (5, 5): its pixels, row by row.
    std::vector<uint32_t> Drawn(ANIMOBJECT* object)
    {
        object->SetRect({5, 5, 5 + W, 5 + H});
        object->Draw(target, {0, 0, W + 10, H + 10});
        std::vector<uint32_t> pixels;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                pixels.push_back(target->GetPixelColor(5 + x, 5 + y));
        return pixels;
    }

    // The face cell with the inset cell stacked on it, built from the cells themselves.
    static std::vector<uint32_t> Expected(int face, int inset, int copies, int shift)
    {
        std::vector<uint32_t> pixels(size_t(W * H), kFaceColors[face]);
        if (inset < 0)
            return pixels;
        const int x0 = (W - w) / 2 - shift;
        const int y0 = (H - copies * h - (copies - 1) * kSpacing) / 2 - shift;
        for (int k = 0; k < copies; ++k)
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    pixels[size_t((y0 + k * (h + kSpacing) + y) * W + x0 + x)] = InsetColor(inset);
        return pixels;
    }

    TILEART saved{};
    Graphic* target = nullptr;
};

TEST_F(TileTest, EveryTileShowsItsInsetsStackedOnItsFace)
{
    for (int index = 0; index < 81; ++index) {
        for (int selected = 0; selected < 2; ++selected) {
            const PIECE piece{1,       uint32_t(index / 27), uint32_t(index / 9 % 3), uint32_t(index / 3 % 3), uint32_t(index % 3),
                              nullptr, uint32_t(selected)};
            ANIMOBJECT* tile = CreateTileObject(anim, piece, -1, -1);
            ASSERT_NE(tile, nullptr);
            const int row = int(piece.iShape * 3 + piece.iShading);
            const int column = int(piece.iColor) + (selected ? 3 : 0);
            EXPECT_EQ(Drawn(tile), Expected(selected, row * 6 + column, int(piece.iNumber) + 1, selected ? 0 : 1))
                << "tile " << index << (selected ? " selected" : "");
            tile->Destroy();
        }
    }
}

TEST_F(TileTest, APausedBoardShowsBacksButSamplesStayFaceUp)
{
    g_game.fPaused = 1;
    const PIECE piece{1, 2, 1, 0, 2, nullptr, 0};
    g_game.rgBoard[1][3] = piece;
    ANIMOBJECT* onBoard = CreateTileObject(anim, piece, 3, 1);
    g_game.rgBoard[1][3].pObject = onBoard;
    ANIMOBJECT* sample = CreateTileObject(anim, piece, -1, -1);
    EXPECT_EQ(Drawn(onBoard), Expected(2, -1, 0, 0));
    EXPECT_EQ(Drawn(sample), Expected(0, (1 * 3 + 0) * 6 + 2, 3, 1));
    sample->Destroy();
    onBoard->Destroy();
}

TEST_F(TileTest, TheObjectKeepsItsSlotInStepAndLetsGoOfIt)
{
    const PIECE piece{1, 0, 0, 0, 0, nullptr, 0};
    g_game.rgBoard[2][4] = piece;
    ANIMOBJECT* tile = CreateTileObject(anim, piece, 4, 2);
    g_game.rgBoard[2][4].pObject = tile;
    EXPECT_EQ(std::vector<int>({tile->GetWidth(), tile->GetLayer(), TileColumn(tile), TileRow(tile)}),
              std::vector<int>({W, iTILE_LAYER, 4, 2}));
    SetTileSelected(tile, true);
    EXPECT_TRUE(g_game.rgBoard[2][4].fSelected && TileOf(tile)->fSelected);
    // A slot that moved on to another object is left alone.
    SetTileSlot(tile, 4, 1);
    tile->Destroy();
    EXPECT_EQ(g_game.rgBoard[2][4].pObject, tile);
    g_game.rgBoard[2][4].pObject = nullptr;
    ANIMOBJECT* again = CreateTileObject(anim, piece, 4, 2);
    g_game.rgBoard[2][4].pObject = again;
    again->Destroy();
    EXPECT_TRUE(!g_game.rgBoard[2][4].pObject && !TileOf(nullptr));
}

} // namespace
