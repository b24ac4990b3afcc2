// PCM stream conversions through SDL's audio converter (resampling, sample size, channels).
//
// Every conversion is one whole buffer. Its output length is fixed by the formats alone,
// ceil(frames × destination rate / source rate) frames, so the size asked for beforehand is
// exactly what the conversion delivers: the resampler's frame of slack is trimmed or padded
// with silence.
#include "../winmm/pcmformat.h"

#include "msacm.h"

#include <SDL.h>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

namespace {

struct AcmStream {
    WAVEFORMATEX src;
    WAVEFORMATEX dst;
};

struct Streams {
    std::mutex lock;
    std::set<AcmStream*> open;
};

Streams& streams()
{
    static Streams* s = new Streams;
    return *s;
}

AcmStream* lookUp(HACMSTREAM has)
{
    auto* stream = reinterpret_cast<AcmStream*>(has);
    std::lock_guard guard(streams().lock);
    return streams().open.count(stream) ? stream : nullptr;
}

// Frames of output for `frames` of input; 0 when the result would not fit a DWORD of bytes.
uint64_t outputFrames(const AcmStream& s, uint64_t frames)
{
    uint64_t out = (frames * s.dst.nSamplesPerSec + s.src.nSamplesPerSec - 1) / s.src.nSamplesPerSec;
    return out * s.dst.nBlockAlign > UINT32_MAX ? 0 : out;
}

bool validHeader(LPACMSTREAMHEADER pash)
{
    return pash && pash->cbStruct >= sizeof(ACMSTREAMHEADER) && (pash->pbSrc || pash->cbSrcLength == 0)
           && (pash->pbDst || pash->cbDstLength == 0);
}

// Converts cbSrc bytes (whole frames) into exactly cbOut bytes at dst.
MMRESULT convertWhole(const AcmStream& s, const BYTE* src, DWORD cbSrc, BYTE* dst, DWORD cbOut)
{
    DWORD got = 0;
    if (cbSrc > 0) {
        SDL_AudioCVT cvt;
        if (SDL_BuildAudioCVT(&cvt, SdlSampleFormat(s.src), static_cast<Uint8>(s.src.nChannels), static_cast<int>(s.src.nSamplesPerSec),
                              SdlSampleFormat(s.dst), static_cast<Uint8>(s.dst.nChannels), static_cast<int>(s.dst.nSamplesPerSec))
            < 0)
            return ACMERR_NOTPOSSIBLE;
        // SDL converts in place in a buffer len_mult times the input, sized by an int.
        if (uint64_t{cbSrc} * static_cast<unsigned>(cvt.len_mult) > INT32_MAX)
            return MMSYSERR_NOMEM;
        std::vector<Uint8> work(size_t{cbSrc} * static_cast<unsigned>(cvt.len_mult));
        std::memcpy(work.data(), src, cbSrc);
        cvt.buf = work.data();
        cvt.len = static_cast<int>(cbSrc);
        if (SDL_ConvertAudio(&cvt) != 0)
            return MMSYSERR_ERROR;
        got = std::min(static_cast<DWORD>(cvt.len_cvt), cbOut);
        std::memcpy(dst, work.data(), got);
    }
    std::memset(dst + got, s.dst.wBitsPerSample == 8 ? 0x80 : 0, cbOut - got);
    return MMSYSERR_NOERROR;
}

} // namespace

