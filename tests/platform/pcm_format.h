// The PCM format of the audio suites.
#pragma once

#include "windows.h"

inline WAVEFORMATEX pcm(WORD channels, DWORD rate, WORD bits)
{
    return {WAVE_FORMAT_PCM, channels, rate, rate * WORD(channels * bits / 8), WORD(channels * bits / 8), bits, 0};
}
