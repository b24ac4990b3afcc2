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

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// A first start (no records) up to its first screen, the intro left out; then the main
// window's commands as its buttons send them, and its keys: the ring appears with the first
// arrow, Space taps the tile under it, the letters give the play buttons' commands, and off
// the play screen keys do nothing. Each step waits for the flights it starts, as a player
// waits to see the board.
TEST(Frame, AFirstStartThenTheCommandsAndKeysOfTheMainWindow)
{
    GameKey().erase();
    ASSERT_TRUE(StartUp(nullptr) && LoadImages());
    HWND main = CreateMainWindow();
    ASSERT_TRUE(main);
    ShowFirstScreen();
    RECT window, control;
    GetWindowRect(main, &window);
    GetClientRect(GetDlgItem(main, 1001), &control);
    const RECT layout{0, 0, LayoutNumber("cxWINDOW"), LayoutNumber("cyWINDOW")};
    EXPECT_TRUE(EqualRect(&window, &layout) && EqualRect(&control, &layout));

    // The screen (Play, Menu, Options, Tutorial, High scores), whether a game is on and whether
    // paused, the focus, the tiles selected and on the board.
    const auto state = [] {
        const int selected = int(std::count_if(&g_game.rgBoard[0][0], &g_game.rgBoard[0][0] + cROWS * cCOLUMNS,
                                               [](const PIECE& p) { return p.fPresent && p.fSelected; }));
        return std::string(1, "-PMOTH"[CurrentScreen()]) + " " + std::to_string(g_game.fActive) + std::to_string(g_game.fPaused) + " "
               + std::to_string(FocusSlot().x) + "," + std::to_string(FocusSlot().y) + " " + std::to_string(selected) + " "
               + std::to_string(CountTiles());
    };
    const std::tuple<UINT, WPARAM, const char*> steps[] = {
        {0, 0, "T 00 -1,-1 0 0"},
        {WM_COMMAND, 1022, "P 10 -1,-1 0 12"}, // the first tutorial's Done starts a game
        {WM_COMMAND, 1002, "M 11 -1,-1 0 12"}, // the menu pauses it
        {WM_COMMAND, 1008, "T 11 -1,-1 0 12"},
        {WM_COMMAND, 1022, "M 11 -1,-1 0 12"}, // a game is on: back to the menu
        {WM_COMMAND, 1009, "O 11 -1,-1 0 12"},
        {WM_COMMAND, 1019, "M 11 -1,-1 0 12"},
        {WM_COMMAND, 1010, "H 11 -1,-1 0 12"},
        {WM_COMMAND, 1023, "M 11 -1,-1 0 12"},
        {WM_COMMAND, 1013, "P 10 -1,-1 0 12"}, // leaving the menu resumes
        {WM_COMMAND, 1003, "P 11 -1,-1 0 12"},
        {WM_COMMAND, 1003, "P 10 -1,-1 0 12"},
        {WM_ACTIVATE, WA_INACTIVE, "P 11 -1,-1 0 12"}, // deactivation pauses
        {WM_ACTIVATE, WA_ACTIVE, "P 11 -1,-1 0 12"}, // and activation does not resume
        {WM_COMMAND, 1004, "P 10 -1,-1 0 12"},
        {WM_KEYDOWN, VK_RIGHT, "P 10 0,0 0 12"}, // shows the ring where play starts
        {WM_KEYDOWN, VK_RIGHT, "P 10 1,0 0 12"},
        {WM_KEYDOWN, VK_DOWN, "P 10 1,1 0 12"},
        {WM_KEYDOWN, VK_SPACE, "P 10 1,1 1 12"},
        {WM_KEYDOWN, VK_RETURN, "P 10 1,1 0 12"},
        {WM_KEYDOWN, 'P', "P 11 -1,-1 0 12"}, // a paused board hides its tiles, and the ring with them
        {WM_KEYDOWN, 'P', "P 10 -1,-1 0 12"},
        {WM_KEYDOWN, 'A', "P 10 -1,-1 0 15"},
        {WM_KEYDOWN, 'M', "M 11 -1,-1 0 15"},
        {WM_KEYDOWN, 'N', "M 11 -1,-1 0 15"}, // not a key of the menu screen
    };
    for (const auto& [message, wParam, after] : steps) {
        if (message)
            SendMessageW(main, message, wParam, 0);
        DisplayWindow()->AdvanceTo(kLastScheduledFrame);
        RefreshFocus();
        EXPECT_EQ(state(), after) << message << " " << wParam;
    }

    // Options change and are stored at once.
    const SETTINGS before = g_settings;
    for (WPARAM option : {1014, 1015, 1016, 1017})
        SendMessageW(main, WM_COMMAND, option, 0);
    SETTINGS& s = g_settings = {};
    ASSERT_TRUE(ReadSettings());
    EXPECT_EQ((std::vector<uint32_t>{s.iEffects, s.fSmoothAnimation, s.fSoundEffects, s.fMusic}),
              (std::vector<uint32_t>{(before.iEffects + 1) % 3, !before.fSmoothAnimation, !before.fSoundEffects, !before.fMusic}));
    for (LANGID language : {LANGID_ESPERANTO, LANGID_ENGLISH}) {
        SendMessageW(main, WM_COMMAND, 1018, 0);
        EXPECT_EQ(CurrentLanguageId(), language);
    }
    // Exit closes the window; the shutdown writes the records back.
    g_settings.dwReserved = 0x1234;
    SendMessageW(main, WM_COMMAND, 1005, 0);
    EXPECT_FALSE(IsWindow(main));
    ShutDown();
    EXPECT_TRUE((g_settings = {}, ReadSettings()) && s.dwReserved == 0x1234u);
}

