#include "logo.h"

#include "cea_clock.h"
#include "cea_graphic.h"
#include "cea_main.h"
#include "cea_object.h"
#include "cea_palette.h"
#include "cea_sound.h"
#include "cea_window.h"
#include "media.h"
#include "memmgr.h"
#include "trace.h"
#include "zz.h"

#include <algorithm>
#include <atomic>

namespace {

constexpr WORD kAssetType = 4999;
constexpr WORD kImageAsset = 5000;
constexpr WORD kFirstSoundAsset = 5001;
constexpr int kSounds = 3;
constexpr int kFrames = 20;
constexpr double kFramesPerSecond = 20;
constexpr int kPictureLayer = 1;
constexpr DWORD kShortestLoadMs = 2000;
constexpr DWORD kFramesAfterLoading = 5;

// The intro's application events; the end also stops the frame loop that plays the intro. The
// last two are its own: a frame of the animation is shown by an event, and the worker reports
// the end of the loading through the schedule, which is the one thing it shares with the
// window's thread besides the result and cancelled flags.
enum : DWORD {
    kStartSound = 1000, // parameter: sound 1..3
    kStopSound = 1001, // parameter: sound 1..3
    kStartLoading = 1002,
    kEnd = 1003,
    kShowFrame = 1004, // parameter: frame 0..19
    kLoaded = 1005,
};

struct LOGO {
    AnimWindow* window; // none once the window has gone
    HMODULE module;
    LOGOLOADER loader;
    SOUND* sounds[kSounds];
    Graphic* image;
    Graphic* frames[kFrames];
    PaletteGroup* group;
    int cxFrame;
    int cyFrame;
    ANIMOBJECT* picture;
    std::atomic<DWORD> loadStart;
    bool done;
    std::atomic<bool> result;
    std::atomic<bool> cancelled;
    HANDLE worker;
    int cPumps; // frame loops running for the intro, one inside the other
    bool fDestroy; // destroyed while it was playing
    ANIMWINDOWCALLBACK savedCallback;
    double savedFrameRate;
    PaletteGroup* savedGroup;
    bool fSavedCallback;
    bool fSavedFrameRate;
    bool fSavedGroup;
};

LOGO* g_logo = nullptr;

// The unpacked bytes of one intro asset, freed with ZZFree; false when it is missing or corrupt.
bool UnpackAsset(HMODULE module, WORD id, BYTE** ppb, DWORD* pcb)
{
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(kAssetType));
    if (!found)
        return false;
    const HGLOBAL loaded = LoadResource(module, found);
    const void* pb = loaded ? LockResource(loaded) : nullptr;
    return pb && ZZDecompress(ppb, pcb, static_cast<const BYTE*>(pb), SizeofResource(module, found));
}

bool PrepareAssets(LOGO* logo)
{
    for (int i = 0; i < kSounds; ++i) {
        BYTE* pb = nullptr;
        DWORD cb = 0;
        if (!UnpackAsset(logo->module, WORD(kFirstSoundAsset + i), &pb, &cb))
            return false;
        SOUND* sound = MEM_NEW(SOUND, pb, cb);
        ZZFree(pb);
        if (!sound || !sound->IsLoaded()) {
            MEM_DELETE(sound);
            return false;
        }
        logo->sounds[i] = sound;
    }

    BYTE* pb = nullptr;
    DWORD cb = 0;
    if (!UnpackAsset(logo->module, kImageAsset, &pb, &cb))
        return false;
    logo->image = MEM_NEW(Graphic, pb, cb, nullptr, kNoColor);
    ZZFree(pb);
    if (!logo->image || !logo->image->HasBitmap() || logo->image->GetHeight() < kFrames)
        return false;

    SOUND::Prime();

    logo->group = MEM_NEW(PaletteGroup);
    if (!logo->group || !logo->group->Open())
        return false;
    logo->group->Add(logo->image);
    logo->cxFrame = logo->image->GetWidth();
    logo->cyFrame = logo->image->GetHeight() / kFrames;
    const bool ok = CutByGrid(logo->image, logo->frames, kFrames, 1, kFrames);
    logo->group->Close();
    return ok;
}

LRESULT PictureProc(ANIMOBJECT* object, UINT message, void*)
{
    if (message == kObjDestroying && g_logo && g_logo->picture == object)
        g_logo->picture = nullptr;
    return 0;
}

