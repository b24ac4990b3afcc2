#include "cea_clock.h"
#include "game.h"
#include "hostclock.h"

#include <windows.h>

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

TEST(Clock, StatusValuesAfterEachQuiboWhilePausedAndOnceOver)
{
    SetManualHostClock(true);
    const struct {
        uint32_t found;
        uint32_t fActive, fPaused;
        uint32_t time, average, estimate; // ms
    } cases[] = {{0, 1, 0, 60000, 0, 0},
                 {1, 1, 0, 60000, 60000, 0},
                 {4, 1, 0, 60000, 15000, 0},
                 // 81 - 15 - 12 = 54 tiles left: (54 + 3) / 3 = 19 more quibos of 12 s.
                 {5, 1, 0, 60000, 12000, 60000 + 12000 * 19},
                 // Paused or over, the times last shown stay; over, the estimate is the final time.
                 {5, 1, 1, 1, 2, 3},
                 {5, 0, 0, 1, 2, 1}};
    for (const auto& c : cases) {
        std::memset(&g_game, 0, sizeof g_game);
        for (int i = 0; i < 12; ++i)
            g_game.rgBoard[i / 4][i % 4].fPresent = 1;
        g_game.cFound = c.found;
        g_game.fActive = c.fActive;
        g_game.fPaused = c.fPaused;
        g_game.tStart = EngineTime() - 60000;
        g_status = GAMESTATUS{1, 0, 2, 3};
        RefreshStatus();
        EXPECT_EQ((std::vector<uint32_t>{g_status.dwTime, g_status.cTilesLeft, g_status.dwAverage, g_status.dwEstimate}),
                  (std::vector<uint32_t>{c.time, 81u - 3 * c.found - 12, c.average, c.estimate}))
            << c.found << c.fActive << c.fPaused;
    }
    SetManualHostClock(false);
}

TEST(Clock, TimesReadAsMinutesTheLocaleSeparatorAndTwoDigitSeconds)
{
    WCHAR separator[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 8) <= 0 || !separator[0])
        separator[0] = u':';
    const std::string sep = string(std::u16string(1, separator[0])).c_str();
    const struct {
        uint32_t ms;
        std::string text;
    } cases[] = {{0, "0" + sep + "00"},
                 {999, "0" + sep + "00"},
                 {65000, "1" + sep + "05"},
                 {3599999, "59" + sep + "59"},
                 {6000000, "100" + sep + "00"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatTime(c.ms), c.text.c_str()) << c.ms;
}