TEST(Frame, TheWindowScalesByTheLargestWholeFactorThatFitsOrAsForced)
{
    const std::tuple<SIZE, const char*, int> cases[]
        = {{{2560, 1440}, nullptr, 2}, {{1920, 1080}, nullptr, 2}, {{1280, 1024}, nullptr, 1}, {{3840, 2160}, nullptr, 4},
           {{2560, 1440}, "1", 1},     {{1280, 1024}, "3", 3},     {{2560, 1440}, "x", 2},     {{2560, 1440}, "9", 2}};
    for (const auto& [screen, forced, scale] : cases)
        EXPECT_EQ(WindowScale(screen, {760, 520}, forced), scale) << screen.cx << " " << (forced ? forced : "");
    EXPECT_EQ(WindowScale({2560, 1440}, {0, 0}, nullptr), 1);
}

// From an emptied slot the focus goes to the row's last tile, else to the nearest row, the one above first.
TEST(Keys, ArrowsStopAtTheEdgesAndLeaveEmptiedSlotsForTheNearestTile)
{
    const std::tuple<std::vector<int>, POINT, UINT, POINT> cases[]
        = {{{4, 4, 4}, {0, 0}, VK_LEFT, {0, 0}},  {{4, 4, 4}, {0, 0}, VK_UP, {0, 0}},    {{4, 4, 4}, {3, 2}, VK_RIGHT, {3, 2}},
           {{4, 4, 4}, {3, 2}, VK_DOWN, {3, 2}},  {{4, 4, 4}, {1, 1}, VK_RIGHT, {2, 1}}, {{4, 4, 4}, {1, 1}, VK_DOWN, {1, 2}},
           {{5, 5, 5}, {3, 0}, VK_RIGHT, {4, 0}}, {{5, 3, 4}, {4, 0}, VK_DOWN, {2, 1}},  {{4, 0, 4}, {2, 0}, VK_DOWN, {2, 2}},
           {{4, 0, 4}, {2, 2}, VK_UP, {2, 0}},    {{4, 2, 4}, {3, 1}, VK_RIGHT, {1, 1}}, {{4, 0, 3}, {1, 1}, VK_LEFT, {1, 0}},
           {{0, 0, 3}, {1, 0}, 0, {1, 2}},        {{0, 0, 0}, {1, 1}, VK_LEFT, {-1, -1}}};
    for (const auto& [rows, from, vk, to] : cases) {
        const POINT got = MoveFocus(from, vk, rows.data());
        EXPECT_EQ(got.x * 10 + got.y, to.x * 10 + to.y) << from.x << "," << from.y << " key " << vk;
    }
}
