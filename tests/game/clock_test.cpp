#include "cea_clock.h"
#include "game.h"
#include "hostclock.h"
#include "tile_samples.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

TEST(Clock, StatusValuesAfterEachQuiboWhilePausedAndOnceOver)
{
    SetManualHostClock(true);
    // Quibos found, active, paused; then the time, tiles left, average and estimate (ms) shown.
    // Paused or over, the times last shown stay; over, the estimate is the final time.
    const uint32_t cases[][7]
        = {{0, 1, 0, 60000, 69, 0, 0},     {1, 1, 0, 60000, 66, 60000, 0},
           {4, 1, 0, 60000, 57, 15000, 0}, {5, 1, 0, 60000, 54, 12000, 60000 + 12000 * 19}, // (54 + 3) / 3 more quibos of 12 s
           {5, 1, 1, 1, 54, 2, 3},         {5, 0, 0, 1, 54, 2, 1}};
    for (const auto& c : cases) {
        DealBoard(kQuiboFree, 12);
        g_game.cFound = c[0], g_game.fActive = c[1], g_game.fPaused = c[2];
        g_game.tStart = EngineTime() - 60000;
        g_status = GAMESTATUS{1, 0, 2, 3};
        RefreshStatus();
        EXPECT_EQ((std::vector<uint32_t>{g_status.dwTime, g_status.cTilesLeft, g_status.dwAverage, g_status.dwEstimate}),
                  std::vector<uint32_t>(c + 3, c + 7))
            << c[0] << c[1] << c[2];
    }
    SetManualHostClock(false);
}

TEST(Clock, TimesReadAsMinutesTheLocaleSeparatorAndTwoDigitSeconds)
{
    WCHAR separator[8] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 8);
    const std::string sep = string(std::u16string(1, separator[0] ? separator[0] : u':')).c_str();
    const std::tuple<uint32_t, std::string, std::string> cases[]
        = {{0, "0", "00"}, {999, "0", "00"}, {65000, "1", "05"}, {3599999, "59", "59"}, {6000000, "100", "00"}};
    for (const auto& [ms, minutes, seconds] : cases)
        EXPECT_EQ(FormatTime(ms), (minutes + sep + seconds).c_str()) << ms;
}
