// The play display: element placement and entrances, tile geometry, the play screen's texts,
// the buttons' pressed looks and the per-frame guide button and sparkles.
#include "display.h"

#include "aux_control.h"
#include "cea_clock.h"
#include "cea_graphic.h"
#include "cea_object.h"
#include "display_fixture.h"
#include "game.h"
#include "hostclock.h"
#include "layout.h"
#include "media.h"
#include "memmgr.h"
#include "screens.h"
#include "sequencer.h"
#include "window_support.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <vector>

const auto Text = [](ANIMTEXT* text) { return std::string(text->GetText().View()); };
// The play screen's time, tiles, average and estimate texts.
const auto Texts = [] {
    return Text(PlayElements().time) + "|" + Text(PlayElements().tiles) + "|" + Text(PlayElements().average) + "|"
           + Text(PlayElements().estimate);
};

// Four or five columns at the layout's places; from the deck: right of the window, at the middle
// row whatever the row asked; leaving: below the window, under the five-column board.
TEST_F(DisplayTest, TilesTakeTheirPlacesOnEveryLayout)
{
    const struct {
        const char *layout, *places;
    } layouts[] = {
        {"large", "77 33 107 77|176 129 206 173|33 33 63 77|165 129 195 173|760 81 790 125|115 520 145 564|"},
        {"small", "54 13 84 57|153 109 183 153|13 13 43 57|145 109 175 153|600 61 630 105|85 400 115 444|"},
        {"handheld", "26 50 56 94|125 146 155 190|4 50 34 94|136 146 166 190|240 98 270 142|72 294 102 338|"},
    };
    for (const auto& l : layouts) {
        Layout(l.layout);
        std::string places;
        for (auto [column, row, five] : {std::tuple(0, 0, 0), {3, 2, 0}, {0, 0, 1}, {4, 2, 1}, {-1, 2, 0}, {3, -1, 1}})
            places += Str(TilePosition(column, row, five)) + "|";
        EXPECT_EQ(places, l.places);
    }
}

TEST_F(DisplayTest, ElementsComeFromTheLayoutOrNotAtAll)
{
    Layout("handheld");
    BuildPlayScreen();
    const PLAYELEMENTS& p = PlayElements();
    EXPECT_TRUE(p.exit && !p.average && !p.estimate && !p.logo);
    EXPECT_EQ(Str(p.exit->GetRect()) + " " + Str(p.time->GetRect()), "172 0 240 46 10 251 115 269");
    EXPECT_EQ(std::tuple(p.exit->Object()->GetLayer(), p.time->GetColor(kColorText), p.time->GetColor(kColorBackground)),
              std::tuple(iLAYER_ELEMENTS, crHIGHLIGHT, kNoColor));
    DeletePlayElements();
    EXPECT_EQ(PlayElements().time, nullptr);

    Layout("large");
    BuildPlayScreen();
    ASSERT_TRUE(!PlayElements().exit && PlayElements().estimate);
    EXPECT_EQ(PlayElements().estimate->GetStyle(), DWORD(4));
}

// Upper left: from the left, from above on the play screen; lower right: from the right, from
// below on the play screen; straddling the middle: from below. Then each lands on its place.
TEST_F(DisplayTest, ElementsFlyInFromTheNearestEdge)
{
    Layout("large"); // a 760 x 520 window
    g_settings.iEffects = g_settings.fSmoothAnimation = 1;
    std::string from;
    for (auto [screen, to] : {std::pair(SCREEN_OPTIONS, RECT{20, 70, 88, 116}),
                              {SCREEN_PLAY, {20, 70, 88, 116}},
                              {SCREEN_OPTIONS, {586, 352, 654, 398}},
                              {SCREEN_PLAY, {586, 352, 654, 398}},
                              {SCREEN_MENU, {350, 300, 418, 346}}}) {
        g_screen = screen;
        ANIMOBJECT* object = ANIMOBJECT::Create(anim, static_cast<Graphic*>(nullptr), 150);
        PlaceElement(object, to);
        from += std::to_string(object->rect.left) + " " + std::to_string(object->rect.top) + "|";
        anim->AdvanceTo(kLastScheduledFrame);
        EXPECT_EQ(Str(object->rect), Str(to));
    }
    EXPECT_EQ(from, "-68 70|20 -46|760 352|586 520|350 520|");
}

