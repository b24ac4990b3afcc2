#include "keys.h"

#include "cea_window.h"
#include "display.h"
#include "frame.h"
#include "game.h"
#include "media.h"
#include "records.h"
#include "screens.h"

#include <gtest/gtest.h>

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
        EXPECT_EQ(to.x, c.to.x) << c.from.x << "," << c.from.y << " key " << c.vk;
        EXPECT_EQ(to.y, c.to.y) << c.from.x << "," << c.from.y << " key " << c.vk;
    }
}

// A game played from the keyboard: the ring appears with the first arrow, Space taps the tile
// under it, the letters give the play buttons' commands, and off the play screen keys do nothing.
TEST(Keys, TheKeyboardPlaysWhatTheMouseDoes)
{
    GameKey().erase();
    ASSERT_TRUE(StartUp(nullptr));
    ASSERT_TRUE(LoadImages());
    HWND main = CreateMainWindow();
    ASSERT_TRUE(main);
    ShowScreen(SCREEN_PLAY, true);
    // Each key waits for the flights it starts, as a player waits to see the board.
    const auto key = [&](UINT vk) {
        SendMessageW(main, WM_KEYDOWN, vk, 0);
        DisplayWindow()->AdvanceTo(kLastScheduledFrame);
    };
    DisplayWindow()->AdvanceTo(kLastScheduledFrame);

    EXPECT_EQ(FocusSlot().x, -1);
    key(VK_RIGHT); // shows the ring where play starts
    EXPECT_EQ(FocusSlot().x, 0);
    EXPECT_EQ(FocusSlot().y, 0);
    key(VK_RIGHT);
    key(VK_DOWN);
    ASSERT_EQ(FocusSlot().x, 1);
    ASSERT_EQ(FocusSlot().y, 1);
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
