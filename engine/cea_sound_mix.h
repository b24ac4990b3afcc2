// The mixer's arithmetic: channels summed into 16-bit accumulators, then scaled back to
// 8-bit output so that the loudest moment of the mix is as loud as the loudest input sample.
#pragma once

#include "cea_sound.h"

constexpr DWORD kcbMixBuffer = 1024;

struct CHANNEL {
    bool fStereo;
    const BYTE* pbData; // the playing sound's samples; null marks a free record
    DWORD cbData;
    DWORD ibPos;
    bool fLoop;
    HWND hwndNotify;
    LPARAM lParamNotify;
    SOUND* pSound; // holds one of its playCount; handed over with the notification
    bool fOwned; // destroyed by the mixer when the channel ends
};

struct MIX {
    SHORT rgLeft[kcbMixBuffer];
    SHORT rgRight[kcbMixBuffer];
    int inputPeak;
    int mixPeak;
};

// Starts a buffer of cFrames frames: accumulators and peaks cleared.
void ClearMix(MIX& mix, int cFrames);

// Adds the channel's next cFrames frames (fewer at the end of its data) and advances it;
// a looping channel starts over as often as needed. False when it had nothing left to add.
bool MixChannel(MIX& mix, CHANNEL& ch, int cFrames);

// Writes the mix as kcbMixBuffer bytes of 8-bit output, stereo or mono.
void WriteMix(const MIX& mix, bool fStereo, BYTE* pbOut);
