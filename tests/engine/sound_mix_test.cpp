// The mixing arithmetic, buffer by buffer, where the device would only blur it.
#include "cea_sound_mix.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

struct Mixed {
    std::vector<DWORD> positions;
    int mixPeak;
    std::vector<BYTE> out;
};

// Mixes one buffer of cFrames from channels of the given samples, each to its end, and writes it.
Mixed Mix(const std::vector<std::vector<BYTE>>& channels, bool fStereoIn, int cFrames, bool fStereoOut)
{
    MIX mix;
    ClearMix(mix, cFrames);
    Mixed result;
    for (const std::vector<BYTE>& samples : channels) {
        CHANNEL ch{};
        ch.fStereo = fStereoIn;
        ch.pbData = samples.data();
        ch.cbData = static_cast<DWORD>(samples.size());
        MixChannel(mix, ch, cFrames);
        result.positions.push_back(ch.ibPos);
        EXPECT_FALSE(MixChannel(mix, ch, cFrames)); // used up: it has ended
    }
    result.mixPeak = mix.mixPeak;
    result.out.resize(kcbMixBuffer);
    WriteMix(mix, fStereoOut, result.out.data());
    return result;
}

TEST(SoundMix, APositivePeakAgainstANegativeInputPeakStaysInRange)
{
    // The input peak (128) comes from a 0 sample; the mix peak from two 255s adding up.
    const Mixed m = Mix({{255, 0}, {255, 128}}, false, 512, true);
    EXPECT_EQ(std::vector<BYTE>({m.out[0], m.out[2], m.out[4]}),
              std::vector<BYTE>({255, 128 - 64, 128})); // 254 × 128 / 254 + 128 would be 256
}

TEST(SoundMix, StereoIntoAMonoDeviceAverages)
{
    const Mixed m = Mix({{228, 28, 178, 128}}, true, 1024, false);
    EXPECT_EQ(m.positions[0], 4u);
    EXPECT_EQ(std::vector<BYTE>(m.out.begin(), m.out.begin() + 3), (std::vector<BYTE>{128, 128 + 25, 128}));
}

TEST(SoundMix, ManyLoudChannelsSaturateInsteadOfWrapping)
{
    const Mixed m = Mix(std::vector<std::vector<BYTE>>(300, std::vector<BYTE>(512, 255)), false, 512, true);
    EXPECT_EQ(std::tuple(m.mixPeak, m.out[0], m.out[1023]), std::tuple(32767, 255, 255));
}

} // namespace
