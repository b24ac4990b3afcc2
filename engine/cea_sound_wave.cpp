#include "cea_sound_wave.h"

#include "little_endian.h"
#include "memmgr.h"

#include <cstring>

namespace {

constexpr DWORD kMixRate = 22050;

bool sameLayout(const WAVEFORMATEX& a, const WAVEFORMATEX& b)
{
    return a.wFormatTag == b.wFormatTag && a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec
           && a.wBitsPerSample == b.wBitsPerSample;
}

// One whole-buffer conversion; a new block, or null.
BYTE* convert(const WAVEFORMATEX& from, const BYTE* pb, DWORD cb, const WAVEFORMATEX& to, DWORD* pcbOut)
{
    HACMSTREAM has = nullptr;
    WAVEFORMATEX src = from;
    WAVEFORMATEX dst = to;
    if (acmStreamOpen(&has, nullptr, &src, &dst, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != MMSYSERR_NOERROR)
        return nullptr;
    DWORD cbOut = 0;
    BYTE* pbOut = nullptr;
    if (acmStreamSize(has, cb, &cbOut, ACM_STREAMSIZEF_SOURCE) == MMSYSERR_NOERROR)
        pbOut = static_cast<BYTE*>(MEM_ALLOC(cbOut, "cbOut"));
    if (pbOut) {
        std::memset(pbOut, 128, cbOut);
        ACMSTREAMHEADER ash{};
        ash.cbStruct = sizeof ash;
        ash.pbSrc = const_cast<BYTE*>(pb);
        ash.cbSrcLength = cb;
        ash.pbDst = pbOut;
        ash.cbDstLength = cbOut;
        bool ok = acmStreamPrepareHeader(has, &ash, 0) == MMSYSERR_NOERROR;
        ok = ok && acmStreamConvert(has, &ash, 0) == MMSYSERR_NOERROR;
        if (ash.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED)
            acmStreamUnprepareHeader(has, &ash, 0);
        *pcbOut = ash.cbDstLengthUsed;
        if (!ok || *pcbOut == 0) {
            MEM_FREE(pbOut);
            pbOut = nullptr;
        }
    }
    acmStreamClose(has, 0);
    return pbOut;
}

} // namespace

bool ParseWave(const BYTE* pb, DWORD cb, WAVEFORMATEX* pwfx, const BYTE** ppbData, DWORD* pcbData)
{
    *pwfx = {};
    if (cb < 12 || std::memcmp(pb, "RIFF", 4) != 0 || std::memcmp(pb + 8, "WAVE", 4) != 0)
        return false;
    for (DWORD ib = 12; cb - ib >= 9;) {
        const BYTE* chunk = pb + ib;
        DWORD cbChunk = LoadLe32(chunk + 4);
        ib += 8;
        if (cbChunk > cb - ib)
            return false;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (cbChunk >= sizeof(WAVEFORMATEX))
                std::memcpy(pwfx, pb + ib, sizeof(WAVEFORMATEX));
            else if (cbChunk == 16)
                std::memcpy(pwfx, pb + ib, 16); // the older record, without the extra size
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            *ppbData = pb + ib;
            *pcbData = cbChunk;
            return true;
        }
        ib += cbChunk;
    }
    return false;
}

WAVEFORMATEX PcmFormat(WORD nChannels, DWORD nSamplesPerSec, WORD wBitsPerSample)
{
    WORD nBlockAlign = static_cast<WORD>((wBitsPerSample == 8 ? 1 : 2) * nChannels);
    return {WAVE_FORMAT_PCM, nChannels, nSamplesPerSec, nSamplesPerSec * nBlockAlign, nBlockAlign, wBitsPerSample, 0};
}

bool IsMixFormat(const WAVEFORMATEX& wfx)
{
    return wfx.wFormatTag == WAVE_FORMAT_PCM && wfx.wBitsPerSample == 8 && wfx.nSamplesPerSec == kMixRate
           && (wfx.nChannels == 1 || wfx.nChannels == 2);
}

BYTE* ConvertForMixing(const WAVEFORMATEX& wfx, const BYTE* pb, DWORD cb, WAVEFORMATEX* pwfxOut, DWORD* pcbOut)
{
    // To PCM first (a compressed source has no converter here), then to the mixer's rate,
    // then to its sample size; each step only when the samples are not there already.
    const WAVEFORMATEX steps[] = {
        PcmFormat(wfx.nChannels, wfx.nSamplesPerSec, wfx.wBitsPerSample),
        PcmFormat(wfx.nChannels, kMixRate, wfx.wBitsPerSample),
        PcmFormat(wfx.nChannels, kMixRate, 8),
    };
    WAVEFORMATEX current = wfx;
    const BYTE* pbCurrent = pb;
    DWORD cbCurrent = cb;
    BYTE* pbOwned = nullptr;
    for (const WAVEFORMATEX& step : steps) {
        if (sameLayout(current, step))
            continue;
        DWORD cbNext = 0;
        BYTE* pbNext = convert(current, pbCurrent, cbCurrent, step, &cbNext);
        if (pbOwned)
            MEM_FREE(pbOwned);
        if (!pbNext)
            return nullptr;
        pbOwned = pbNext;
        pbCurrent = pbNext;
        cbCurrent = cbNext;
        current = step;
    }
    if (!IsMixFormat(current) || cbCurrent < current.nChannels) {
        if (pbOwned)
            MEM_FREE(pbOwned);
        return nullptr; // nothing the mixer could play
    }
    if (!pbOwned) {
        cbCurrent -= cbCurrent % current.nChannels;
        pbOwned = static_cast<BYTE*>(MEM_ALLOC(cbCurrent, "cbData"));
        if (!pbOwned)
            return nullptr;
        std::memcpy(pbOwned, pb, cbCurrent);
    }
    *pwfxOut = steps[2];
    *pcbOut = cbCurrent;
    return pbOwned;
}
