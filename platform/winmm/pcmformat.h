// What the layer's wave output and stream conversions accept: uncompressed PCM, 8 or 16 bits,
// mono or stereo, with a block align and byte rate that agree with the rest of the format.
#pragma once

#include "mmsystem.h"

#include <SDL.h>

bool IsPlainPcm(const WAVEFORMATEX& format);

// The SDL sample format of a plain PCM format: unsigned 8-bit or signed 16-bit little-endian.
SDL_AudioFormat SdlSampleFormat(const WAVEFORMATEX& format);
