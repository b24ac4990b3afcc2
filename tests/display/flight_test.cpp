// Flights: the positions they schedule, the events around them, and the in-flight count.
#include "cea_graphic.h"
#include "cea_object.h"
#include "display_fixture.h"
#include "memmgr.h"
#include "records.h"
#include "sequencer.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct PLANNED {
    DWORD frame;
    bool isMove;
    RECT rect; // moves
    DWORD code; // events
};

// Everything scheduled for object, in frame order (events before moves within a frame).
std::vector<PLANNED> Plan(AnimWindow* anim, const ANIMOBJECT* object)
{
    std::vector<PLANNED> plan;
    for (int i = 0; i < anim->schedule.cAlloc; ++i) {
        const SCHEDULEEVENT& e = anim->schedule.rg[i];
        if (!e.used)
            continue;
        if (e.object == object)
            plan.push_back({e.frame, true, e.rect, 0});
        else if (!e.object && e.param == reinterpret_cast<LPARAM>(object))
            plan.push_back({e.frame, false, {}, e.state});
    }
    std::stable_sort(plan.begin(), plan.end(),
                     [](const PLANNED& a, const PLANNED& b) { return a.frame != b.frame ? a.frame < b.frame : !a.isMove && b.isMove; });
    return plan;
}

class FlightTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        saved = g_settings;
        face = FilledGraphic(40, 60, RGB(200, 10, 10));
        object = ANIMOBJECT::Create(anim, face, 100);
        object->SetRect(kStart);
    }
    void TearDown() override
    {
        anim->AdvanceTo(kLastScheduledFrame);
        if (object)
            object->Destroy();
        MEM_DELETE(face);
        g_settings = saved;
        DisplayTest::TearDown();
    }

    static constexpr RECT kStart{10, 20, 50, 80};
    SETTINGS saved{};
    Graphic* face = nullptr;
    ANIMOBJECT* object = nullptr;
};

TEST_F(FlightTest, StepsFollowTheEasedProgressAndLandExactly)
{
    struct CASE {
        bool fast;
        bool smooth;
        bool quiet;
        int steps;
    };
    const CASE cases[] = {
        {true, true, true, 7},
        {false, true, false, 12},
        {true, false, false, 3},
        {false, false, true, 3},
    };
    const RECT target{300, -40, 340, 20};
    for (const CASE& c : cases) {
        SCOPED_TRACE(testing::Message() << "fast " << c.fast << " smooth " << c.smooth << " quiet " << c.quiet);
        g_settings.fSmoothAnimation = c.smooth;
        object->SetRect(kStart);
        const DWORD start = anim->GetCurrentFrame() + 5;
        const DWORD end = Fly(object, target, c.fast, c.quiet, start);
        EXPECT_EQ(end, start + DWORD(c.steps) + 1);
        const std::vector<PLANNED> plan = Plan(anim, object);
        ASSERT_EQ(plan.size(), size_t(c.steps) + 3);
        EXPECT_FALSE(plan[0].isMove);
        EXPECT_EQ(plan[0].frame, start);
        EXPECT_EQ(plan[0].code, c.quiet ? SEQ_LIFT : SEQ_LIFT_COUNTED);

        // The progress of step i, q(i) = (A i^2 + B i + C) / D: the first half takes steps
        // N/2..N-1, the second 1 - q(0..N/2-1).
        const int dx = target.left - kStart.left;
        const int dy = target.top - kStart.top;
        const double d = std::floor(std::sqrt(double(dx * dx + dy * dy)));
        const int n = c.steps;
        const auto q = [&](int i) { return (2 * d / (n * n) * i * i + -2 * d / n * i + d / 2) / d; };
        std::vector<double> progress;
        for (int i = n / 2; i < n; ++i)
            progress.push_back(q(i));
        for (int i = 0; i < n / 2; ++i)
            progress.push_back(1 - q(i));
        for (int k = 0; k < n; ++k) {
            const PLANNED& step = plan[size_t(k) + 1];
            ASSERT_TRUE(step.isMove);
            EXPECT_EQ(step.frame, start + DWORD(k));
            const int x = kStart.left + int(progress[size_t(k)] * dx);
            const int y = kStart.top + int(progress[size_t(k)] * dy);
            EXPECT_EQ(step.rect.left, x) << k;
            EXPECT_EQ(step.rect.top, y) << k;
            EXPECT_EQ(step.rect.right - step.rect.left, 40);
            EXPECT_EQ(step.rect.bottom - step.rect.top, 60);
        }
        const PLANNED& settle = plan[size_t(n) + 1];
        const PLANNED& land = plan[size_t(n) + 2];
        EXPECT_FALSE(settle.isMove);
        EXPECT_EQ(settle.code, c.quiet ? SEQ_SETTLE : SEQ_SETTLE_COUNTED);
        EXPECT_EQ(settle.frame, start + DWORD(n));
        EXPECT_TRUE(land.isMove);
        EXPECT_EQ(land.frame, start + DWORD(n));
        EXPECT_TRUE(EqualRect(&land.rect, &target));
        anim->UnscheduleObject(object);
        anim->UnscheduleParam(reinterpret_cast<LPARAM>(object));
    }
}

