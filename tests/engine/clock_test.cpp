#include "cea_clock.h"

#include "windows.h"

#include <gtest/gtest.h>

namespace {

TEST(ClockTest, FollowsTheCounterWithoutLosingFractions)
{
    StartEngineClock();
    // Each interval is read inside the other's bounds, so a pause of the test thread anywhere
    // widens only the side it is compared against.
    const DWORD before = GetTickCount();
    const DWORD start = EngineTime();
    const DWORD tickStart = GetTickCount();
    // Many readings in quick succession must not slow the clock down.
    while (GetTickCount() - tickStart < 60)
        EngineTime();
    const DWORD tickEnd = GetTickCount();
    const DWORD elapsed = EngineTime() - start;
    EXPECT_GE(elapsed + 10, tickEnd - tickStart);
    EXPECT_LE(elapsed, GetTickCount() - before + 10);
}

} // namespace