// A refresh rebuilds a status text whose value changed, a forced one every text; on another
// screen the refresh is that screen's.
TEST_F(DisplayTest, StatusTextsAreRebuiltOnlyWhenTheirValueChanges)
{
    Layout("large");
    g_game.fActive = 1;
    g_game.tStart = EngineTime() - 65000;
    BuildPlayScreen();
    EXPECT_EQ(Texts(), "Time:   1:05|Tiles Left:   81||"); // no quibo yet
    PlayElements().tiles->SetText(string("kept"));
    RefreshTexts(false);
    EXPECT_EQ(Texts(), "Time:   1:05|kept||");
    RefreshTexts(true);
    EXPECT_EQ(Texts(), "Time:   1:05|Tiles Left:   81||");
    g_game.cFound = 5;
    AdvanceHostClock(100000 - 65000);
    RefreshTexts(false); // 100 s + 20 s x 23
    EXPECT_EQ(Texts(), "Time:   1:40|Tiles Left:   66|Average Time:   0:20|Estimated Finish:   9:20");
    g_screen = SCREEN_OPTIONS;
    RefreshTexts(true);
    EXPECT_EQ(g_refreshes, 1);
}

// The guide shimmers: New without a game, Pause in a paused one, the tutorial's choice, none in
// a running game; a press moves the shimmer and its click reaches the main window. A button shows
// its face, or the pressed frame of the moment around its caption.
TEST_F(DisplayTest, PressingMovesTheShimmerAndTheClickReachesTheMainWindow)
{
    Layout("handheld");
    BuildPlayScreen();
    const PLAYELEMENTS& p = PlayElements();
    Graphic* picture = Made(240, 294, RGB(0, 0, 0));
    const auto shown = [&] {
        std::string s;
        for (ANIMBUTTON* b : {p.menu, p.pause, p.newGame, p.hint})
            s += IsPressed(b->Object()) ? "x" : "-";
        p.hint->Object()->Draw(picture, {0, 0, 240, 294}); // inside the face, at the caption's corners and just right of it
        const std::map<COLORREF, const char*> names = {{FaceColor(SET_ENGLISH, FACE_HINT), " face"},
                                                       {CaptionColor(FACE_HINT), " caption"},
                                                       {DownColor(anim->GetCurrentFrame() % 10), " frame"}};
        for (POINT pt : {POINT{1, 1}, POINT{16, 17}, POINT{16 + 34, 17 + 11}, POINT{16 + 35, 17}})
            s += names.count(picture->GetPixelColor(172 + pt.x, 246 + pt.y)) ? names.at(picture->GetPixelColor(172 + pt.x, 246 + pt.y))
                                                                             : " other";
        return s;
    };
    const std::string faces = " face face face face";
    DisplayTick();
    EXPECT_EQ(shown(), "--x-" + faces);
    PushButton(hwnd, true, 10, 10); // on Menu
    PumpReady();
    EXPECT_EQ(shown(), "x---" + faces);
    PushButton(hwnd, false, 10, 10);
    PumpReady();
    EXPECT_EQ(shown(), "----" + faces);
    ASSERT_EQ(LogOf(WM_COMMAND).size(), 1u);
    EXPECT_EQ(LogOf(WM_COMMAND)[0].wParam, WPARAM(IDC_MENU));
    g_game.fActive = g_game.fPaused = 1;
    DisplayTick();
    EXPECT_EQ(shown(), "-x--" + faces);
    EmptyPressedList();
    g_game.fPaused = 0;
    DisplayTick();
    EXPECT_EQ(shown(), "----" + faces);
    g_screen = SCREEN_TUTORIAL, g_guide = p.hint;
    for (int step = 0; step < 12; ++step, anim->Step()) {
        EmptyPressedList();
        DisplayTick();
        EXPECT_EQ(shown(), "---x frame caption caption frame") << step;
    }
    EXPECT_EQ(std::tuple(ButtonFaceCell(IDC_VIEWNET), ButtonFaceCell(IDC_HIGHPUBLISH), ButtonFaceCell(1024)),
              std::tuple(FACE_VIEWSCORES, FACE_PUBLISH, -1));
}
