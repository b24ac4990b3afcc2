#include "cea_clock.h"

#include "windows.h"

#include <gtest/gtest.h>

namespace {

DWORD FixedTime()
{
    return 123456;
}

TEST(ClockTest, FollowsTheCounterWithoutLosingFractions)
{
    StartEngineClock();
    const DWORD start = EngineTime();
    const DWORD tickStart = GetTickCount();
    // Many readings in quick succession must not slow the clock down.
    while (GetTickCount() - tickStart < 60)
        EngineTime();
    const DWORD elapsed = EngineTime() - start;
    const DWORD tickElapsed = GetTickCount() - tickStart;
    EXPECT_GE(elapsed + 10, tickElapsed);
    EXPECT_LE(elapsed, tickElapsed + 10);
}

TEST(ClockTest, ATestSourceReplacesTheClockUntilRemoved)
{
    EXPECT_EQ(SetEngineClockSource(FixedTime), nullptr);
    EXPECT_EQ(EngineTime(), 123456u);
    EXPECT_EQ(SetEngineClockSource(nullptr), FixedTime);
    EXPECT_NE(EngineTime(), 123456u);
}

} // namespace
