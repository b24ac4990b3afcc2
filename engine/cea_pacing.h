// The time keeping of the frame loop: one due time that moves on by the frame period with
// every frame stepped. A loop pass that starts late steps the frames it missed without painting
// them, so the schedule keeps real time; a resync instead restarts the time base at the pass.
#pragma once

#include "windef.h"

struct FRAMEPACER {
    DWORD next; // when the next frame is due

    void Start(DWORD now) { next = now; }
    // Opens a loop pass at time t, for the frame it steps in any case.
    void BeginPass(DWORD t, bool resync, DWORD framePeriod)
    {
        if (resync)
            next = t;
        next += framePeriod;
    }
    // Whether the pass must step one more frame because t has reached the due time; the due time
    // then moves on by one frame.
    bool CatchUp(DWORD t, bool resync, DWORD framePeriod)
    {
        if (framePeriod == 0 || resync || !Reached(t))
            return false;
        next += framePeriod;
        return true;
    }
    // Whether time t has reached the due time (the clock may wrap).
    bool Reached(DWORD t) const { return static_cast<int32_t>(t - next) >= 0; }
};
