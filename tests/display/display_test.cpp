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
#include "records.h"
#include "screens.h"
#include "screens_stand_in.h"
#include "sequencer.h"
#include "window_support.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

COLORREF FaceColor(int set, int cell)
{
    return RGB(20 + cell * 10, set ? 200 : 100, 30);
}

// Synthetic media: each face, frame and caption of one colour, tiles of a fixed size.
class PlayScreenTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        saved = g_settings;
        savedMedia = g_media;
        g_settings = {};
        g_game = {};
        g_status = {};
        for (int set = 0; set < cFACESETS; ++set) {
            for (int i = 0; i < cBUTTON_FACES; ++i) {
                g_media.rgFaces[set][i] = Made(cxBUTTON, cyBUTTON, FaceColor(set, i));
                g_media.rgCaptions[set][i] = Made(cxCAPTION, cyCAPTION, RGB(1, 2, 200 + i));
            }
        }
        for (int i = 0; i < cBUTTON_FRAMES; ++i)
            g_media.rgButtonsDown[i] = Made(cxBUTTON, cyBUTTON, RGB(250, i * 20, 0));
        for (int i = 0; i < cEFFECT_FRAMES; ++i)
            g_media.rgEffects[i] = Made(cxEFFECT, cyEFFECT, RGB(i, i, i));
        g_media.rgTiles[TILE_NORMAL] = Made(85, 92, RGB(128, 128, 128));
        RegisterRecordingClass();
        target = CreateWindowExW(0, u"RecordingWindow", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        SetDisplayWindow(anim, target);
        ClearLog();
        SetManualHostClock(true);
    }
    void TearDown() override
    {
        DisplayTest::TearDown();
        SetManualHostClock(false);
        DestroyWindow(target);
        for (Graphic* g : made)
            MEM_DELETE(g);
        g_media = savedMedia;
        g_settings = saved;
        g_game = {};
    }

    Graphic* Made(int cx, int cy, COLORREF color) { return made.emplace_back(FilledGraphic(cx, cy, color)); }

    static std::string Text(ANIMTEXT* text) { return std::string(text->GetText().View()); }
    // The play screen's time, tiles, average and estimate texts.
    static std::vector<std::string> Texts()
    {
        const PLAYELEMENTS& p = PlayElements();
        return {Text(p.time), Text(p.tiles), Text(p.average), Text(p.estimate)};
    }

    SETTINGS saved{};
    MEDIASET savedMedia{};
    std::vector<Graphic*> made;
    HWND target = nullptr;
};

struct TILECASE {
    const char* layout;
    int yTop, xFour, xFive; // the class's values
};

TEST_F(PlayScreenTest, TilesTakeTheirPlacesOnEveryLayout)
{
    const TILECASE layouts[] = {{"large", 33, 77, 33}, {"small", 13, 54, 13}, {"handheld", 50, 26, 4}};
    const int W = 85, H = 92, cx = 3, cy = 4;
    for (const TILECASE& l : layouts) {
        SCOPED_TRACE(l.layout);
        LoadShippedLayout(l.layout);
        FitWindowToLayout();
        for (int five = 0; five < 2; ++five) {
            for (int row = 0; row < 3; ++row) {
                for (int column = 0; column < 4 + five; ++column) {
                    const RECT r = TilePosition(column, row, five);
                    const LONG x = (five ? l.xFive : l.xFour) + (W + cx) * column, y = l.yTop + (H + cy) * row;
                    EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}), std::vector<LONG>({x, y, x + W, y + H}));
                }
            }
            // From the deck: right of the window, at the middle row whatever the row asked.
            // Leaving: below the window, under the five-column board.
            const RECT arriving = TilePosition(-1, 2, five), leaving = TilePosition(3, -1, five);
            EXPECT_EQ(std::tuple(arriving.left, arriving.top, leaving.left, leaving.top),
                      std::tuple(anim->GetWidth(), l.yTop + H + cy, l.xFive + (l.xFive + 4 * cx + 5 * W - W) / 2, anim->GetHeight()));
        }
    }
}

