// Reading wave files and bringing samples to the mixer's format.
#pragma once

#include "windows.h"

// Where a wave file's format and samples are. The format is zeroed when the file has no
// usable "fmt " chunk; ppbData points into pb.
bool ParseWave(const BYTE* pb, DWORD cb, WAVEFORMATEX* pwfx, const BYTE** ppbData, DWORD* pcbData);

// PCM (tag 1) at the given layout, its byte rate and block align worked out.
WAVEFORMATEX PcmFormat(WORD nChannels, DWORD nSamplesPerSec, WORD wBitsPerSample);

// The mixer's format: 8-bit PCM at 22050 Hz, mono or stereo.
bool IsMixFormat(const WAVEFORMATEX& wfx);

// Converts samples to the mixer's format, keeping the channel count. Returns a new block of
// *pcbOut bytes from the memory manager, with the final format in *pwfxOut; null when no
// converter takes the source or the result would hold no whole frame.
BYTE* ConvertForMixing(const WAVEFORMATEX& wfx, const BYTE* pb, DWORD cb, WAVEFORMATEX* pwfxOut, DWORD* pcbOut);
