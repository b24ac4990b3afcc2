// Flights: the positions they schedule, the events around them, and the in-flight count.
#include "cea_graphic.h"
#include "cea_object.h"
#include "display_fixture.h"
#include "records.h"
#include "sequencer.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A scheduled move (its rectangle) or event (its code, rect empty) at a frame.
using PLANNED = std::tuple<DWORD, std::vector<LONG>, DWORD>;

PLANNED Move(DWORD frame, LONG x, LONG y)
{
    return {frame, {x, y, x + W, y + H}, 0};
}

class FlightTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        object = ANIMOBJECT::Create(anim, g_media.rgTiles[0], 100);
        object->SetRect(kStart);
    }

    // Everything scheduled for object, in frame order (events before moves within a frame).
    std::vector<PLANNED> Plan(const ANIMOBJECT* o) const
    {
        std::vector<PLANNED> plan;
        for (int i = 0; i < anim->schedule.cAlloc; ++i) {
            const SCHEDULEEVENT& e = anim->schedule.rg[i];
            if (e.used && e.object == o)
                plan.push_back({e.frame, {e.rect.left, e.rect.top, e.rect.right, e.rect.bottom}, 0});
            else if (e.used && !e.object && e.param == reinterpret_cast<LPARAM>(o))
                plan.push_back({e.frame, {}, e.state});
        }
        std::stable_sort(plan.begin(), plan.end(), [](const PLANNED& a, const PLANNED& b) {
            return std::get<0>(a) != std::get<0>(b) ? std::get<0>(a) < std::get<0>(b) : std::get<1>(a).empty() && !std::get<1>(b).empty();
        });
        return plan;
    }

    static constexpr RECT kStart{10, 20, 10 + W, 20 + H};
    ANIMOBJECT* object = nullptr;
};

TEST_F(FlightTest, StepsFollowTheEasedProgressAndLandExactly)
{
    const struct {
        bool fast, smooth, quiet;
        int steps;
    } cases[] = {{true, true, true, 7}, {false, true, false, 12}, {true, false, false, 3}, {false, false, true, 3}};
    const RECT target{300, -40, 300 + W, -40 + H};
    for (const auto& c : cases) {
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
            expected.push_back(Move(start + DWORD(k), kStart.left + int(p * dx), kStart.top + int(p * dy)));
        }
        expected.push_back({start + DWORD(n), {}, c.quiet ? SEQ_SETTLE : SEQ_SETTLE_COUNTED});
        expected.push_back(Move(start + DWORD(n), target.left, target.top));
        EXPECT_EQ(Plan(object), expected) << "fast " << c.fast << " smooth " << c.smooth;
        anim->UnscheduleObject(object);
        anim->UnscheduleParam(reinterpret_cast<LPARAM>(object));
    }
    // A flight in place repeats its rectangle.
    g_settings.fSmoothAnimation = 0;
    Fly(object, kStart, true, true);
    for (const PLANNED& p : Plan(object))
        EXPECT_TRUE(std::get<1>(p).empty() || std::get<1>(p) == std::get<1>(Move(0, 10, 20)));
}

// The window's event callback is the main window's; here the events are played by hand. A
// landing without a take-off never takes the count below 0; an unknown event changes nothing.
TEST_F(FlightTest, ObjectsLiftAndSettleAndOnlyCountedFlightsCount)
{
    const struct {
        DWORD event;
        int count, layer;
    } steps[] = {{SEQ_LIFT, 0, iLAYER_FLYING},          {SEQ_LIFT_COUNTED, 1, iLAYER_FLYING},  {SEQ_LIFT_COUNTED, 2, iLAYER_FLYING},
                 {SEQ_SETTLE_COUNTED, 1, iLAYER_TILES}, {SEQ_SETTLE, 1, iLAYER_TILES},         {SEQ_LIFT, 1, iLAYER_FLYING},
                 {SEQ_SETTLE_COUNTED, 0, iLAYER_TILES}, {SEQ_SETTLE_COUNTED, 0, iLAYER_TILES}, {99, 0, iLAYER_TILES}};
    object->SetLayer(150);
    for (const auto& step : steps) {
        SequencerEvent(step.event, object);
        EXPECT_EQ(std::pair(FlightsInProgress(), object->GetLayer()), std::pair(step.count, step.layer)) << step.event;
    }
}

TEST_F(FlightTest, DeleteWhenDoneWaitsForEverythingScheduledThen)
{
    ANIMOBJECT* other = ANIMOBJECT::Create(anim, g_media.rgTiles[0], 100);
    Fly(other, RECT{0, 0, W, H}, false, true); // the longest motion so far
    const DWORD end = anim->GetEndFrame();
    DeleteWhenDone(object);
    Fly(other, RECT{90, 90, 90 + W, 90 + H}, false, true, end + 3); // later motion does not delay it
    EXPECT_EQ(Plan(object), (std::vector<PLANNED>{{end, {}, SEQ_DELETE}}));
    SequencerEvent(SEQ_DELETE, object);
    EXPECT_FALSE(Plan(other).empty());
}

} // namespace
