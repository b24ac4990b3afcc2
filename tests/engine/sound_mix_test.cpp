// The mixing arithmetic, buffer by buffer, where the device would only blur it.
#include "cea_sound_mix.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using Samples = std::vector<BYTE>;

// One buffer of cFrames mixed from channels of the given samples, each played to its end, then
// written: the mix peak and the output bytes at the given places.
TEST(SoundMix, TheOutputFollowsTheInputPeakSaturatesAndAveragesIntoMono)
{
    const struct {
        std::vector<Samples> channels;
        bool stereoIn, stereoOut;
        int cFrames, mixPeak;
        std::vector<size_t> at;
        Samples out;
    } cases[] = {
        // The input peak (128) comes from a 0 sample, the mix peak from two 255s adding up:
        // 254 × 128 / 254 + 128 would be 256.
        {{{255, 0}, {255, 128}}, false, true, 512, 254, {0, 2, 4}, {255, 128 - 64, 128}},
        {{{228, 28, 178, 128}}, true, false, 1024, 100, {0, 1, 2}, {128, 128 + 25, 128}},
        {std::vector<Samples>(300, Samples(512, 255)), false, true, 512, 32767, {0, 1023}, {255, 255}},
    };
    for (const auto& c : cases) {
        MIX mix;
        ClearMix(mix, c.cFrames);
        for (const Samples& samples : c.channels) {
            CHANNEL ch{};
            ch.fStereo = c.stereoIn;
            ch.pbData = samples.data();
            ch.cbData = static_cast<DWORD>(samples.size());
            MixChannel(mix, ch, c.cFrames);
            EXPECT_TRUE(ch.ibPos == ch.cbData && !MixChannel(mix, ch, c.cFrames)); // used up: it has ended
        }
        Samples out(kcbMixBuffer), picked;
        WriteMix(mix, c.stereoOut, out.data());
        for (size_t i : c.at)
            picked.push_back(out[i]);
        EXPECT_EQ(std::tuple(mix.mixPeak, picked), std::tuple(c.mixPeak, c.out)) << c.cFrames;
    }
}

} // namespace
