#include "cea_sound_mix.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Saturates rather than wraps: past a few hundred loud channels the peak stays honest.
void accumulate(SHORT& acc, int sample, int& mixPeak)
{
    int sum = std::clamp(acc + sample, -32767, 32767);
    acc = static_cast<SHORT>(sum);
    mixPeak = std::max(mixPeak, std::abs(sum));
}

void addChunk(MIX& mix, const CHANNEL& ch, int iFrame, int cFrames)
{
    const BYTE* pb = ch.pbData + ch.ibPos;
    for (int i = iFrame; i < iFrame + cFrames; ++i) {
        int left = *pb++ - 128;
        int right = ch.fStereo ? *pb++ - 128 : left;
        mix.inputPeak = std::max({mix.inputPeak, std::abs(left), std::abs(right)});
        accumulate(mix.rgLeft[i], left, mix.mixPeak);
        accumulate(mix.rgRight[i], right, mix.mixPeak);
    }
}

// A sample scaled by input peak / mix peak. The scaled value can reach +128 when the input
// peak came from a negative sample and the mix peak from a positive one: it is held at 255.
BYTE scale(int sample, const MIX& mix)
{
    return static_cast<BYTE>(std::min(sample * mix.inputPeak / mix.mixPeak + 128, 255));
}

} // namespace

void ClearMix(MIX& mix, int cFrames)
{
    std::memset(mix.rgLeft, 0, sizeof(SHORT) * cFrames);
    std::memset(mix.rgRight, 0, sizeof(SHORT) * cFrames);
    mix.inputPeak = 0;
    mix.mixPeak = 0;
}

bool MixChannel(MIX& mix, CHANNEL& ch, int cFrames)
{
    DWORD cbFrame = ch.fStereo ? 2 : 1;
    DWORD cbWhole = ch.cbData - ch.cbData % cbFrame;
    bool fAdded = false;
    for (int iFrame = 0; iFrame < cFrames && cbWhole > 0;) {
        int n = static_cast<int>(std::min<DWORD>(cFrames - iFrame, (cbWhole - ch.ibPos) / cbFrame));
        if (n == 0)
            break;
        addChunk(mix, ch, iFrame, n);
        fAdded = true;
        iFrame += n;
        ch.ibPos += n * cbFrame;
        if (ch.ibPos == cbWhole && ch.fLoop)
            ch.ibPos = 0;
    }
    return fAdded;
}

void WriteMix(const MIX& mix, bool fStereo, BYTE* pbOut)
{
    std::memset(pbOut, 128, kcbMixBuffer);
    if (mix.mixPeak == 0)
        return;
    if (fStereo) {
        for (DWORD i = 0; i < kcbMixBuffer / 2; ++i) {
            pbOut[2 * i] = scale(mix.rgLeft[i], mix);
            pbOut[2 * i + 1] = scale(mix.rgRight[i], mix);
        }
    } else {
        for (DWORD i = 0; i < kcbMixBuffer; ++i)
            pbOut[i] = scale((mix.rgLeft[i] + mix.rgRight[i]) / 2, mix);
    }
}
