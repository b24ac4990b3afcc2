#include <gtest/gtest.h>

#include "cea_pacing.h"

namespace {

// Frames one loop pass steps at time t.
int Pass(FRAMEPACER& pacer, DWORD t, DWORD period, bool resync = false)
{
    pacer.BeginPass(t, resync, period);
    int frames = 1;
    while (pacer.CatchUp(t, resync, period))
        ++frames;
    return frames;
}

TEST(PacingTest, OnTimePassesStepOneFrame)
{
    FRAMEPACER pacer;
    pacer.Start(1000);
    EXPECT_EQ(Pass(pacer, 1000, 25), 1);
    EXPECT_EQ(pacer.next, 1025u);
    EXPECT_FALSE(pacer.Reached(1024));
    EXPECT_TRUE(pacer.Reached(1025));
    EXPECT_EQ(Pass(pacer, 1026, 25), 1);
    EXPECT_EQ(pacer.next, 1050u);
}

TEST(PacingTest, APassOneHundredMillisecondsLateCatchesUpFiveFrames)
{
    FRAMEPACER pacer;
    pacer.Start(1000);
    EXPECT_EQ(Pass(pacer, 1000, 25), 1);
    // The pump ends when 1025 is reached; this pass starts 100 ms after that.
    EXPECT_EQ(Pass(pacer, 1125, 25), 5);
    EXPECT_EQ(pacer.next, 1150u);
    EXPECT_EQ(Pass(pacer, 1150, 25), 1);
}

TEST(PacingTest, ResyncRestartsTheTimeBaseInsteadOfCatchingUp)
{
    FRAMEPACER pacer;
    pacer.Start(1000);
    EXPECT_EQ(Pass(pacer, 5000, 25, true), 1);
    EXPECT_EQ(pacer.next, 5025u);
}

TEST(PacingTest, AZeroPeriodNeverCatchesUp)
{
    FRAMEPACER pacer;
    pacer.Start(1000);
    EXPECT_EQ(Pass(pacer, 9000, 0), 1);
}

TEST(PacingTest, TheClockMayWrap)
{
    FRAMEPACER pacer;
    pacer.Start(0xFFFFFFF0);
    EXPECT_EQ(Pass(pacer, 0xFFFFFFF0, 25), 1);
    EXPECT_FALSE(pacer.Reached(0xFFFFFFFF));
    EXPECT_TRUE(pacer.Reached(9));
    EXPECT_EQ(Pass(pacer, 60, 25), 3);
}

} // namespace