// The end comes five frames from now, and no sooner than two seconds after the loading began.
void ScheduleEnd(LOGO* logo)
{
    const LONG remaining = std::max<LONG>(LONG(logo->loadStart + kShortestLoadMs - EngineTime()), 0);
    const DWORD frame = logo->window->GetCurrentFrame() + kFramesAfterLoading + DWORD(remaining) * DWORD(kFramesPerSecond) / 1000;
    if (!logo->window->ScheduleAppEvent(frame, kEnd, 0))
        logo->done = true;
}

DWORD WINAPI LoaderThread(LPVOID parameter)
{
    auto* logo = static_cast<LOGO*>(parameter);
    const bool ok = logo->loader();
    if (!logo->cancelled)
        logo->result = ok;
    // Frame 0 has passed: the window takes the event on its next frame.
    if (!logo->window->ScheduleAppEvent(0, kLoaded, 0))
        Trace("Logo: the end of the loading could not be scheduled");
    return 0;
}

void StartLoading(LOGO* logo)
{
    logo->loadStart = EngineTime();
    if (!logo->loader) {
        ScheduleEnd(logo);
        return;
    }
    logo->worker = CreateThread(nullptr, 0, LoaderThread, logo, 0, nullptr);
    if (logo->worker)
        return;
    // Without a thread the intro stands still while the loading runs, but it still ends right.
    const bool ok = logo->loader();
    if (!logo->cancelled)
        logo->result = ok;
    ScheduleEnd(logo);
}

void WaitForWorker(LOGO* logo)
{
    if (!logo->worker)
        return;
    WaitForSingleObject(logo->worker, INFINITE);
    CloseHandle(logo->worker);
    logo->worker = nullptr;
}

void Cancel(LOGO* logo)
{
    logo->cancelled = true;
    logo->result = false;
}

void PlaySound(LOGO* logo, LPARAM n)
{
    if (logo->cancelled || n < 1 || n > kSounds)
        return;
    logo->sounds[n - 1]->Stop();
    logo->sounds[n - 1]->Play(0);
}

void StopSound(LOGO* logo, LPARAM n)
{
    if (!logo->cancelled && n >= 1 && n <= kSounds)
        logo->sounds[n - 1]->Stop();
}

void ShowFrame(LOGO* logo, LPARAM i)
{
    if (logo->picture && i >= 0 && i < kFrames)
        logo->picture->SetGraphic(logo->frames[i]);
}

LRESULT LogoCallback(AnimWindow*, UINT code, WPARAM a, LPARAM b)
{
    LOGO* logo = g_logo;
    if (!logo)
        return 1;
    if (code == kAnimFreeing) {
        // The window cannot be pumped any more: the intro ends here, once the loader has
        // stopped touching the window's schedule.
        Cancel(logo);
        WaitForWorker(logo);
        logo->done = true;
        logo->window = nullptr;
        return 1;
    }
    if (code != kAnimEvent)
        return 1;
    switch (a) {
    case kStartSound: PlaySound(logo, b); break;
    case kStopSound: StopSound(logo, b); break;
    case kStartLoading: StartLoading(logo); break;
    case kEnd:
        // Stopping the frame loop here keeps its pace steady for the whole intro.
        logo->done = true;
        return 0;
    case kShowFrame: ShowFrame(logo, b); break;
    case kLoaded: ScheduleEnd(logo); break;
    default: break;
    }
    return 1;
}

// The animation: frames 0-12 one a frame, thirteen frames of stillness, frames 13-19 one every
// second frame, then the loading.
bool Schedule(LOGO* logo)
{
    AnimWindow* window = logo->window;
    DWORD f = window->GetCurrentFrame() + 6;
    bool ok = window->ScheduleAppEvent(f, kStartSound, 1);
    for (int i = 0; i <= 12; ++i)
        ok = ok && window->ScheduleAppEvent(f + DWORD(i), kShowFrame, i);
    f += 13;
    ok = ok && window->ScheduleAppEvent(f, kStartSound, 2) && window->ScheduleAppEvent(f, kStopSound, 1);
    f += 13;
    ok = ok && window->ScheduleAppEvent(f, kStartSound, 3);
    for (int i = 13; i < kFrames; ++i)
        ok = ok && window->ScheduleAppEvent(f + DWORD(i - 13) * 2, kShowFrame, i);
    f += 14;
    return ok && window->ScheduleAppEvent(f, kStartLoading, 0);
}

