// Wave output over an SDL audio device.
//
// Written headers wait in a queue that SDL's audio thread drains into the device a period at
// a time (silence when the queue is empty). A header whose last byte went out in one period is
// handed back at the start of the next: by then the device has taken that period and asked for
// more, so the buffer has been played, not merely copied.
#include "pcmformat.h"

#include "mmsystem.h"

#include <SDL.h>
#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>
#include <set>
#include <vector>

namespace {

// About 23 ms at 22050 Hz: short enough for prompt sounds, long enough not to underrun.
constexpr Uint16 kDeviceFrames = 512;

struct WaveOut {
    SDL_AudioDeviceID device = 0;
    LPWAVECALLBACK callback = nullptr;
    DWORD_PTR instance = 0;
    Uint8 silence = 0;
    std::mutex lock; // over the queues and the headers' flags
    std::deque<WAVEHDR*> queued; // written, not all bytes out yet
    DWORD offset = 0; // bytes of the front header already out
    std::vector<WAVEHDR*> played; // all bytes out during the last period
    std::vector<WAVEHDR*> returning; // being handed back by the audio thread
};

// Open devices, so that a stale or made-up handle is refused instead of followed.
struct Devices {
    std::mutex lock;
    std::set<WaveOut*> open;
};

Devices& devices()
{
    // Never destroyed: an audio thread may still run while the process exits.
    static Devices* d = new Devices;
    return *d;
}

WaveOut* lookUp(HWAVEOUT hwo)
{
    auto* wo = reinterpret_cast<WaveOut*>(hwo);
    std::lock_guard guard(devices().lock);
    return devices().open.count(wo) ? wo : nullptr;
}

void notify(WaveOut& wo, UINT msg, DWORD_PTR param1)
{
    if (wo.callback)
        wo.callback(reinterpret_cast<HWAVEOUT>(&wo), msg, wo.instance, param1, 0);
}

// Marks headers done (under the lock) before anyone is told, so the callback sees them done.
void markDone(const std::vector<WAVEHDR*>& headers)
{
    for (WAVEHDR* h : headers)
        h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
}

void handBack(WaveOut& wo, const std::vector<WAVEHDR*>& headers)
{
    for (WAVEHDR* h : headers)
        notify(wo, WOM_DONE, reinterpret_cast<DWORD_PTR>(h));
}

// Runs on SDL's audio thread.
void SDLCALL fillPeriod(void* userdata, Uint8* stream, int len)
{
    WaveOut& wo = *static_cast<WaveOut*>(userdata);
    {
        std::lock_guard guard(wo.lock);
        wo.returning.clear();
        wo.returning.swap(wo.played);
        markDone(wo.returning);
        auto out = static_cast<DWORD>(len);
        DWORD filled = 0;
        while (filled < out && !wo.queued.empty()) {
            WAVEHDR* h = wo.queued.front();
            DWORD n = std::min(h->dwBufferLength - wo.offset, out - filled);
            std::memcpy(stream + filled, h->lpData + wo.offset, n);
            filled += n;
            wo.offset += n;
            if (wo.offset == h->dwBufferLength) {
                wo.played.push_back(h);
                wo.queued.pop_front();
                wo.offset = 0;
            }
        }
        std::memset(stream + filled, wo.silence, out - filled);
    }
    handBack(wo, wo.returning);
}

bool validHeader(LPWAVEHDR pwh, UINT cbwh)
{
    return pwh && cbwh >= sizeof(WAVEHDR) && (pwh->lpData || pwh->dwBufferLength == 0);
}

} // namespace

MMRESULT waveOutOpen(LPHWAVEOUT phwo, UINT uDeviceID, LPCWAVEFORMATEX pwfx, DWORD_PTR dwCallback, DWORD_PTR dwInstance, DWORD fdwOpen)
{
    if (!phwo || !pwfx)
        return MMSYSERR_INVALPARAM;
    DWORD callbackType = fdwOpen & CALLBACK_TYPEMASK;
    if ((fdwOpen & ~CALLBACK_TYPEMASK) || (callbackType != CALLBACK_NULL && callbackType != CALLBACK_FUNCTION))
        return MMSYSERR_INVALFLAG;
    if (uDeviceID != WAVE_MAPPER && uDeviceID != 0)
        return MMSYSERR_BADDEVICEID;
    if (!IsPlainPcm(*pwfx))
        return WAVERR_BADFORMAT;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return MMSYSERR_NODRIVER;

    auto* wo = new WaveOut;
    if (callbackType == CALLBACK_FUNCTION)
        wo->callback = reinterpret_cast<LPWAVECALLBACK>(dwCallback);
    wo->instance = dwInstance;
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(pwfx->nSamplesPerSec);
    want.format = SdlSampleFormat(*pwfx);
    want.channels = static_cast<Uint8>(pwfx->nChannels);
    want.samples = kDeviceFrames;
    want.callback = fillPeriod;
    want.userdata = wo;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the hardware takes, so the callback
    // always speaks the caller's format.
    wo->device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (wo->device == 0) {
        delete wo;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return MMSYSERR_NODRIVER;
    }
    wo->silence = have.silence;
    {
        std::lock_guard guard(devices().lock);
        devices().open.insert(wo);
    }
    *phwo = reinterpret_cast<HWAVEOUT>(wo);
    notify(*wo, WOM_OPEN, 0);
    SDL_PauseAudioDevice(wo->device, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT hwo)
{
    WaveOut* wo = lookUp(hwo);
    if (!wo)
        return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard guard(wo->lock);
        if (!wo->queued.empty() || !wo->played.empty())
            return WAVERR_STILLPLAYING;
    }
    {
        std::lock_guard guard(devices().lock);
        devices().open.erase(wo);
    }
    SDL_CloseAudioDevice(wo->device);
    notify(*wo, WOM_CLOSE, 0);
    delete wo;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh)
{
    WaveOut* wo = lookUp(hwo);
    if (!wo)
        return MMSYSERR_INVALHANDLE;
    if (!validHeader(pwh, cbwh))
        return MMSYSERR_INVALPARAM;
    std::lock_guard guard(wo->lock);
    pwh->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh)
{
    WaveOut* wo = lookUp(hwo);
    if (!wo)
        return MMSYSERR_INVALHANDLE;
    if (!validHeader(pwh, cbwh))
        return MMSYSERR_INVALPARAM;
    std::lock_guard guard(wo->lock);
    if (pwh->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    pwh->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh)
{
    WaveOut* wo = lookUp(hwo);
    if (!wo)
        return MMSYSERR_INVALHANDLE;
    if (!validHeader(pwh, cbwh))
        return MMSYSERR_INVALPARAM;
    std::lock_guard guard(wo->lock);
    if (!(pwh->dwFlags & WHDR_PREPARED))
        return WAVERR_UNPREPARED;
    if (pwh->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    pwh->dwFlags = (pwh->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    wo->queued.push_back(pwh);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutReset(HWAVEOUT hwo)
{
    WaveOut* wo = lookUp(hwo);
    if (!wo)
        return MMSYSERR_INVALHANDLE;
    std::vector<WAVEHDR*> dropped;
    // Holding the device keeps the audio thread out until the queues are empty.
    SDL_LockAudioDevice(wo->device);
    {
        std::lock_guard guard(wo->lock);
        dropped.swap(wo->played);
        dropped.insert(dropped.end(), wo->queued.begin(), wo->queued.end());
        wo->queued.clear();
        wo->offset = 0;
        markDone(dropped);
    }
    SDL_UnlockAudioDevice(wo->device);
    handBack(*wo, dropped);
    return MMSYSERR_NOERROR;
}
