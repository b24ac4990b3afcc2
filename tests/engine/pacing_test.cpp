#include "cea_pacing.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Each pass begins at time t and steps one frame, then one more for every period it is late.
TEST(PacingTest, PassesStepTheFramesDueAndTheNextDueTimeFollows)
{
    struct PASS {
        DWORD t, period;
        bool resync;
        int frames;
        DWORD next;
    };
    const struct {
        const char* name;
        DWORD start;
        std::vector<PASS> passes;
    } cases[] = {
        {"on time", 1000, {{1000, 25, false, 1, 1025}, {1026, 25, false, 1, 1050}}},
        // The pump ends when 1025 is reached; this pass starts 100 ms after that.
        {"late", 1000, {{1000, 25, false, 1, 1025}, {1125, 25, false, 5, 1150}, {1150, 25, false, 1, 1175}}},
        {"resync restarts the time base", 1000, {{5000, 25, true, 1, 5025}}},
        {"a zero period never catches up", 1000, {{9000, 0, false, 1, 1000}}},
        {"the clock wraps", 0xFFFFFFF0, {{0xFFFFFFF0, 25, false, 1, 9}, {60, 25, false, 3, 84}}},
    };
    for (const auto& c : cases) {
        FRAMEPACER pacer;
        pacer.Start(c.start);
        for (const PASS& p : c.passes) {
            pacer.BeginPass(p.t, p.resync, p.period);
            int frames = 1;
            while (pacer.CatchUp(p.t, p.resync, p.period))
                ++frames;
            EXPECT_EQ(std::pair(frames, pacer.next), std::pair(p.frames, p.next)) << c.name << " at " << p.t;
        }
    }
}

} // namespace
