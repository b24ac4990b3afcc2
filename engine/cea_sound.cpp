#include "cea_sound.h"

#include "cea_sound_mixer.h"
#include "cea_sound_wave.h"
#include "memmgr.h"

namespace {

// A moment of silence: 16 samples of 8-bit mono.
const BYTE kSilence[16] = {128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128};

} // namespace

SOUND::SOUND(LPCWSTR path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD cb = GetFileSize(file, nullptr);
    auto* pb = cb != INVALID_FILE_SIZE && cb > 0 ? static_cast<BYTE*>(MEM_ALLOC(cb, "cbData")) : nullptr;
    DWORD cbRead = 0;
    if (pb && ReadFile(file, pb, cb, &cbRead, nullptr))
        load(pb, cbRead);
    if (pb)
        MEM_FREE(pb);
    CloseHandle(file);
}

SOUND::SOUND(const void* pb, DWORD cb)
{
    load(static_cast<const BYTE*>(pb), cb);
}

SOUND::SOUND(HMODULE hModule, LPCWSTR name)
{
    HRSRC hrsrc = FindResourceW(hModule, name, u"SOUND");
    if (!hrsrc)
        hrsrc = FindResourceW(hModule, name, u"WAVE");
    HGLOBAL hglobal = hrsrc ? LoadResource(hModule, hrsrc) : nullptr;
    if (hglobal)
        load(static_cast<const BYTE*>(LockResource(hglobal)), SizeofResource(hModule, hrsrc));
}

SOUND::SOUND(const WAVEFORMATEX* pwfx, const void* pb, DWORD cb)
{
    if (pwfx && pb)
        pbData = ConvertForMixing(*pwfx, static_cast<const BYTE*>(pb), cb, &wfx, &cbData);
}

SOUND::~SOUND()
{
    MixerStop(this, false);
    if (pbData)
        MEM_FREE(pbData);
}

void SOUND::load(const BYTE* pb, DWORD cb)
{
    WAVEFORMATEX wfxFile;
    const BYTE* pbSamples = nullptr;
    DWORD cbSamples = 0;
    if (pb && ParseWave(pb, cb, &wfxFile, &pbSamples, &cbSamples))
        pbData = ConvertForMixing(wfxFile, pbSamples, cbSamples, &wfx, &cbData);
}

bool SOUND::IsLoaded() const
{
    return pbData != nullptr;
}

bool SOUND::IsPlaying() const
{
    return MixerIsPlaying(this);
}

void SOUND::SetNotify(HWND hwnd, LPARAM lParam)
{
    hwndNotify = hwnd;
    lParamNotify = lParam;
}

void SOUND::Play(int mode)
{
    fLoop = mode == 1;
    // A mode-2 sound belongs to the mixer from here on, refused or not.
    if (!(pbData && MixerPlay(this, mode)) && mode == 2)
        MEM_DELETE(this);
}

void SOUND::Stop()
{
    MixerStop(this, true);
}

void SOUND::MixerSuspend(bool fOn)
{
    ::MixerSuspend(fOn);
}

void SOUND::Prime()
{
    if (MixerDeviceOpen())
        return;
    WAVEFORMATEX wfxSilence = PcmFormat(1, 22050, 8);
    MEM_NEW(SOUND, &wfxSilence, kSilence, sizeof kSilence)->Play(2);
}

SoundPoster SetSoundPoster(SoundPoster poster)
{
    return MixerSetPoster(poster);
}