TEST_F(PlayScreenTest, ElementsComeFromTheLayoutOrNotAtAll)
{
    LoadShippedLayout("handheld");
    BuildPlayScreen();
    const PLAYELEMENTS& p = PlayElements();
    EXPECT_TRUE(p.exit && !p.average && !p.estimate && !p.logo);
    const RECT exit = p.exit->GetRect(), time = p.time->GetRect();
    EXPECT_EQ(std::vector<LONG>({exit.left, exit.bottom, p.exit->Object()->GetLayer(), time.left, time.top, time.right, time.bottom}),
              std::vector<LONG>({172, 46, iLAYER_ELEMENTS, 10, 251, 115, 269}));
    EXPECT_EQ(std::tuple(p.time->GetColor(kColorText), p.time->GetColor(kColorBackground)), std::tuple(crHIGHLIGHT, kNoColor));
    DeletePlayElements();
    EXPECT_EQ(PlayElements().time, nullptr);

    LoadShippedLayout("large");
    BuildPlayScreen();
    EXPECT_EQ(PlayElements().exit, nullptr);
    ASSERT_NE(PlayElements().estimate, nullptr);
    EXPECT_EQ(PlayElements().estimate->GetStyle(), DWORD(4));
    ANIMTEXT* row = MakeText("text-estimate", string("x"), false, 25);
    EXPECT_EQ(row->GetRect().top, 470 + 25);
    DeleteElement(row);
}

struct ENTRANCE {
    int screen;
    int left, top, right, bottom; // target
    int expectedLeft, expectedTop;
};

TEST_F(PlayScreenTest, ElementsFlyInFromTheNearestEdge)
{
    LoadShippedLayout("large"); // a 760 x 520 window
    g_settings.iEffects = 1;
    g_settings.fSmoothAnimation = 1;
    const ENTRANCE cases[] = {
        {SCREEN_OPTIONS, 20, 70, 88, 116, -68, 70}, // upper left: from the left
        {SCREEN_PLAY, 20, 70, 88, 116, 20, -46}, // the same on the play screen: from above
        {SCREEN_OPTIONS, 586, 352, 654, 398, 760, 352}, // lower right: from the right
        {SCREEN_PLAY, 586, 352, 654, 398, 586, 520}, // from below
        {SCREEN_MENU, 350, 300, 418, 346, 350, 520}, // straddling the middle: from below
    };
    for (const ENTRANCE& c : cases) {
        g_standIn.screen = c.screen;
        ANIMOBJECT* object = ANIMOBJECT::Create(anim, static_cast<Graphic*>(nullptr), 150);
        const RECT to{c.left, c.top, c.right, c.bottom};
        PlaceElement(object, to);
        EXPECT_EQ(std::tuple(object->rect.left, object->rect.top), std::tuple(LONG(c.expectedLeft), LONG(c.expectedTop)))
            << c.screen << " " << c.left;
        anim->AdvanceTo(kLastScheduledFrame);
        EXPECT_TRUE(EqualRect(&object->rect, &to));
        object->Destroy();
    }
    g_settings.iEffects = 0;
    ANIMOBJECT* still = ANIMOBJECT::Create(anim, static_cast<Graphic*>(nullptr), 150);
    const DWORD end = anim->GetEndFrame();
    PlaceElement(still, RECT{5, 6, 7, 8});
    EXPECT_EQ(std::tuple(still->rect.left, anim->GetEndFrame()), std::tuple(LONG(5), end));
    still->Destroy();
}

TEST_F(PlayScreenTest, StatusTextsAreRebuiltOnlyWhenTheirValueChanges)
{
    LoadShippedLayout("large");
    g_game.fActive = 1;
    g_game.tStart = EngineTime() - 65000;
    g_game.cFound = 0;
    BuildPlayScreen();
    const PLAYELEMENTS& p = PlayElements();
    using Shown = std::vector<std::string>;
    EXPECT_EQ(Texts(), Shown({"Time:   1:05", "Tiles Left:   81", "", ""})); // no quibo yet
    for (ANIMTEXT* t : {p.time, p.tiles, p.average, p.estimate})
        t->SetText(string("kept"));
    AdvanceHostClock(400); // still 1:05, but the time's value moved
    RefreshTexts(false);
    EXPECT_EQ(Texts(), Shown({"Time:   1:05", "kept", "kept", "kept"}));
    p.time->SetText(string("kept"));
    RefreshTexts(false);
    EXPECT_EQ(Text(p.time), "kept");
    RefreshTexts(true);
    EXPECT_EQ(Texts(), Shown({"Time:   1:05", "Tiles Left:   81", "", ""}));
    g_game.cFound = 5;
    AdvanceHostClock(100000 - 65400);
    RefreshTexts(false); // 100 s + 20 s x 23
    EXPECT_EQ(Texts(), Shown({"Time:   1:40", "Tiles Left:   66", "Average Time:   0:20", "Estimated Finish:   9:20"}));
    EXPECT_EQ(g_standIn.cRefreshes, 0);
    g_standIn.screen = SCREEN_OPTIONS;
    RefreshTexts(true);
    EXPECT_EQ(g_standIn.cRefreshes, 1);
}

