// Flights: the positions they schedule, the events around them, and the in-flight count.
#include "cea_graphic.h"
#include "cea_object.h"
#include "display_fixture.h"
#include "records.h"
#include "sequencer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <vector>

const char* const kEvents[] = {"delete", "LIFT", "lift", "SETTLE", "settle", "?"}; // counted ones in capitals

// Everything scheduled for o, in frame order: "x,y" for a move ("!" when it does not keep the
// object's size), "frame:event" for an event (the frame from start), events first in a frame.
static std::string Plan(const AnimWindow* anim, const ANIMOBJECT* o, DWORD start)
{
    std::multimap<std::pair<DWORD, int>, std::string> plan;
    for (int i = 0; i < anim->schedule.cAlloc; ++i) {
        const SCHEDULEEVENT& e = anim->schedule.rg[i];
        const std::string size = e.rect.right - e.rect.left == W && e.rect.bottom - e.rect.top == H ? "" : "!";
        if (e.used && e.object == o)
            plan.insert({{e.frame, 1}, std::to_string(e.rect.left) + "," + std::to_string(e.rect.top) + size});
        else if (e.used && !e.object && e.param == reinterpret_cast<LPARAM>(o))
            plan.insert({{e.frame, 0}, std::to_string(e.frame - start) + ":" + kEvents[std::min<DWORD>(e.state, 5)]});
    }
    std::string s;
    for (const auto& [when, what] : plan)
        s += what + " ";
    return s;
}

// Slowly at first, fastest at the middle, slowing down to land exactly; counted flights lift and
// settle with the count, quiet ones without; a flight in place repeats its rectangle.
TEST_F(DisplayTest, FlightStepsFollowTheEasedProgressAndLandExactly)
{
    ANIMOBJECT* object = ANIMOBJECT::Create(anim, g_media.rgTiles[0], 100);
    const struct {
        int fast, smooth, quiet, x, y;
        const char* plan; // the frames it takes, then the plan
    } cases[] = {
        {1, 1, 1, 300, -40, "8 0:lift 12,20 12,20 36,15 83,5 155,-10 226,-24 273,-34 7:settle 300,-40 "},
        {0, 1, 0, 300, -40,
         "13 0:LIFT 10,20 14,20 26,17 46,13 74,7 110,0 155,-10 199,-19 235,-26 263,-32 283,-36 295,-39 12:SETTLE 300,-40 "},
        {1, 0, 0, 300, -40, "4 0:LIFT 26,17 26,17 155,-10 3:SETTLE 300,-40 "},
        {0, 0, 1, 10, 20, "4 0:lift 10,20 10,20 10,20 3:settle 10,20 "},
    };
    for (const auto& c : cases) {
        g_settings.fSmoothAnimation = c.smooth;
        object->SetRect({10, 20, 10 + W, 20 + H});
        const DWORD start = anim->GetCurrentFrame() + 5, end = Fly(object, {c.x, c.y, c.x + W, c.y + H}, c.fast, c.quiet, start);
        EXPECT_EQ(std::to_string(end - start) + " " + Plan(anim, object, start), c.plan);
        anim->UnscheduleObject(object);
        anim->UnscheduleParam(reinterpret_cast<LPARAM>(object));
    }
}

// The window's event callback is the main window's; here the events are played by hand. A
// landing without a take-off never takes the count below 0; an unknown event changes nothing.
TEST_F(DisplayTest, FlyingObjectsLiftAndSettleAndOnlyCountedFlightsCount)
{
    ANIMOBJECT* object = ANIMOBJECT::Create(anim, g_media.rgTiles[0], 150);
    const struct {
        DWORD event;
        int count, layer;
    } steps[] = {{SEQ_LIFT, 0, iLAYER_FLYING},          {SEQ_LIFT_COUNTED, 1, iLAYER_FLYING},  {SEQ_LIFT_COUNTED, 2, iLAYER_FLYING},
                 {SEQ_SETTLE_COUNTED, 1, iLAYER_TILES}, {SEQ_SETTLE, 1, iLAYER_TILES},         {SEQ_LIFT, 1, iLAYER_FLYING},
                 {SEQ_SETTLE_COUNTED, 0, iLAYER_TILES}, {SEQ_SETTLE_COUNTED, 0, iLAYER_TILES}, {99, 0, iLAYER_TILES}};
    for (const auto& step : steps) {
        SequencerEvent(step.event, object);
        EXPECT_EQ(std::pair(FlightsInProgress(), object->GetLayer()), std::pair(step.count, step.layer)) << step.event;
    }
}

// Later motion does not delay the deletion.
TEST_F(DisplayTest, DeleteWhenDoneWaitsForEverythingScheduledThen)
{
    ANIMOBJECT* object = ANIMOBJECT::Create(anim, g_media.rgTiles[0], 100);
    ANIMOBJECT* other = ANIMOBJECT::Create(anim, g_media.rgTiles[0], 100);
    Fly(other, RECT{0, 0, W, H}, false, true); // the longest motion so far
    const DWORD end = anim->GetEndFrame();
    DeleteWhenDone(object);
    Fly(other, RECT{90, 90, 90 + W, 90 + H}, false, true, end + 3);
    EXPECT_EQ(Plan(anim, object, end), "0:delete ");
    SequencerEvent(SEQ_DELETE, object);
    EXPECT_NE(Plan(anim, other, end), "");
}