void Play(LOGO* logo)
{
    AnimWindow* window = logo->window;
    window->BeginUpdate();
    window->Invalidate(nullptr, true);
    logo->savedGroup = GetDisplayPaletteGroup();
    logo->fSavedGroup = true;
    SetDisplayPaletteGroup(logo->group);
    logo->savedCallback = window->callback;
    logo->fSavedCallback = true;
    window->SetCallback(LogoCallback);
    logo->savedFrameRate = window->GetFrameRate();
    logo->fSavedFrameRate = true;
    window->SetFrameRate(kFramesPerSecond);

    logo->picture = ANIMOBJECT::Create(window, PictureProc, kPictureLayer);
    if (logo->picture) {
        const int left = (window->GetWidth() - logo->cxFrame) / 2;
        const int top = (window->GetHeight() - logo->cyFrame) / 2;
        logo->picture->SetRect({left, top, left + logo->cxFrame, top + logo->cyFrame});
    }
    if (!Schedule(logo)) {
        // Without its whole schedule the intro would never end: it ends now instead.
        window->UnscheduleEvent(kStartSound);
        window->UnscheduleEvent(kStopSound);
        window->UnscheduleEvent(kShowFrame);
        window->UnscheduleEvent(kStartLoading);
        Cancel(logo);
        logo->done = true;
    }
    window->EndUpdate();
}

// Runs the window's frame loop until the end event stops it or the window goes.
void PumpUntilDone(LOGO* logo)
{
    ++logo->cPumps;
    while (!logo->done && logo->window && IsLiveWindow(logo->window))
        logo->window->Run(-1);
    --logo->cPumps;
    // A cancel pumps inside the intro's own loop, which must stop as well.
    if (logo->cPumps > 0 && logo->window && IsLiveWindow(logo->window))
        logo->window->ScheduleAppEvent(logo->window->GetCurrentFrame(), kEnd, 0);
}

// Gives the window back its event callback and frame rate.
void RestoreWindow(LOGO* logo)
{
    AnimWindow* window = logo->window;
    if (!window || !IsLiveWindow(window))
        return;
    if (logo->fSavedCallback)
        window->SetCallback(logo->savedCallback);
    if (logo->fSavedFrameRate)
        window->SetFrameRate(logo->savedFrameRate);
    logo->fSavedCallback = logo->fSavedFrameRate = false;
}

} // namespace

BOOL RunLogo(AnimWindow* window, HMODULE module, LOGOLOADER loader, bool keep)
{
    DestroyLogo();
    if (!window || !IsLiveWindow(window))
        return FALSE;
    LOGO* logo = MEM_NEW(LOGO);
    if (!logo)
        return FALSE;
    g_logo = logo;
    logo->window = window;
    logo->module = module;
    logo->loader = loader;
    logo->result = true;
    if (!PrepareAssets(logo)) {
        Trace("Logo: the intro's assets could not be prepared");
        DestroyLogo();
        return FALSE;
    }
    Play(logo);
    PumpUntilDone(logo);
    // A cancel that came while the loader was storing its result still wins.
    const BOOL result = logo->result && !logo->cancelled ? TRUE : FALSE;
    RestoreWindow(logo);
    if (!keep || !result || logo->fDestroy)
        DestroyLogo();
    return result;
}

void CancelLogo()
{
    LOGO* logo = g_logo;
    if (!logo || logo->done)
        return;
    Cancel(logo);
    PumpUntilDone(logo);
}

void DestroyLogo()
{
    LOGO* logo = g_logo;
    if (!logo)
        return;
    if (logo->cPumps > 0) {
        // Called from inside the intro's own frame loop: the intro ends as cancelled and
        // RunLogo frees it on its way out.
        Cancel(logo);
        logo->fDestroy = true;
        return;
    }
    WaitForWorker(logo);
    RestoreWindow(logo);
    if (logo->fSavedGroup)
        SetDisplayPaletteGroup(logo->savedGroup);
    if (logo->picture && logo->window && IsLiveWindow(logo->window))
        logo->picture->Destroy();
    for (Graphic*& frame : logo->frames)
        MEM_DELETE(frame);
    for (SOUND*& sound : logo->sounds)
        MEM_DELETE(sound);
    MEM_DELETE(logo->image);
    MEM_DELETE(logo->group);
    g_logo = nullptr;
    MEM_DELETE(logo);
}
