// Sounds and the software mixer that plays them.
//
// A SOUND holds one sample, converted when it is loaded to 8-bit PCM at 22050 Hz (mono or
// stereo). Playing it gives it a channel in the process-wide mixer, which sums every playing
// channel into one wave-output stream on its own thread, scaled so that the mix never clips.
// When a channel ends the mixer posts WM_SOUNDDONE to the sound's notify window.
#pragma once

#include "windows.h"

// Posted when a channel ends: wParam is the SOUND, lParam its notify parameter.
#define WM_SOUNDDONE (WM_USER + 50)

struct SOUND {
    // A wave file read whole from disk.
    explicit SOUND(LPCWSTR path);
    // A wave file in memory.
    SOUND(const void* pb, DWORD cb);
    // A wave file among a module's resources, of type "SOUND", else "WAVE".
    SOUND(HMODULE hModule, LPCWSTR name);
    // Samples of any PCM format, converted here.
    SOUND(const WAVEFORMATEX* pwfx, const void* pb, DWORD cb);
    ~SOUND();
    SOUND(const SOUND&) = delete;
    SOUND& operator=(const SOUND&) = delete;

    bool IsLoaded() const;
    bool IsPlaying() const;
    void SetNotify(HWND hwnd, LPARAM lParam);

    // Mode 0 plays once, 1 loops, 2 plays once and then the mixer destroys the sound, which
    // must have been made with MEM_NEW. A play the mixer refuses destroys a mode-2 sound at once.
    void Play(int mode);
    void Play(bool fLoop) { Play(fLoop ? 1 : 0); }
    // Ends every channel playing this sound.
    void Stop();

    // On: closes the output device (channels are kept). Off: reopens it if a channel waits.
    static void MixerSuspend(bool fOn);
    // Opens the output device ahead of the first real sound by playing a moment of silence.
    static void Prime();

    int playCount = 0; // guarded by the mixer lock
    bool fLoop = false;
    HWND hwndNotify = nullptr;
    LPARAM lParamNotify = 0;
    WAVEFORMATEX wfx{};
    BYTE* pbData = nullptr;
    DWORD cbData = 0;

private:
    void load(const BYTE* pb, DWORD cb);
};

// How the mixer posts WM_SOUNDDONE, in PostMessageW's shape; it is called from the mixer's
// thread. PostMessageW unless replaced (tests listen in here); null restores it. Returns the
// previous poster.
using SoundPoster = BOOL (*)(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
SoundPoster SetSoundPoster(SoundPoster poster);
