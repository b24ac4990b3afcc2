// Tile objects: every tile drawn as its face with its insets stacked at their places, the back
// while paused, and the board slot kept in step with the object.
#include "tile.h"

#include "cea_graphic.h"
#include "cea_object.h"
#include "display_fixture.h"

#include <gtest/gtest.h>
#include <vector>

// Every tile, selected or not, as its face with its insets stacked in its middle; on a paused
// board the back, but samples stay face up. The object keeps its board slot in step and lets go
// of it when it goes.
TEST_F(DisplayTest, EveryTileShowsItsInsetsStackedOnItsFace)
{
    const auto drawn = [&](ANIMOBJECT* object) { // at (5, 5): its pixels, row by row
        Graphic* target = Made(W + 10, H + 10, RGB(1, 2, 3));
        object->SetRect({5, 5, 5 + W, 5 + H});
        object->Draw(target, {0, 0, W + 10, H + 10});
        std::vector<uint32_t> pixels;
        for (int i = 0; i < W * H; ++i)
            pixels.push_back(target->GetPixelColor(5 + i % W, 5 + i / W));
        return pixels;
    };
    const auto expected = [](int face, int inset, int copies, int shift) { // built from the cells themselves
        std::vector<uint32_t> pixels(size_t(W * H), kTileColors[face]);
        const int x0 = (W - w) / 2 - shift, y0 = (H - copies * h - (copies - 1) * kSpacing) / 2 - shift;
        for (int i = 0; i < copies * w * h; ++i)
            pixels[size_t((y0 + i / (w * h) * (h + kSpacing) + i % (w * h) / w) * W + x0 + i % w)] = InsetColor(inset);
        return pixels;
    };
    for (int index = 0; index < 81 * 2; ++index) {
        const uint32_t t = uint32_t(index / 2), selected = index % 2;
        const PIECE piece{1, t / 27, t / 9 % 3, t / 3 % 3, t % 3, nullptr, selected};
        ANIMOBJECT* tile = CreateTileObject(anim, piece, -1, -1);
        const int inset = int(piece.iShape * 3 + piece.iShading) * 6 + int(piece.iColor + selected * 3);
        EXPECT_EQ(drawn(tile), expected(selected, inset, int(piece.iNumber) + 1, selected ? 0 : 1)) << "tile " << index;
        tile->Destroy();
    }
    g_game.fPaused = 1;
    g_game.rgBoard[1][3] = PIECE{1, 2, 1, 0, 2, nullptr, 0};
    ANIMOBJECT* onBoard = g_game.rgBoard[1][3].pObject = CreateTileObject(anim, g_game.rgBoard[1][3], 3, 1);
    EXPECT_EQ(drawn(onBoard), expected(2, 0, 0, 0));
    EXPECT_EQ(drawn(CreateTileObject(anim, g_game.rgBoard[1][3], -1, -1)), expected(0, (1 * 3 + 0) * 6 + 2, 3, 1));
    SetTileSelected(onBoard, true);
    EXPECT_EQ(std::vector<int>({onBoard->GetWidth(), onBoard->GetLayer(), TileColumn(onBoard), TileRow(onBoard),
                                int(g_game.rgBoard[1][3].fSelected), int(TileOf(onBoard)->fSelected)}),
              std::vector<int>({W, iTILE_LAYER, 3, 1, 1, 1}));
    onBoard->Destroy();
    EXPECT_TRUE(!g_game.rgBoard[1][3].pObject && !TileOf(nullptr));
}
