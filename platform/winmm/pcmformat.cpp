#include "pcmformat.h"

namespace {
// Beyond any real device either way. The floor also bounds how far a conversion can multiply
// a buffer, so a file that claims a rate of 1 Hz cannot ask for gigabytes.
constexpr DWORD kMinRate = 1000;
constexpr DWORD kMaxRate = 384000;
} // namespace

bool IsPlainPcm(const WAVEFORMATEX& format)
{
    if (format.wFormatTag != WAVE_FORMAT_PCM)
        return false;
    if (format.nChannels < 1 || format.nChannels > 2)
        return false;
    if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16)
        return false;
    if (format.nSamplesPerSec < kMinRate || format.nSamplesPerSec > kMaxRate)
        return false;
    DWORD blockAlign = format.nChannels * format.wBitsPerSample / 8;
    return format.nBlockAlign == blockAlign && format.nAvgBytesPerSec == format.nSamplesPerSec * blockAlign;
}

SDL_AudioFormat SdlSampleFormat(const WAVEFORMATEX& format)
{
    return format.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
}
