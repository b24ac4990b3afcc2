// The mixing arithmetic, buffer by buffer, where the device would only blur it.
#include <gtest/gtest.h>

#include "cea_sound_mix.h"

namespace {

CHANNEL channel(const std::vector<BYTE>& samples, bool fStereo, bool fLoop = false)
{
    CHANNEL ch{};
    ch.fStereo = fStereo;
    ch.pbData = samples.data();
    ch.cbData = static_cast<DWORD>(samples.size());
    ch.fLoop = fLoop;
    return ch;
}

TEST(SoundMix, APositivePeakAgainstANegativeInputPeakStaysInRange)
{
    // The input peak (128) comes from a 0 sample; the mix peak from two 255s adding up.
    std::vector<BYTE> a{255, 0};
    std::vector<BYTE> b{255, 128};
    MIX mix;
    ClearMix(mix, 512);
    CHANNEL ca = channel(a, false);
    CHANNEL cb = channel(b, false);
    EXPECT_TRUE(MixChannel(mix, ca, 512));
    EXPECT_TRUE(MixChannel(mix, cb, 512));
    BYTE out[kcbMixBuffer];
    WriteMix(mix, true, out);
    EXPECT_EQ(out[0], 255); // 254 × 128 / 254 + 128 would be 256
    EXPECT_EQ(out[2], 128 - 64);
    EXPECT_EQ(out[4], 128);
}

TEST(SoundMix, StereoIntoAMonoDeviceAverages)
{
    std::vector<BYTE> lr{228, 28, 178, 128};
    MIX mix;
    ClearMix(mix, 1024);
    CHANNEL ch = channel(lr, true);
    EXPECT_TRUE(MixChannel(mix, ch, 1024));
    BYTE out[kcbMixBuffer];
    WriteMix(mix, false, out);
    EXPECT_EQ(out[0], 128);
    EXPECT_EQ(out[1], 128 + 25);
    EXPECT_EQ(out[2], 128);
    EXPECT_EQ(ch.ibPos, 4u);
    EXPECT_FALSE(MixChannel(mix, ch, 1024)); // used up: it has ended
}

TEST(SoundMix, ManyLoudChannelsSaturateInsteadOfWrapping)
{
    std::vector<BYTE> loud(512, 255);
    MIX mix;
    ClearMix(mix, 512);
    for (int i = 0; i < 300; ++i) {
        CHANNEL ch = channel(loud, false);
        MixChannel(mix, ch, 512);
    }
    EXPECT_EQ(mix.mixPeak, 32767);
    BYTE out[kcbMixBuffer];
    WriteMix(mix, true, out);
    EXPECT_EQ(out[0], 255);
    EXPECT_EQ(out[1023], 255);
}

TEST(SoundMix, SilenceStaysSilent)
{
    std::vector<BYTE> quiet(100, 128);
    MIX mix;
    ClearMix(mix, 512);
    CHANNEL ch = channel(quiet, false, true);
    EXPECT_TRUE(MixChannel(mix, ch, 512));
    EXPECT_EQ(ch.ibPos, 12u); // five and a bit times round
    BYTE out[kcbMixBuffer];
    WriteMix(mix, true, out);
    EXPECT_EQ(std::count(out, out + kcbMixBuffer, 128), 1024);
}

} // namespace
