// The mixer: one output device fed by six buffers that circulate for as long as it is open,
// silence included. The device hands each played buffer back through its callback; the mixer
// thread refills it from the playing channels and writes it again.
//
// Locks: the mixer lock guards the channels, the device and the accumulators; the queue lock
// guards only the returned-buffer queue, and is taken briefly, inside the mixer lock or from
// the device's callback, never the other way round.
#include "cea_sound_mixer.h"

#include "cea_sound_mix.h"
#include "cea_sound_wave.h"
#include "memmgr.h"

#include <atomic>
#include <cstring>

namespace {

constexpr int kcBuffers = 6;
constexpr int kcChannelStep = 8;
constexpr DWORD kmsCloseWait = 1000;

struct MIXER {
    CRITICAL_SECTION csMixer;
    CRITICAL_SECTION csQueue;
    HANDLE hWake; // auto-reset: a buffer came back or a channel was added
    HANDLE hSecond; // auto-reset: every buffer is back
    HANDLE hThread;
    HWAVEOUT hwo;
    bool fStereo;
    bool fRunning;
    WAVEHDR rgHdr[kcBuffers];
    BYTE rgbBuffer[kcBuffers][kcbMixBuffer];
    WAVEHDR* rgReturned[kcBuffers]; // ring: cReturned headers from iReturned on
    int iReturned;
    int cReturned;
    CHANNEL* rgChannel;
    int cChannel;
    MIX mix;
};

std::atomic<MIXER*> g_pMixer{nullptr};
std::atomic<SoundPoster> g_poster{PostMessageW};

// Queue operations: the caller holds the queue lock.
void pushBack(MIXER& m, WAVEHDR* h)
{
    if (m.cReturned < kcBuffers)
        m.rgReturned[(m.iReturned + m.cReturned++) % kcBuffers] = h;
}

void pushFront(MIXER& m, WAVEHDR* h)
{
    if (m.cReturned < kcBuffers) {
        m.iReturned = (m.iReturned + kcBuffers - 1) % kcBuffers;
        m.rgReturned[m.iReturned] = h;
        ++m.cReturned;
    }
}

WAVEHDR* popFront(MIXER& m)
{
    if (m.cReturned == 0)
        return nullptr;
    WAVEHDR* h = m.rgReturned[m.iReturned];
    m.iReturned = (m.iReturned + 1) % kcBuffers;
    --m.cReturned;
    return h;
}

// Runs on the device's thread.
void CALLBACK deviceCallback(HWAVEOUT, UINT uMsg, DWORD_PTR dwInstance, DWORD_PTR dwParam1, DWORD_PTR)
{
    if (uMsg != WOM_DONE)
        return;
    MIXER& m = *reinterpret_cast<MIXER*>(dwInstance);
    EnterCriticalSection(&m.csQueue);
    pushBack(m, reinterpret_cast<WAVEHDR*>(dwParam1));
    if (m.cReturned == kcBuffers)
        SetEvent(m.hSecond);
    LeaveCriticalSection(&m.csQueue);
    SetEvent(m.hWake);
}

void endChannel(CHANNEL& ch, bool fDestroyOwned)
{
    CHANNEL ended = ch;
    ch = {}; // free before anything below can look at the channels again
    --ended.pSound->playCount;
    if (ended.hwndNotify)
        g_poster.load()(ended.hwndNotify, WM_SOUNDDONE, reinterpret_cast<WPARAM>(ended.pSound), ended.lParamNotify);
    if (ended.fOwned && fDestroyOwned)
        MEM_DELETE(ended.pSound);
}

bool refill(MIXER& m, WAVEHDR* h)
{
    if (!m.hwo)
        return false;
    int cFrames = m.fStereo ? kcbMixBuffer / 2 : kcbMixBuffer;
    ClearMix(m.mix, cFrames);
    // Indexed afresh each time: ending a channel may destroy a sound, which ends its others.
    for (int i = 0; i < m.cChannel; ++i) {
        CHANNEL& ch = m.rgChannel[i];
        if (ch.pbData && !MixChannel(m.mix, ch, cFrames))
            endChannel(ch, true);
    }
    WriteMix(m.mix, m.fStereo, reinterpret_cast<BYTE*>(h->lpData));
    h->dwFlags &= ~WHDR_DONE;
    h->lpNext = nullptr;
    return waveOutWrite(m.hwo, h, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
}

DWORD WINAPI mixerThread(LPVOID parameter)
{
    MIXER& m = *static_cast<MIXER*>(parameter);
    // Runs for the life of the process: the device may be opened again at any time.
    for (;;) {
        WaitForSingleObject(m.hWake, INFINITE);
        EnterCriticalSection(&m.csMixer);
        while (m.fRunning) {
            EnterCriticalSection(&m.csQueue);
            WAVEHDR* h = popFront(m);
            LeaveCriticalSection(&m.csQueue);
            if (!h)
                break;
            if (!refill(m, h)) {
                EnterCriticalSection(&m.csQueue);
                pushFront(m, h);
                LeaveCriticalSection(&m.csQueue);
                break;
            }
        }
        LeaveCriticalSection(&m.csMixer);
    }
}

MIXER* createMixer()
{
    auto* m = static_cast<MIXER*>(MEM_ALLOC(sizeof(MIXER), "MIXER"));
    if (!m)
        return nullptr;
    MEM_TARE(m); // lives as long as the process
    std::memset(m, 0, sizeof(MIXER));
    InitializeCriticalSection(&m->csMixer);
    InitializeCriticalSection(&m->csQueue);
    m->hWake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m->hSecond = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m->hThread = CreateThread(nullptr, 0, mixerThread, m, 0, nullptr);
    if (m->hThread)
        SetThreadPriority(m->hThread, THREAD_PRIORITY_ABOVE_NORMAL);
    g_pMixer = m;
    return m;
}

// The mixer, created by the first play; until then there is nothing to stop or suspend.
MIXER* mixer()
{
    static MIXER* pMixer = createMixer();
    return pMixer;
}

void unprepareAll(MIXER& m, int cPrepared)
{
    for (int i = 0; i < cPrepared; ++i)
        waveOutUnprepareHeader(m.hwo, &m.rgHdr[i], sizeof(WAVEHDR));
}

// Under the mixer lock.
bool openDevice(MIXER& m)
{
    if (m.hwo)
        return true;
    for (WORD nChannels : {2, 1}) {
        WAVEFORMATEX wfx = PcmFormat(nChannels, 22050, 8);
        if (waveOutOpen(&m.hwo, WAVE_MAPPER, &wfx, reinterpret_cast<DWORD_PTR>(deviceCallback), reinterpret_cast<DWORD_PTR>(&m),
                        CALLBACK_FUNCTION)
            == MMSYSERR_NOERROR) {
            m.fStereo = nChannels == 2;
            break;
        }
        m.hwo = nullptr;
    }
    if (!m.hwo)
        return false;
    EnterCriticalSection(&m.csQueue);
    m.iReturned = 0;
    m.cReturned = 0;
    for (int i = 0; i < kcBuffers; ++i) {
        WAVEHDR& h = m.rgHdr[i];
        h = {};
        h.lpData = reinterpret_cast<LPSTR>(m.rgbBuffer[i]);
        h.dwBufferLength = kcbMixBuffer;
        if (waveOutPrepareHeader(m.hwo, &h, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            LeaveCriticalSection(&m.csQueue);
            unprepareAll(m, i);
            waveOutClose(m.hwo);
            m.hwo = nullptr;
            return false;
        }
        h.dwFlags |= WHDR_DONE;
        pushBack(m, &h);
    }
    LeaveCriticalSection(&m.csQueue);
    m.fRunning = true;
    return true;
}

// Under the mixer lock; the lock is let go while the buffers drain.
void closeDevice(MIXER& m)
{
    m.fRunning = false;
    EnterCriticalSection(&m.csQueue);
    bool fAllBack = m.cReturned == kcBuffers;
    if (!fAllBack)
        ResetEvent(m.hSecond);
    LeaveCriticalSection(&m.csQueue);
    if (!fAllBack) {
        LeaveCriticalSection(&m.csMixer);
        WaitForSingleObject(m.hSecond, kmsCloseWait);
        EnterCriticalSection(&m.csMixer);
        if (!m.hwo)
            return; // closed by another caller meanwhile
    }
    // Whatever the device still holds after the wait comes back now, so every header unprepares.
    waveOutReset(m.hwo);
    unprepareAll(m, kcBuffers);
    waveOutClose(m.hwo);
    m.hwo = nullptr;
}

bool anyChannelInUse(const MIXER& m)
{
    for (int i = 0; i < m.cChannel; ++i)
        if (m.rgChannel[i].pbData)
            return true;
    return false;
}

CHANNEL* freeChannel(MIXER& m)
{
    for (int i = 0; i < m.cChannel; ++i)
        if (!m.rgChannel[i].pbData)
            return &m.rgChannel[i];
    int iNew = m.cChannel;
    if (!MEM_GROW_ARRAY(&m.rgChannel, &m.cChannel, iNew + 1, kcChannelStep))
        return nullptr;
    return &m.rgChannel[iNew];
}

} // namespace

bool MixerPlay(SOUND* psnd, int mode)
{
    MIXER* m = mixer();
    if (!m)
        return false;
    EnterCriticalSection(&m->csMixer);
    CHANNEL* ch = IsMixFormat(psnd->wfx) && openDevice(*m) ? freeChannel(*m) : nullptr;
    if (ch) {
        ++psnd->playCount;
        *ch = {psnd->wfx.nChannels == 2, psnd->pbData, psnd->cbData, 0, mode == 1, psnd->hwndNotify, psnd->lParamNotify, psnd, mode == 2};
        SetEvent(m->hWake);
    }
    LeaveCriticalSection(&m->csMixer);
    return ch != nullptr;
}

bool MixerStop(SOUND* psnd, bool fDestroyOwned)
{
    MIXER* m = g_pMixer.load();
    if (!m)
        return false;
    bool fOwned = false;
    EnterCriticalSection(&m->csMixer);
    for (int i = 0; i < m->cChannel; ++i) {
        CHANNEL& ch = m->rgChannel[i];
        if (ch.pbData && ch.pbData == psnd->pbData) {
            fOwned = fOwned || ch.fOwned;
            endChannel(ch, false);
        }
    }
    LeaveCriticalSection(&m->csMixer);
    // Destroyed once, after all its channels have ended.
    if (fOwned && fDestroyOwned)
        MEM_DELETE(psnd);
    return fOwned && fDestroyOwned;
}

bool MixerIsPlaying(const SOUND* psnd)
{
    MIXER* m = g_pMixer.load();
    if (!m)
        return false;
    EnterCriticalSection(&m->csMixer);
    bool fPlaying = psnd->playCount != 0;
    LeaveCriticalSection(&m->csMixer);
    return fPlaying;
}

void MixerSuspend(bool fOn)
{
    MIXER* m = g_pMixer.load();
    if (!m)
        return;
    EnterCriticalSection(&m->csMixer);
    if (fOn) {
        if (m->rgChannel && !anyChannelInUse(*m)) {
            MEM_FREE(m->rgChannel);
            m->rgChannel = nullptr;
            m->cChannel = 0;
        }
        if (m->hwo)
            closeDevice(*m);
    } else if (!m->hwo && anyChannelInUse(*m) && openDevice(*m)) {
        SetEvent(m->hWake);
    }
    LeaveCriticalSection(&m->csMixer);
}

bool MixerDeviceOpen()
{
    MIXER* m = g_pMixer.load();
    if (!m)
        return false;
    EnterCriticalSection(&m->csMixer);
    bool fOpen = m->hwo != nullptr;
    LeaveCriticalSection(&m->csMixer);
    return fOpen;
}

SoundPoster MixerSetPoster(SoundPoster poster)
{
    return g_poster.exchange(poster ? poster : PostMessageW);
}