MMRESULT acmStreamOpen(LPHACMSTREAM phas, HACMDRIVER had, LPWAVEFORMATEX pwfxSrc, LPWAVEFORMATEX pwfxDst, LPWAVEFILTER pwfltr,
                       DWORD_PTR dwCallback, DWORD_PTR dwInstance, DWORD fdwOpen)
{
    (void)dwCallback;
    (void)dwInstance;
    if (fdwOpen & ~static_cast<DWORD>(ACM_STREAMOPENF_QUERY | ACM_STREAMOPENF_NONREALTIME))
        return MMSYSERR_INVALFLAG;
    if (had)
        return MMSYSERR_INVALHANDLE;
    bool query = fdwOpen & ACM_STREAMOPENF_QUERY;
    if (!pwfxSrc || !pwfxDst || (!query && !phas))
        return MMSYSERR_INVALPARAM;
    if (pwfltr || !IsPlainPcm(*pwfxSrc) || !IsPlainPcm(*pwfxDst))
        return ACMERR_NOTPOSSIBLE;
    if (query)
        return MMSYSERR_NOERROR;
    auto* stream = new AcmStream{*pwfxSrc, *pwfxDst};
    {
        std::lock_guard guard(streams().lock);
        streams().open.insert(stream);
    }
    *phas = reinterpret_cast<HACMSTREAM>(stream);
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamClose(HACMSTREAM has, DWORD fdwClose)
{
    if (fdwClose)
        return MMSYSERR_INVALFLAG;
    AcmStream* stream = lookUp(has);
    if (!stream)
        return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard guard(streams().lock);
        streams().open.erase(stream);
    }
    delete stream;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamSize(HACMSTREAM has, DWORD cbInput, LPDWORD pdwOutputBytes, DWORD fdwSize)
{
    AcmStream* s = lookUp(has);
    if (!s)
        return MMSYSERR_INVALHANDLE;
    if (!pdwOutputBytes)
        return MMSYSERR_INVALPARAM;
    uint64_t bytes = 0;
    if (fdwSize == ACM_STREAMSIZEF_SOURCE) {
        bytes = outputFrames(*s, cbInput / s->src.nBlockAlign) * s->dst.nBlockAlign;
    } else if (fdwSize == ACM_STREAMSIZEF_DESTINATION) {
        uint64_t frames = uint64_t{cbInput / s->dst.nBlockAlign} * s->src.nSamplesPerSec / s->dst.nSamplesPerSec;
        bytes = std::min<uint64_t>(frames * s->src.nBlockAlign, UINT32_MAX / s->src.nBlockAlign * s->src.nBlockAlign);
    } else {
        return MMSYSERR_INVALFLAG;
    }
    if (bytes == 0)
        return ACMERR_NOTPOSSIBLE;
    *pdwOutputBytes = static_cast<DWORD>(bytes);
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamPrepareHeader(HACMSTREAM has, LPACMSTREAMHEADER pash, DWORD fdwPrepare)
{
    if (fdwPrepare)
        return MMSYSERR_INVALFLAG;
    if (!lookUp(has))
        return MMSYSERR_INVALHANDLE;
    if (!validHeader(pash))
        return MMSYSERR_INVALPARAM;
    pash->fdwStatus = (pash->fdwStatus & ~ACMSTREAMHEADER_STATUSF_DONE) | ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamConvert(HACMSTREAM has, LPACMSTREAMHEADER pash, DWORD fdwConvert)
{
    constexpr DWORD kKnown = ACM_STREAMCONVERTF_BLOCKALIGN | ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END;
    if (fdwConvert & ~kKnown)
        return MMSYSERR_INVALFLAG;
    AcmStream* s = lookUp(has);
    if (!s)
        return MMSYSERR_INVALHANDLE;
    if (!validHeader(pash))
        return MMSYSERR_INVALPARAM;
    if (!(pash->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED))
        return ACMERR_UNPREPARED;

    DWORD frames = pash->cbSrcLength / s->src.nBlockAlign;
    DWORD cbSrc = frames * s->src.nBlockAlign;
    DWORD cbOut
        = static_cast<DWORD>(std::min<uint64_t>(outputFrames(*s, frames), pash->cbDstLength / s->dst.nBlockAlign)) * s->dst.nBlockAlign;
    MMRESULT result = convertWhole(*s, pash->pbSrc, cbSrc, pash->pbDst, cbOut);
    if (result != MMSYSERR_NOERROR)
        return result;
    pash->cbSrcLengthUsed = cbSrc;
    pash->cbDstLengthUsed = cbOut;
    pash->fdwStatus |= ACMSTREAMHEADER_STATUSF_DONE;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamUnprepareHeader(HACMSTREAM has, LPACMSTREAMHEADER pash, DWORD fdwUnprepare)
{
    if (fdwUnprepare)
        return MMSYSERR_INVALFLAG;
    if (!lookUp(has))
        return MMSYSERR_INVALHANDLE;
    if (!validHeader(pash))
        return MMSYSERR_INVALPARAM;
    if (!(pash->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED))
        return ACMERR_UNPREPARED;
    pash->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}
