#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "cea_schedule.h"

namespace {

ANIMOBJECT* Object(int i)
{
    return reinterpret_cast<ANIMOBJECT*>(0x1000 * i);
}

class ScheduleTest : public testing::Test {
protected:
    void SetUp() override { schedule.Init(); }
    void TearDown() override { schedule.Free(); }

    std::vector<DWORD> AppCodesDueBy(DWORD frame)
    {
        std::vector<DWORD> codes;
        SCHEDULEEVENT e;
        while (schedule.TakeAppEvent(frame, &e))
            codes.push_back(e.state);
        return codes;
    }

    SCHEDULE schedule{};
};

TEST_F(ScheduleTest, EndFrameIsOnePastTheLastScheduledFrame)
{
    EXPECT_TRUE(schedule.IsEmpty());
    EXPECT_EQ(schedule.EndFrame(), 0u);
    schedule.AddAppEvent(7, 1, 0);
    schedule.AddObjectEvent(3, Object(1), 0, {0, 0, 1, 1});
    EXPECT_EQ(schedule.EndFrame(), 8u);
    schedule.ExtendTo(5);
    EXPECT_EQ(schedule.EndFrame(), 8u);
    schedule.ExtendTo(12);
    EXPECT_EQ(schedule.EndFrame(), 12u);
    EXPECT_FALSE(schedule.IsEmpty());
}

TEST_F(ScheduleTest, ObjectAndApplicationEventsAreTakenSeparatelyInSlotOrder)
{
    schedule.AddObjectEvent(2, Object(1), 0, {1, 2, 3, 4});
    schedule.AddAppEvent(2, 10, 100);
    schedule.AddObjectEvent(2, Object(2), 1, {});
    schedule.AddAppEvent(2, 11, 101);
    schedule.AddAppEvent(3, 12, 102);

    SCHEDULEEVENT e;
    ASSERT_TRUE(schedule.TakeObjectEvent(2, &e));
    EXPECT_EQ(e.object, Object(1));
    EXPECT_EQ(e.rect.right, 3);
    ASSERT_TRUE(schedule.TakeObjectEvent(2, &e));
    EXPECT_EQ(e.object, Object(2));
    EXPECT_EQ(e.state, 1u);
    EXPECT_FALSE(schedule.TakeObjectEvent(2, &e));

    ASSERT_TRUE(schedule.TakeAppEvent(2, &e));
    EXPECT_EQ(e.state, 10u);
    EXPECT_EQ(e.param, 100);
    EXPECT_EQ(AppCodesDueBy(2), std::vector<DWORD>{11});
    EXPECT_EQ(AppCodesDueBy(3), std::vector<DWORD>{12});
    EXPECT_TRUE(schedule.IsEmpty());
}

TEST_F(ScheduleTest, EventsScheduledForAPassedFrameAreStillPlayed)
{
    schedule.AddAppEvent(4, 1, 0);
    EXPECT_TRUE(AppCodesDueBy(3).empty());
    EXPECT_EQ(AppCodesDueBy(9), std::vector<DWORD>{1});
}

TEST_F(ScheduleTest, FreedSlotsAreReused)
{
    for (int i = 0; i < 16; ++i)
        schedule.AddAppEvent(1, i, 0);
    EXPECT_EQ(schedule.cAlloc, 16);
    SCHEDULEEVENT e;
    schedule.TakeAppEvent(1, &e);
    schedule.AddAppEvent(5, 99, 0);
    EXPECT_EQ(schedule.cAlloc, 16);
    EXPECT_EQ(schedule.rg[0].state, 99u);
    schedule.AddAppEvent(5, 100, 0);
    EXPECT_EQ(schedule.cAlloc, 32);
}

TEST_F(ScheduleTest, UnschedulingByObjectStateCodeParameterAndFrame)
{
    schedule.AddObjectEvent(1, Object(1), 0, {0, 0, 1, 1});
    schedule.AddObjectEvent(2, Object(1), 2, {});
    schedule.AddObjectEvent(1, Object(2), 0, {0, 0, 1, 1});
    schedule.AddAppEvent(1, 5, 50);
    schedule.AddAppEvent(1, 5, 51);
    schedule.AddAppEvent(1, 6, 50);
    schedule.AddAppEvent(4, 7, 0);
    schedule.AddObjectEvent(4, Object(3), 0, {0, 0, 1, 1});

    schedule.UnscheduleObject(Object(1), 2);
    SCHEDULEEVENT e;
    ASSERT_TRUE(schedule.TakeObjectEvent(9, &e));
    EXPECT_EQ(e.object, Object(1));
    schedule.UnscheduleObject(Object(2));
    schedule.UnscheduleEvent(5, 51);
    schedule.UnscheduleFrame(4);
    EXPECT_FALSE(schedule.TakeObjectEvent(9, &e));
    EXPECT_EQ(AppCodesDueBy(9), (std::vector<DWORD>{5, 6}));

    schedule.AddAppEvent(1, 5, 50);
    schedule.AddAppEvent(1, 5, 51);
    schedule.UnscheduleEvent(5, 0);
    EXPECT_TRUE(schedule.IsEmpty());
}

TEST_F(ScheduleTest, AnotherThreadMayAddWhileEventsAreTaken)
{
    std::thread adder([this] {
        for (int i = 0; i < 2000; ++i)
            schedule.AddAppEvent(DWORD(i % 50), 1, i);
    });
    int taken = 0;
    SCHEDULEEVENT e;
    while (taken < 2000) {
        if (schedule.TakeAppEvent(100, &e))
            ++taken;
    }
    adder.join();
    EXPECT_TRUE(schedule.IsEmpty());
}

} // namespace
