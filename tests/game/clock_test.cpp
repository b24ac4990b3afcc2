#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <windows.h>

#include "cea_clock.h"
#include "game.h"

namespace {

DWORD g_now;

DWORD scriptedClock()
{
    return g_now;
}

class Clock : public testing::Test {
protected:
    void SetUp() override
    {
        SetEngineClockSource(scriptedClock);
        std::memset(&g_game, 0, sizeof g_game);
        std::memset(&g_status, 0, sizeof g_status);
        g_now = 1000000;
        g_game.fActive = 1;
        g_game.tStart = g_now;
    }
    void TearDown() override { SetEngineClockSource(nullptr); }

    // A board of twelve tiles after `found` quibos.
    static void takeQuibos(uint32_t found)
    {
        for (int i = 0; i < 12; ++i)
            g_game.rgBoard[i / 4][i % 4].fPresent = 1;
        g_game.cFound = found;
        g_game.iNextTile = 12 + 3 * found;
    }
};

std::string separated(const char* minutes, const char* seconds)
{
    WCHAR separator[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 8) <= 0 || !separator[0])
        separator[0] = u':';
    return std::string(minutes) + string(std::u16string(1, separator[0])).c_str() + seconds;
}

} // namespace

TEST_F(Clock, PenaltiesAddToTheTimeAndTheClockRunsFromTheStart)
{
    g_now += 1234;
    EXPECT_EQ(ElapsedTime(), 1234u);
    Penalise(tPENALTY_HINT_PAIR);
    EXPECT_EQ(ElapsedTime(), 31234u);
    // A start moved back past zero still gives the right difference.
    g_game.tStart = 5;
    g_now = 2;
    EXPECT_EQ(ElapsedTime(), 0xFFFFFFFDu);
}

TEST_F(Clock, AverageAfterTheFirstQuiboAndEstimateAfterTheFifth)
{
    const struct {
        uint32_t found;
        uint32_t average;
        uint32_t estimate;
    } cases[] = {
        {0, 0, 0},
        {1, 60000, 0},
        {4, 15000, 0},
        // 81 - 15 - 12 = 54 tiles left: (54 + 3) / 3 = 19 more quibos of 12 s.
        {5, 12000, 60000 + 12000 * 19},
    };
    for (const auto& c : cases) {
        takeQuibos(c.found);
        g_game.tStart = g_now - 60000;
        RefreshStatus();
        EXPECT_EQ(g_status.dwTime, 60000u) << c.found;
        EXPECT_EQ(g_status.cTilesLeft, 81u - 3 * c.found - 12) << c.found;
        EXPECT_EQ(g_status.dwAverage, c.average) << c.found;
        EXPECT_EQ(g_status.dwEstimate, c.estimate) << c.found;
    }
}

TEST_F(Clock, PausedOrOverTheTimesStayAndTheEstimateShowsTheFinalTime)
{
    takeQuibos(6);
    g_now += 90000;
    RefreshStatus();
    const GAMESTATUS running = g_status;

    g_game.fPaused = 1;
    g_now += 50000;
    RefreshStatus();
    EXPECT_EQ(g_status.dwTime, running.dwTime);
    EXPECT_EQ(g_status.dwEstimate, running.dwEstimate);

    g_game.fPaused = 0;
    g_game.fActive = 0;
    g_game.rgBoard[0][0].fPresent = 0;
    RefreshStatus();
    EXPECT_EQ(g_status.dwTime, running.dwTime);
    EXPECT_EQ(g_status.dwAverage, running.dwAverage);
    EXPECT_EQ(g_status.dwEstimate, running.dwTime);
    EXPECT_EQ(g_status.cTilesLeft, running.cTilesLeft + 1);
}

TEST(FormatTime, MinutesSeparatorAndTwoDigitSeconds)
{
    const struct {
        uint32_t ms;
        const char* minutes;
        const char* seconds;
    } cases[] = {
        {0, "0", "00"}, {999, "0", "00"}, {65000, "1", "05"}, {3599999, "59", "59"}, {6000000, "100", "00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatTime(c.ms), separated(c.minutes, c.seconds).c_str()) << c.ms;
}
