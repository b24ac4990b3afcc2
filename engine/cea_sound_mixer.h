// The process-wide mixer behind SOUND: its thread, its output device and its channels.
#pragma once

#include "cea_sound.h"

// Gives the sound a channel, opening the device when needed; false when refused.
bool MixerPlay(SOUND* psnd, int mode);
// Ends every channel of the sound. When fDestroyOwned and one of them owned it, the sound
// has been destroyed on return (true).
bool MixerStop(SOUND* psnd, bool fDestroyOwned);
bool MixerIsPlaying(const SOUND* psnd);
void MixerSuspend(bool fOn);
bool MixerDeviceOpen();
SoundPoster MixerSetPoster(SoundPoster poster);
