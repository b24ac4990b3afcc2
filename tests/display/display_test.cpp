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
#include <vector>

namespace {

std::string Text(ANIMTEXT* text)
{
    return std::string(text->GetText().View());
}

// The play screen's time, tiles, average and estimate texts.
std::string Texts()
{
    const PLAYELEMENTS& p = PlayElements();
    return Text(p.time) + "|" + Text(p.tiles) + "|" + Text(p.average) + "|" + Text(p.estimate);
}

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
    ANIMTEXT* row = MakeText("text-estimate", string("x"), false, 25);
    EXPECT_EQ(row->GetRect().top, 470 + 25);
    DeleteElement(row);
}

TEST_F(DisplayTest, ElementsFlyInFromTheNearestEdge)
{
    Layout("large"); // a 760 x 520 window
    g_settings.iEffects = 1;
    g_settings.fSmoothAnimation = 1;
    const struct {
        int screen;
        RECT to;
        const char* from;
    } cases[] = {
        {SCREEN_OPTIONS, {20, 70, 88, 116}, "-68 70"}, // upper left: from the left
        {SCREEN_PLAY, {20, 70, 88, 116}, "20 -46"}, // the same on the play screen: from above
        {SCREEN_OPTIONS, {586, 352, 654, 398}, "760 352"}, // lower right: from the right
        {SCREEN_PLAY, {586, 352, 654, 398}, "586 520"}, // from below
        {SCREEN_MENU, {350, 300, 418, 346}, "350 520"}, // straddling the middle: from below
    };
    for (const auto& c : cases) {
        g_standIn.screen = c.screen;
        ANIMOBJECT* object = ANIMOBJECT::Create(anim, static_cast<Graphic*>(nullptr), 150);
        PlaceElement(object, c.to);
        EXPECT_EQ(std::to_string(object->rect.left) + " " + std::to_string(object->rect.top), c.from) << c.screen;
        anim->AdvanceTo(kLastScheduledFrame);
        EXPECT_EQ(Str(object->rect), Str(c.to));
        object->Destroy();
    }
}

TEST_F(DisplayTest, StatusTextsAreRebuiltOnlyWhenTheirValueChanges)
{
    Layout("large");
    g_game.fActive = 1;
    g_game.tStart = EngineTime() - 65000;
    BuildPlayScreen();
    const PLAYELEMENTS& p = PlayElements();
    EXPECT_EQ(Texts(), "Time:   1:05|Tiles Left:   81||"); // no quibo yet
    for (ANIMTEXT* t : {p.time, p.tiles, p.average, p.estimate})
        t->SetText(string("kept"));
    AdvanceHostClock(400); // still 1:05, but the time's value moved
    RefreshTexts(false);
    EXPECT_EQ(Texts(), "Time:   1:05|kept|kept|kept");
    p.time->SetText(string("kept"));
    RefreshTexts(false);
    EXPECT_EQ(Text(p.time), "kept");
    RefreshTexts(true);
    EXPECT_EQ(Texts(), "Time:   1:05|Tiles Left:   81||");
    g_game.cFound = 5;
    AdvanceHostClock(100000 - 65400);
    RefreshTexts(false); // 100 s + 20 s x 23
    EXPECT_EQ(Texts(), "Time:   1:40|Tiles Left:   66|Average Time:   0:20|Estimated Finish:   9:20");
    EXPECT_EQ(g_standIn.cRefreshes, 0);
    g_standIn.screen = SCREEN_OPTIONS;
    RefreshTexts(true);
    EXPECT_EQ(g_standIn.cRefreshes, 1);
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
        for (POINT pt : {POINT{1, 1}, POINT{16, 17}, POINT{16 + 34, 17 + 11}, POINT{16 + 35, 17}}) {
            const COLORREF c = picture->GetPixelColor(172 + pt.x, 246 + pt.y);
            s += c == FaceColor(SET_ENGLISH, FACE_HINT)              ? " face"
                 : c == CaptionColor(FACE_HINT)                      ? " caption"
                 : c == DownColor(int(anim->GetCurrentFrame() % 10)) ? " frame"
                                                                     : " other";
        }
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
    g_standIn = {SCREEN_TUTORIAL, p.hint, 0};
    for (int step = 0; step < 12; ++step, anim->Step()) {
        EmptyPressedList();
        DisplayTick();
        EXPECT_EQ(shown(), "---x frame caption caption frame") << step;
    }
    EXPECT_EQ(std::tuple(ButtonFaceCell(IDC_VIEWNET), ButtonFaceCell(IDC_HIGHPUBLISH), ButtonFaceCell(1024)),
              std::tuple(FACE_VIEWSCORES, FACE_PUBLISH, -1));
}

TEST_F(DisplayTest, SparklesStayWithinTheCountAndLiveEightPeriods)
{
    Layout("handheld"); // at most 4, one in 3 frames
    std::srand(7);
    const auto tick = [](int effects, int n) {
        g_settings.iEffects = effects;
        int most = 0;
        for (int i = 0; i < n; ++i) {
            DisplayTick();
            most = std::max(most, SparkleCount());
        }
        return most;
    };
    EXPECT_EQ((std::pair{tick(1, 50), tick(2, 400)}), std::pair(0, 4));
    tick(0, 40);
    ASSERT_EQ(SparkleCount(), 0);
    // Follow one sparkle from its birth to its end.
    for (g_settings.iEffects = 2; SparkleCount() == 0;)
        DisplayTick();
    g_settings.iEffects = 0;
    ANIMOBJECT* sparkle = anim->FirstInLayer(iLAYER_SPARKLES);
    const int period = int(sparkle->GetData(1)), first = int(sparkle->GetData(2));
    EXPECT_TRUE(first % 8 == 0 && sparkle->graphic == g_media.rgEffects[first] && sparkle->rect.left <= 240 - 32);
    std::vector<int> shown, expected;
    for (; SparkleCount() == 1; DisplayTick())
        shown.push_back(int(sparkle->GetData(2)));
    for (int i = 0; i < 8 * period; ++i)
        expected.push_back(first + i / period);
    EXPECT_EQ(shown, expected);
}

} // namespace
