#include "frame.h"

#include "cea_window.h"
#include "display.h"
#include "game.h"
#include "keys.h"
#include "language.h"
#include "layout.h"
#include "media.h"
#include "records.h"
#include "screens.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

void send(HWND main, UINT message, WPARAM wParam)
{
    SendMessageW(main, message, wParam, 0);
}

SETTINGS storedSettings()
{
    SETTINGS stored{};
    registry::value(GameKey(), u"Settings").readVersioned(RECORD_VERSION, &stored, sizeof stored);
    return stored;
}

// A first start (no records) up to its main window, the intro left out.
HWND firstStart()
{
    GameKey().erase();
    if (!StartUp(nullptr) || !LoadImages())
        return nullptr;
    return CreateMainWindow();
}

} // namespace

// A first start up to its first screen; then the main window's commands, as its buttons send them.
TEST(Frame, AFirstStartThenTheCommandsOfTheMainWindow)
{
    HWND main = firstStart();
    ASSERT_TRUE(main);
    ShowFirstScreen();
    EXPECT_EQ(CurrentScreen(), SCREEN_TUTORIAL);

    RECT window, control;
    GetWindowRect(main, &window);
    GetClientRect(GetDlgItem(main, 1001), &control);
    const RECT layout{0, 0, LayoutNumber("cxWINDOW"), LayoutNumber("cyWINDOW")};
    EXPECT_TRUE(EqualRect(&window, &layout) && EqualRect(&control, &layout));

    const struct {
        UINT message;
        WPARAM wParam;
        int screen;
        bool active, paused;
    } steps[] = {
        {WM_COMMAND, 1022, SCREEN_PLAY, true, false}, // the first tutorial's Done starts a game
        {WM_COMMAND, 1002, SCREEN_MENU, true, true}, // the menu pauses it
        {WM_COMMAND, 1008, SCREEN_TUTORIAL, true, true},     {WM_COMMAND, 1022, SCREEN_MENU, true, true}, // a game is on: back to the menu
        {WM_COMMAND, 1009, SCREEN_OPTIONS, true, true},      {WM_COMMAND, 1019, SCREEN_MENU, true, true},
        {WM_COMMAND, 1010, SCREEN_HIGHSCORES, true, true},   {WM_COMMAND, 1023, SCREEN_MENU, true, true},
        {WM_COMMAND, 1013, SCREEN_PLAY, true, false}, // leaving the menu resumes
        {WM_COMMAND, 1003, SCREEN_PLAY, true, true},         {WM_COMMAND, 1003, SCREEN_PLAY, true, false},
        {WM_ACTIVATE, WA_INACTIVE, SCREEN_PLAY, true, true}, // deactivation pauses
        {WM_ACTIVATE, WA_ACTIVE, SCREEN_PLAY, true, true}, // and activation does not resume
        {WM_COMMAND, 1004, SCREEN_PLAY, true, false},        {WM_COMMAND, 1024, SCREEN_PLAY, true, false}};
    for (const auto& step : steps) {
        send(main, step.message, step.wParam);
        EXPECT_EQ((std::vector<int>{CurrentScreen(), g_game.fActive != 0, g_game.fPaused != 0}),
                  (std::vector<int>{step.screen, step.active, step.paused}))
            << step.wParam;
    }

    // Options change and are stored at once.
    const SETTINGS before = g_settings;
    for (WPARAM option : {1014, 1015, 1016, 1017})
        send(main, WM_COMMAND, option);
    const SETTINGS s = storedSettings();
    EXPECT_EQ((std::vector<uint32_t>{s.iEffects, s.fSmoothAnimation, s.fSoundEffects, s.fMusic}),
              (std::vector<uint32_t>{(before.iEffects + 1) % 3, !before.fSmoothAnimation, !before.fSoundEffects, !before.fMusic}));
    for (LANGID language : {LANGID_ESPERANTO, LANGID_ENGLISH}) {
        send(main, WM_COMMAND, 1018);
        EXPECT_EQ(CurrentLanguageId(), language);
    }

    // Exit closes the window; the shutdown writes the records back.
    g_settings.dwReserved = 0x1234;
    send(main, WM_COMMAND, 1005);
    EXPECT_FALSE(IsWindow(main));
    ShutDown();
    EXPECT_EQ(storedSettings().dwReserved, 0x1234u);
}

