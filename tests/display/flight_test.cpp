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

// A scheduled move (its rectangle) or event (its code, rect empty) at a frame.
using PLANNED = std::tuple<DWORD, std::vector<LONG>, DWORD>;

// Everything scheduled for object, in frame order (events before moves within a frame).
std::vector<PLANNED> Plan(AnimWindow* anim, const ANIMOBJECT* object)
{
    std::vector<PLANNED> plan;
    for (int i = 0; i < anim->schedule.cAlloc; ++i) {
        const SCHEDULEEVENT& e = anim->schedule.rg[i];
        if (e.used && e.object == object)
            plan.push_back({e.frame, {e.rect.left, e.rect.top, e.rect.right, e.rect.bottom}, 0});
        else if (e.used && !e.object && e.param == reinterpret_cast<LPARAM>(object))
            plan.push_back({e.frame, {}, e.state});
    }
    std::stable_sort(plan.begin(), plan.end(), [](const PLANNED& a, const PLANNED& b) {
        return std::get<0>(a) != std::get<0>(b) ? std::get<0>(a) < std::get<0>(b) : std::get<1>(a).empty() && !std::get<1>(b).empty();
    });
    return plan;
}

PLANNED Move(DWORD frame, LONG x, LONG y, LONG cx, LONG cy)
{
    return {frame, {x, y, x + cx, y + cy}, 0};
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
        bool fast, smooth, quiet;
        int steps;
    };
    const CASE cases[] = {{true, true, true, 7}, {false, true, false, 12}, {true, false, false, 3}, {false, false, true, 3}};
    const RECT target{300, -40, 340, 20};
    for (const CASE& c : cases) {
        SCOPED_TRACE(testing::Message() << "fast " << c.fast << " smooth " << c.smooth << " quiet " << c.quiet);
        g_settings.fSmoothAnimation = c.smooth;
        object->SetRect(kStart);
        const DWORD start = anim->GetCurrentFrame() + 5;
        EXPECT_EQ(Fly(object, target, c.fast, c.quiet, start), start + DWORD(c.steps) + 1);
        // The progress of step i, q(i) = (A i^2 + B i + C) / D: the first half takes steps
        // N/2..N-1, the second 1 - q(0..N/2-1).
        const int dx = target.left - kStart.left, dy = target.top - kStart.top, n = c.steps;
        const double d = std::floor(std::sqrt(double(dx * dx + dy * dy)));
        const auto q = [&](int i) { return (2 * d / (n * n) * i * i + -2 * d / n * i + d / 2) / d; };
        std::vector<PLANNED> expected = {{start, {}, c.quiet ? SEQ_LIFT : SEQ_LIFT_COUNTED}};
        for (int k = 0; k < n; ++k) {
            const double p = k < n - n / 2 ? q(n / 2 + k) : 1 - q(k - (n - n / 2));
            expected.push_back(Move(start + DWORD(k), kStart.left + int(p * dx), kStart.top + int(p * dy), 40, 60));
        }
        expected.push_back({start + DWORD(n), {}, c.quiet ? SEQ_SETTLE : SEQ_SETTLE_COUNTED});
        expected.push_back(Move(start + DWORD(n), target.left, target.top, 40, 60));
        EXPECT_EQ(Plan(anim, object), expected);
        anim->UnscheduleObject(object);
        anim->UnscheduleParam(reinterpret_cast<LPARAM>(object));
    }
}

TEST_F(FlightTest, AFlightInPlaceRepeatsItsRectangle)
{
    g_settings.fSmoothAnimation = 0;
    Fly(object, kStart, true, true);
    for (const PLANNED& p : Plan(anim, object))
        EXPECT_TRUE(std::get<1>(p).empty() || std::get<1>(p) == std::get<1>(Move(0, 10, 20, 40, 60)));
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
    EXPECT_EQ(Plan(anim, object), (std::vector<PLANNED>{{end, {}, SEQ_DELETE}}));
    SequencerEvent(SEQ_DELETE, object);
    object = nullptr;
    EXPECT_TRUE(Plan(anim, other).size() > 0);
    other->Destroy();
}

} // namespace