TEST_F(FlightTest, TheFastSmoothProfileRisesSlowlyThenSettles)
{
    g_settings.fSmoothAnimation = 1;
    const RECT target{1010, 20, 1050, 80}; // 1000 pixels to the right
    Fly(object, target, true, true, anim->GetCurrentFrame());
    const double expected[] = {0.010, 0.010, 0.092, 0.255, 0.5, 0.745, 0.908};
    const std::vector<PLANNED> plan = Plan(anim, object);
    ASSERT_EQ(plan.size(), 10u);
    for (size_t k = 0; k < std::size(expected); ++k)
        EXPECT_NEAR((plan[k + 1].rect.left - kStart.left) / 1000.0, expected[k], 0.0015) << k;
}

TEST_F(FlightTest, AFlightInPlaceRepeatsItsRectangle)
{
    g_settings.fSmoothAnimation = 0;
    Fly(object, kStart, true, true);
    for (const PLANNED& p : Plan(anim, object))
        EXPECT_TRUE(!p.isMove || EqualRect(&p.rect, &kStart));
}

// The window's event callback is the main window's; here the events are played by hand. A
// landing without a take-off never takes the count below 0; an unknown event changes nothing.
TEST_F(FlightTest, ObjectsLiftAndSettleAndOnlyCountedFlightsCount)
{
    const struct {
        DWORD event;
        int count;
        int layer;
    } steps[] = {{SEQ_LIFT, 0, iLAYER_FLYING},          {SEQ_LIFT_COUNTED, 1, iLAYER_FLYING},  {SEQ_LIFT_COUNTED, 2, iLAYER_FLYING},
                 {SEQ_SETTLE_COUNTED, 1, iLAYER_TILES}, {SEQ_SETTLE, 1, iLAYER_TILES},         {SEQ_LIFT, 1, iLAYER_FLYING},
                 {SEQ_SETTLE_COUNTED, 0, iLAYER_TILES}, {SEQ_SETTLE_COUNTED, 0, iLAYER_TILES}, {99, 0, iLAYER_TILES}};
    object->SetLayer(150);
    for (const auto& step : steps) {
        SequencerEvent(step.event, object);
        EXPECT_EQ(FlightsInProgress(), step.count) << step.event;
        EXPECT_EQ(object->GetLayer(), step.layer) << step.event;
    }
}

TEST_F(FlightTest, DeleteWhenDoneWaitsForEverythingScheduledThen)
{
    ANIMOBJECT* other = ANIMOBJECT::Create(anim, face, 100);
    Fly(other, RECT{0, 0, 40, 60}, false, true); // the longest motion so far
    const DWORD end = anim->GetEndFrame();
    DeleteWhenDone(object);
    Fly(other, RECT{90, 90, 130, 150}, false, true, end + 3); // later motion does not delay it
    const std::vector<PLANNED> plan = Plan(anim, object);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].frame, end);
    EXPECT_EQ(plan[0].code, SEQ_DELETE);
    SequencerEvent(SEQ_DELETE, object);
    object = nullptr;
    EXPECT_TRUE(Plan(anim, other).size() > 0);
    other->Destroy();
}

} // namespace