TEST(Frame, TheWindowScalesByTheLargestWholeFactorThatFitsOrAsForced)
{
    const struct {
        SIZE screen;
        const char* forced;
        int scale;
    } cases[] = {{{2560, 1440}, nullptr, 2}, {{1920, 1080}, nullptr, 2}, {{1280, 1024}, nullptr, 1}, {{3840, 2160}, nullptr, 4},
                 {{2560, 1440}, "1", 1},     {{1280, 1024}, "3", 3},     {{2560, 1440}, "x", 2},     {{2560, 1440}, "9", 2}};
    for (const auto& c : cases)
        EXPECT_EQ(WindowScale(c.screen, {760, 520}, c.forced), c.scale)
            << c.screen.cx << "x" << c.screen.cy << " " << (c.forced ? c.forced : "");
    EXPECT_EQ(WindowScale({2560, 1440}, {0, 0}, nullptr), 1);
}

TEST(Keys, ArrowsStopAtTheEdgesAndLeaveEmptiedSlotsForTheNearestTile)
{
    const struct {
        int rows[cROWS];
        POINT from;
        UINT vk;
        POINT to;
    } cases[] = {
        {{4, 4, 4}, {0, 0}, VK_LEFT, {0, 0}},   {{4, 4, 4}, {0, 0}, VK_UP, {0, 0}},    {{4, 4, 4}, {3, 2}, VK_RIGHT, {3, 2}},
        {{4, 4, 4}, {3, 2}, VK_DOWN, {3, 2}},   {{4, 4, 4}, {1, 1}, VK_RIGHT, {2, 1}}, {{4, 4, 4}, {1, 1}, VK_DOWN, {1, 2}},
        {{5, 5, 5}, {3, 0}, VK_RIGHT, {4, 0}},  {{5, 3, 4}, {4, 0}, VK_DOWN, {2, 1}}, // a shorter row: its last tile
        {{4, 0, 4}, {2, 0}, VK_DOWN, {2, 2}},   {{4, 0, 4}, {2, 2}, VK_UP, {2, 0}}, // an empty row is passed over
        {{4, 2, 4}, {3, 1}, VK_RIGHT, {1, 1}}, // a taken tile: the focus goes to the row's last one first
        {{4, 0, 3}, {1, 1}, VK_LEFT, {1, 0}},   {{0, 0, 3}, {1, 0}, 0, {1, 2}}, // an emptied row: the nearest, above first
        {{0, 0, 0}, {1, 1}, VK_LEFT, {-1, -1}}, // no tiles, no focus
    };
    for (const auto& c : cases) {
        const POINT to = MoveFocus(c.from, c.vk, c.rows);
        EXPECT_EQ(to.x * 10 + to.y, c.to.x * 10 + c.to.y) << c.from.x << "," << c.from.y << " key " << c.vk;
    }
}

// A game played from the keyboard: the ring appears with the first arrow, Space taps the tile
// under it, the letters give the play buttons' commands, and off the play screen keys do nothing.
TEST(Keys, TheKeyboardPlaysWhatTheMouseDoes)
{
    HWND main = firstStart();
    ASSERT_TRUE(main);
    ShowScreen(SCREEN_PLAY, true);
    // Each key waits for the flights it starts, as a player waits to see the board.
    const auto key = [&](UINT vk) {
        SendMessageW(main, WM_KEYDOWN, vk, 0);
        DisplayWindow()->AdvanceTo(kLastScheduledFrame);
    };
    DisplayWindow()->AdvanceTo(kLastScheduledFrame);

    const auto focus = [] { return std::pair(FocusSlot().x, FocusSlot().y); };
    EXPECT_EQ(FocusSlot().x, -1);
    key(VK_RIGHT); // shows the ring where play starts
    EXPECT_EQ(focus(), std::pair(0, 0));
    key(VK_RIGHT);
    key(VK_DOWN);
    ASSERT_EQ(focus(), std::pair(1, 1));
    key(VK_SPACE);
    EXPECT_TRUE(g_game.rgBoard[1][1].fSelected);
    key(VK_RETURN);
    EXPECT_FALSE(g_game.rgBoard[1][1].fSelected);

    key('P');
    EXPECT_TRUE(g_game.fPaused);
    RefreshFocus(); // a paused board hides its tiles, and the ring with them
    EXPECT_EQ(FocusSlot().x, -1);
    key(VK_SPACE);
    EXPECT_FALSE(g_game.rgBoard[0][0].fSelected);
    key('P');
    EXPECT_FALSE(g_game.fPaused);

    const int tiles = CountTiles();
    key('A');
    EXPECT_EQ(CountTiles(), tiles + 3);
    key('M');
    EXPECT_EQ(CurrentScreen(), SCREEN_MENU);
    key('N'); // not a key of the menu screen
    EXPECT_EQ(CurrentScreen(), SCREEN_MENU);
    DestroyWindow(main);
    ShutDown();
}