TEST_F(PlayScreenTest, PressingMovesTheShimmerAndTheClickReachesTheMainWindow)
{
    LoadShippedLayout("handheld");
    BuildPlayScreen();
    const PLAYELEMENTS& p = PlayElements();
    DisplayTick(); // no game: New shimmers as the guide
    EXPECT_TRUE(IsPressed(p.newGame->Object()));
    PushButton(hwnd, true, 10, 10); // on Menu
    PumpReady();
    EXPECT_TRUE(IsPressed(p.menu->Object()) && !IsPressed(p.newGame->Object()));
    PushButton(hwnd, false, 10, 10);
    PumpReady();
    EXPECT_FALSE(IsPressed(p.menu->Object()));
    ASSERT_EQ(LogOf(WM_COMMAND).size(), 1u);
    EXPECT_EQ(LogOf(WM_COMMAND)[0].wParam, WPARAM(IDC_MENU));
    // A running, paused game makes Pause the guide; a running one has none.
    g_game.fActive = 1;
    g_game.fPaused = 1;
    DisplayTick();
    EXPECT_TRUE(IsPressed(p.pause->Object()));
    EmptyPressedList();
    g_game.fPaused = 0;
    DisplayTick();
    EXPECT_FALSE(IsPressed(p.pause->Object()) || IsPressed(p.newGame->Object()));
    g_standIn.screen = SCREEN_TUTORIAL;
    g_standIn.tutorialGuide = p.hint;
    DisplayTick();
    EXPECT_TRUE(IsPressed(p.hint->Object()));
}

TEST_F(PlayScreenTest, AButtonShowsItsFaceOrThePressedFrameWithItsCaption)
{
    LoadShippedLayout("handheld");
    BuildPlayScreen();
    ANIMOBJECT* hint = PlayElements().hint->Object();
    Graphic* picture = FilledGraphic(240, 294, RGB(0, 0, 0));
    hint->Draw(picture, {0, 0, 240, 294});
    EXPECT_EQ(std::tuple(picture->GetPixelColor(172 + 1, 246 + 1), picture->GetPixelColor(172 + 20, 246 + 20)),
              std::tuple(FaceColor(SET_ENGLISH, FACE_HINT), FaceColor(SET_ENGLISH, FACE_HINT)));
    for (int step = 0; step < 12; ++step) {
        EmptyPressedList();
        g_game.fActive = 1;
        g_standIn.screen = SCREEN_TUTORIAL;
        g_standIn.tutorialGuide = PlayElements().hint;
        DisplayTick();
        hint->Draw(picture, {0, 0, 240, 294});
        // The shimmering frame around the caption.
        const COLORREF frame = RGB(250, (anim->GetCurrentFrame() % 10) * 20, 0), caption = RGB(1, 2, 200 + FACE_HINT);
        EXPECT_EQ(
            std::vector<COLORREF>({picture->GetPixelColor(172 + 1, 246 + 1), picture->GetPixelColor(172 + 16, 246 + 17),
                                   picture->GetPixelColor(172 + 16 + 34, 246 + 17 + 11), picture->GetPixelColor(172 + 16 + 35, 246 + 17)}),
            std::vector<COLORREF>({frame, caption, caption, frame}));
        anim->Step();
    }
    MEM_DELETE(picture);
    EXPECT_EQ(std::tuple(ButtonFaceCell(IDC_VIEWNET), ButtonFaceCell(IDC_HIGHPUBLISH), ButtonFaceCell(1024)),
              std::tuple(FACE_VIEWSCORES, FACE_PUBLISH, -1));
}

TEST_F(PlayScreenTest, SparklesStayWithinTheCountAndLiveEightPeriods)
{
    LoadShippedLayout("handheld"); // at most 4, one in 3 frames
    std::srand(7);
    g_settings.iEffects = 1;
    for (int i = 0; i < 50; ++i)
        DisplayTick();
    EXPECT_EQ(SparkleCount(), 0);
    g_settings.iEffects = 2;
    int most = 0;
    for (int i = 0; i < 400; ++i) {
        DisplayTick();
        most = std::max(most, SparkleCount());
        EXPECT_LE(SparkleCount(), 4);
    }
    EXPECT_EQ(most, 4);
    // Follow one sparkle from its birth to its end.
    g_settings.iEffects = 0;
    for (int i = 0; i < 40; ++i)
        DisplayTick();
    ASSERT_EQ(SparkleCount(), 0);
    g_settings.iEffects = 2;
    while (SparkleCount() == 0)
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
