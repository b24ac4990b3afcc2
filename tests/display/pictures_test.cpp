// The play screen of every shipped pack, drawn headless with a fixed board and written as a
// picture (test-output/play-<pack>.png) for a person to look at. The checks below catch a pack
// cut into the wrong cells and media freed incompletely; the pictures show whether it all looks
// right.
#include "aux_control.h"
#include "cea_clock.h"
#include "cea_display.h"
#include "cea_graphic.h"
#include "cea_main.h"
#include "cea_object.h"
#include "cea_palette.h"
#include "display.h"
#include "display_fixture.h"
#include "engine_test_util.h"
#include "game.h"
#include "hostclock.h"
#include "layout.h"
#include "media.h"
#include "records.h"
#include "screens.h"
#include "test_env.h"
#include "tile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <numeric>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

struct PACK {
    const char* name;
    int cx, cy, bits;
};

class PackPictures : public DisplayTest, public testing::WithParamInterface<PACK> { };

// The distinct sizes of a set of cells, "WxH ...".
std::string Sizes(Graphic* const* cells, int n)
{
    std::set<std::string> sizes;
    for (int i = 0; i < n; ++i)
        sizes.insert(std::to_string(cells[i]->GetWidth()) + "x" + std::to_string(cells[i]->GetHeight()) + " ");
    return std::accumulate(sizes.begin(), sizes.end(), std::string());
}

TEST_P(PackPictures, ThePlayScreenIsDrawnWhereTheLayoutSays)
{
    const PACK& pack = GetParam();
    DisplayAs display(pack.bits, false, pack.cx, pack.cy);
    g_media = {};
    g_settings.iEffects = 2;
    g_settings.fSmoothAnimation = 1;
    ASSERT_TRUE(ChoosePackFor(string(TestProgramFolder() + "/quibo.exe"))); // the largest of the shipped packs that fits
    ASSERT_EQ(OpenPackName(), string(pack.name));
    ASSERT_TRUE(LoadImages());
    ClosePack();
    // Every sheet cut into cells of their size; the tile art is the pack's.
    const MEDIASET& m = g_media;
    const auto sheet = [](Graphic* g, int columns, int rows) {
        return std::to_string(g->GetWidth() / columns) + "x" + std::to_string(g->GetHeight() / rows) + " ";
    };
    EXPECT_EQ(Sizes(m.rgFaces[0], cBUTTON_FACES) + Sizes(m.rgFaces[1], cBUTTON_FACES) + Sizes(m.rgCaptions[0], cBUTTON_FACES)
                  + Sizes(m.rgCaptions[1], cBUTTON_FACES) + Sizes(m.rgButtonsDown, cBUTTON_FRAMES) + Sizes(m.rgEffects, cEFFECT_FRAMES),
              "68x46 68x46 35x12 35x12 68x46 64x64 ");
    EXPECT_EQ(Sizes(m.rgInsets, cINSETS) + Sizes(m.rgBanners[0], cBANNERS) + Sizes(m.rgBanners[1], cBANNERS),
              sheet(m.pInsets, cINSET_COLUMNS, cINSET_ROWS) + sheet(m.pBanners[0], 1, cBANNERS) + sheet(m.pBanners[1], 1, cBANNERS));
    EXPECT_EQ(std::tuple(m.rgTiles[2]->GetRectInParent().left, g_tileArt.rgFaces[1], g_tileArt.cyInsetsSpacing),
              std::tuple(2 * m.rgTiles[0]->GetWidth(), m.rgTiles[1], 1));
    EXPECT_EQ(std::tuple(GameOverBanner(2), GameOverBanner(3)), std::tuple(m.rgBanners[SET_ENGLISH][2], nullptr));
    EXPECT_TRUE(m.pDivider && m.pLogo && m.pGroup->openCount == 0);
    if (pack.bits <= 8)
        SetDisplayPaletteGroup(m.pGroup);

    SetWindowPos(hwnd, nullptr, 0, 0, LayoutNumber("cxWINDOW"), LayoutNumber("cyWINDOW"), SWP_NOMOVE | SWP_NOZORDER);
    anim->Fill(RGB(0, 64, 32));
    // Twelve tiles of the deck, the second and seventh selected.
    g_game.fActive = 1, g_game.tStart = EngineTime() - 83000, g_game.cFound = 6;
    BuildDeck();
    for (int i = 0; i < 12; ++i) {
        PIECE& slot = g_game.rgBoard[i % 3][i / 3] = g_game.rgDeck[g_game.iNextTile++];
        slot.fSelected = i == 1 || i == 6;
        slot.pObject = CreateTileObject(anim, slot, i / 3, i % 3);
        slot.pObject->SetRect(TilePosition(i / 3, i % 3, false));
    }
    BuildPlayScreen();
    anim->AdvanceTo(kLastScheduledFrame); // every element flies in, then rests
    RefreshTexts(true);
    anim->Invalidate(nullptr, true);
    anim->PaintNow();
    WritePicture(*anim->screen, std::string("play-") + pack.name);
    DeletePlayElements();
    FreeImages();
    EXPECT_TRUE(!GetDisplayPaletteGroup() && !m.pLogo && !m.rgInsets[53] && !m.pGroup && !g_tileArt.rgFaces[0]);
}

INSTANTIATE_TEST_SUITE_P(Packs, PackPictures,
                         testing::Values(PACK{"quibo-l-hi.res", 1024, 768, 32}, PACK{"quibo-l-lo.res", 1024, 768, 8},
                                         PACK{"quibo-s-hi.res", 800, 600, 32}, PACK{"quibo-s-lo.res", 640, 480, 8},
                                         PACK{"quibo-p-hi.res", 240, 320, 32}, PACK{"quibo-p-lo.res", 240, 320, 8}),
                         [](const testing::TestParamInfo<PACK>& info) { return std::string(info.param.name + 6, 4).replace(1, 1, "_"); });

} // namespace
