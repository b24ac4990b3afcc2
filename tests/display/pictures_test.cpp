// The play screen of every shipped pack, drawn headless with a fixed board and written as a
// picture (test-output/play-<pack>.png) for a person to look at. The checks below catch
// misplaced elements; the pictures show whether it all looks right.
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
#include "screens_stand_in.h"
#include "test_env.h"
#include "tile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace fs = std::filesystem;

namespace {

struct PACK {
    const char* name;
    int cx, cy, bits;
};

class PackPictures : public testing::TestWithParam<PACK> { };

// Twelve tiles, the second and seventh selected.
constexpr int kBoard[12] = {0, 41, 80, 13, 67, 26, 54, 7, 35, 61, 19, 75};

TEST_P(PackPictures, ThePlayScreenIsDrawnWhereTheLayoutSays)
{
    const PACK& pack = GetParam();
    ASSERT_TRUE(InitAnimEngine(nullptr, 0)); // measures the display only the first time
    DisplayAs display(pack.bits, false, pack.cx, pack.cy);
    const SETTINGS savedSettings = g_settings;
    g_settings = {};
    g_settings.iEffects = 2;
    g_settings.fSmoothAnimation = 1;
    SetManualHostClock(true);

    const fs::path folder = TestRoot() / (std::string("pictures-") + pack.name);
    fs::create_directories(folder);
    fs::copy_file(fs::path(TestProgramFolder()) / pack.name, folder / pack.name, fs::copy_options::overwrite_existing);
    ASSERT_TRUE(ChoosePackFor(string((folder / "quibo.exe").string())));
    ASSERT_EQ(OpenPackName(), string(pack.name));
    ASSERT_TRUE(LoadImages());
    ClosePack();
    // Every sheet cut into cells of their size; the tile art is the pack's.
    for (int set : {SET_ENGLISH, SET_ESPERANTO}) {
        for (int i = 0; i < cBUTTON_FACES; ++i)
            EXPECT_EQ(std::tuple(g_media.rgFaces[set][i]->GetWidth(), g_media.rgCaptions[set][i]->GetHeight()),
                      std::tuple(cxBUTTON, cyCAPTION));
        for (Graphic* banner : g_media.rgBanners[set])
            EXPECT_EQ(banner->GetWidth(), g_media.pBanners[set]->GetWidth());
    }
    for (Graphic* frame : g_media.rgButtonsDown)
        EXPECT_EQ(frame->GetHeight(), cyBUTTON);
    for (Graphic* effect : g_media.rgEffects)
        EXPECT_EQ(effect->GetWidth(), cxEFFECT);
    for (Graphic* inset : g_media.rgInsets)
        EXPECT_EQ(inset->GetWidth() * cINSET_COLUMNS, g_media.pInsets->GetWidth());
    EXPECT_EQ(std::tuple(g_media.rgTiles[2]->GetRectInParent().left, g_tileArt.rgFaces[1], g_tileArt.cyInsetsSpacing),
              std::tuple(2 * g_media.rgTiles[0]->GetWidth(), g_media.rgTiles[1], 1));
    EXPECT_EQ(std::tuple(GameOverBanner(2), GameOverBanner(3)), std::tuple(g_media.rgBanners[SET_ENGLISH][2], nullptr));
    EXPECT_TRUE(g_media.pDivider && g_media.pLogo && g_media.pGroup->openCount == 0);
    if (pack.bits <= 8)
        SetDisplayPaletteGroup(g_media.pGroup);

    const int cx = LayoutNumber("cxWINDOW");
    const int cy = LayoutNumber("cyWINDOW");
    HWND hwnd = CreateWindowExW(0, u"AnimWindow", u"play", WS_POPUP | WS_VISIBLE, 0, 0, cx, cy, nullptr, nullptr, nullptr, nullptr);
    AnimWindow* anim = AnimWindow::FromWindow(hwnd);
    ASSERT_NE(anim, nullptr);
    anim->SetFrameRate(20);
    anim->Fill(RGB(0, 64, 32));
    SetDisplayWindow(anim, nullptr);
    g_standIn = {SCREEN_PLAY, nullptr, 0};

    g_game = {};
    g_game.fActive = 1;
    g_game.tStart = EngineTime() - 83000;
    g_game.cFound = 6;
    g_game.iNextTile = 30;
    for (int i = 0; i < 12; ++i) {
        const int t = kBoard[i];
        PIECE& slot = g_game.rgBoard[i % 3][i / 3];
        slot = {1, uint32_t(t / 27), uint32_t(t / 9 % 3), uint32_t(t / 3 % 3), uint32_t(t % 3), nullptr, uint32_t(i == 1 || i == 6)};
        slot.pObject = CreateTileObject(anim, slot, i / 3, i % 3);
        slot.pObject->SetRect(TilePosition(i / 3, i % 3, false));
    }
    BuildPlayScreen();
    anim->AdvanceTo(kLastScheduledFrame); // every element flies in, then rests
    RefreshTexts(true);
    anim->Invalidate(nullptr, true);
    anim->PaintNow();
    WritePicture(*anim->screen, std::string("play-") + pack.name);

    // Each tile's face corner and each button's face sit where the layout puts them.
    const Graphic* face = g_media.rgTiles[TILE_NORMAL];
    for (int i = 0; i < 12; ++i) {
        const RECT r = TilePosition(i / 3, i % 3, false);
        const Graphic* shown = g_media.rgTiles[i == 1 || i == 6 ? TILE_SELECTED : TILE_NORMAL];
        EXPECT_EQ(std::tuple(anim->screen->GetPixelColor(r.left + 2, r.top + 2), r.right - r.left),
                  std::tuple(shown->GetPixelColor(2, 2), face->GetWidth()))
            << "tile " << i;
    }
    const PLAYELEMENTS& p = PlayElements();
    for (ANIMBUTTON* button : {p.menu, p.pause, p.add, p.hint}) {
        ASSERT_NE(button, nullptr);
        const RECT r = button->GetRect();
        Graphic* look = g_media.rgFaces[SET_ENGLISH][ButtonFaceCell(button->GetId())];
        for (POINT at : {POINT{cxBUTTON / 2, 6}, POINT{8, cyBUTTON / 2}, POINT{cxBUTTON / 2, cyBUTTON / 2}}) {
            const COLORREF want = look->GetPixelColor(at.x, at.y);
            if (want != look->GetTransparency()) {
                EXPECT_EQ(anim->screen->GetPixelColor(r.left + at.x, r.top + at.y), want) << button->GetId();
            }
        }
    }
    EXPECT_EQ(p.time->GetText(), string("Time:   1:23"));

    SetDisplayWindow(nullptr, nullptr);
    DeletePlayElements();
    DestroyWindow(hwnd);
    g_game = {};
    FreeImages();
    EXPECT_TRUE(!GetDisplayPaletteGroup() && !g_media.pLogo && !g_media.rgInsets[53] && !g_media.pGroup && !g_tileArt.rgFaces[0]);
    SetManualHostClock(false);
    g_settings = savedSettings;
}

INSTANTIATE_TEST_SUITE_P(Packs, PackPictures,
                         testing::Values(PACK{"quibo-l-hi.res", 1024, 768, 32}, PACK{"quibo-l-lo.res", 1024, 768, 8},
                                         PACK{"quibo-s-hi.res", 800, 600, 32}, PACK{"quibo-s-lo.res", 640, 480, 8},
                                         PACK{"quibo-p-hi.res", 240, 320, 32}, PACK{"quibo-p-lo.res", 240, 320, 8}),
                         [](const testing::TestParamInfo<PACK>& info) {
                             std::string name = info.param.name + 6;
                             name = name.substr(0, 4);
                             name[1] = '_';
                             return name;
                         });

} // namespace
