#include "cea_schedule.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

ANIMOBJECT* Object(int i)
{
    return reinterpret_cast<ANIMOBJECT*>(0x1000 * i);
}

class ScheduleTest : public testing::Test {
protected:
    void SetUp() override { schedule.Init(); }
    void TearDown() override { schedule.Free(); }

    // Takes every event due by frame, of objects or of the application: objects' states, then
    // application codes.
    std::vector<DWORD> Due(DWORD frame, bool fObjects = false)
    {
        std::vector<DWORD> states;
        for (SCHEDULEEVENT e; fObjects ? schedule.TakeObjectEvent(frame, &e) : schedule.TakeAppEvent(frame, &e);)
            states.push_back(fObjects ? DWORD(reinterpret_cast<uintptr_t>(e.object) / 0x1000) * 100 + e.state : e.state);
        return states;
    }

    SCHEDULE schedule{};
};

TEST_F(ScheduleTest, EventsAreTakenByKindInSlotOrderFromTheirFrameOn)
{
    EXPECT_TRUE(schedule.IsEmpty() && schedule.EndFrame() == 0);
    schedule.AddObjectEvent(2, Object(1), 0, {1, 2, 3, 4});
    schedule.AddAppEvent(2, 10, 100);
    schedule.AddObjectEvent(2, Object(2), 1, {});
    schedule.AddAppEvent(2, 11, 101);
    schedule.AddAppEvent(7, 12, 102);
    // The end is one past the last scheduled frame, and only grows.
    EXPECT_EQ(schedule.EndFrame(), 8u);
    schedule.ExtendTo(5);
    const DWORD unchanged = schedule.EndFrame();
    schedule.ExtendTo(12);
    EXPECT_EQ(std::pair(unchanged, schedule.EndFrame()), std::pair(8u, 12u));

    SCHEDULEEVENT e;
    EXPECT_FALSE(schedule.TakeObjectEvent(1, &e));
    ASSERT_TRUE(schedule.TakeObjectEvent(2, &e));
    EXPECT_TRUE(e.object == Object(1) && e.rect.right == 3);
    EXPECT_EQ(Due(2, true), std::vector<DWORD>{201});
    ASSERT_TRUE(schedule.TakeAppEvent(2, &e));
    EXPECT_TRUE(e.state == 10 && e.param == 100 && Due(2) == std::vector<DWORD>{11});
    EXPECT_EQ(Due(9), std::vector<DWORD>{12}); // a passed frame's events are still played
    EXPECT_TRUE(schedule.IsEmpty());
}

TEST_F(ScheduleTest, FreedSlotsAreReused)
{
    for (int i = 0; i < 16; ++i)
        schedule.AddAppEvent(1, i, 0);
    SCHEDULEEVENT e;
    schedule.TakeAppEvent(1, &e);
    schedule.AddAppEvent(5, 99, 0);
    EXPECT_EQ(std::tuple(schedule.cAlloc, schedule.rg[0].state), std::tuple(16, 99u));
    schedule.AddAppEvent(5, 100, 0);
    EXPECT_EQ(schedule.cAlloc, 32);
}

TEST_F(ScheduleTest, UnschedulingByObjectStateCodeParameterAndFrame)
{
    schedule.AddObjectEvent(1, Object(1), 0, {0, 0, 1, 1});
    schedule.AddObjectEvent(2, Object(1), 2, {});
    schedule.AddObjectEvent(1, Object(2), 0, {0, 0, 1, 1});
    schedule.AddObjectEvent(4, Object(3), 0, {0, 0, 1, 1});
    for (auto [frame, code, param] : {std::tuple{1, 5, 50}, {1, 5, 51}, {1, 6, 50}, {4, 7, 0}})
        schedule.AddAppEvent(frame, code, param);
    schedule.UnscheduleObject(Object(1), 2);
    schedule.UnscheduleObject(Object(2));
    schedule.UnscheduleEvent(5, 51);
    schedule.UnscheduleFrame(4);
    EXPECT_EQ(Due(9, true), std::vector<DWORD>{100});
    EXPECT_EQ(Due(9), (std::vector<DWORD>{5, 6}));
    // A parameter of 0 matches any.
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
    SCHEDULEEVENT e;
    for (int taken = 0; taken < 2000;)
        taken += schedule.TakeAppEvent(100, &e);
    adder.join();
    EXPECT_TRUE(schedule.IsEmpty());
}

} // namespace
