#include "cea_window.h"

#include "cea_clock.h"
#include "cea_display.h"
#include "cea_graphic.h"
#include "cea_main.h"
#include "cea_object.h"
#include "cea_pacing.h"
#include "cea_palette.h"
#include "memmgr.h"
#include "trace.h"

#include <algorithm>

namespace {

constexpr int kUserSlotsGrowBy = 16;

Graphic* NewBuffer(int cx, int cy, PaletteGroup* group)
{
    Graphic* graphic = group ? new Graphic(cx, cy, 0, group) : new Graphic(cx, cy, 0, static_cast<const RGBQUAD*>(nullptr));
    MemTrackObject(graphic, sizeof(Graphic), "GRAPHIC", __FILE__, __LINE__);
    if (!graphic->HasBitmap()) {
        MEM_DELETE(graphic);
        return nullptr;
    }
    return graphic;
}

void FreeBuffer(Graphic*& graphic)
{
    MEM_DELETE(graphic);
    graphic = nullptr;
}

void CopyRect(Graphic* from, Graphic* to, const RECT& r)
{
    from->DrawTo(to, r.left, r.top, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

} // namespace

AnimWindow* AnimWindow::Create(HWND hwnd)
{
    auto* w = static_cast<AnimWindow*>(MEM_ALLOC(sizeof(AnimWindow), "ANIMWINDOW"));
    if (!w)
        return nullptr;
    SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(w));
    *w = {};
    w->window = hwnd;
    w->schedule.Init();
    w->redraw = DIRTYREGION::Create();
    w->blit = DIRTYREGION::Create();
    w->timing = static_cast<DWORD*>(MEM_ALLOC(sizeof(DWORD) * cfTIMING_WINDOW, "sizeof(DWORD) * cfTIMING_WINDOW"));
    if (!w->redraw || !w->blit || !w->timing || !AddLiveWindow(w)) {
        // Not entered in the live list: nothing else can reach it.
        SetWindowLongPtrW(hwnd, 0, 0);
        if (w->redraw)
            w->redraw->Destroy();
        if (w->blit)
            w->blit->Destroy();
        MEM_FREE(w->timing);
        w->schedule.Free();
        MEM_FREE(w);
        return nullptr;
    }
    w->signature = kAnimSignature;
    w->Resize();
    w->SetFrameRate(40);
    w->Invalidate(nullptr, true);
    UpdateWindow(hwnd);
    return w;
}

void AnimWindow::Free(AnimWindow* w)
{
    // A freed window is no longer in the live list; its memory is not read again.
    if (!w || !IsLiveWindow(w)) {
        Trace("AnimWindow freed more than once");
        return;
    }
    w->updateLock = w->paintDepth = 999;
    KillTimer(w->window, kFrameTimer);
    w->Notify(kAnimFreeing, 0, 0);
    if (w->fpsObject)
        w->fpsObject->Destroy();
    if (w->statusObject)
        w->statusObject->Destroy();
    while (ANIMOBJECT* object = w->FirstObject())
        object->Destroy();
    w->hooks.Free();
    w->schedule.Free();
    RemoveLiveWindow(w);
    if (GetWindowLongPtrW(w->window, 0) == reinterpret_cast<LONG_PTR>(w))
        SetWindowLongPtrW(w->window, 0, 0);
    w->FreeGraphics();
    w->redraw->Destroy();
    w->blit->Destroy();
    MEM_FREE(w->timing);
    MEM_FREE(w->userSlots);
    MEM_FREE(w->layers);
    *w = {};
    w->signature = kAnimFreedSignature;
    MEM_FREE(w);
}

AnimWindow* AnimWindow::FromWindow(HWND hwnd)
{
    auto* w = reinterpret_cast<AnimWindow*>(GetWindowLongPtrW(hwnd, 0));
    return w && w->signature == kAnimSignature ? w : nullptr;
}

void AnimWindow::FreeGraphics()
{
    FreeBuffer(background);
    FreeBuffer(composition);
    FreeBuffer(screen);
}

void AnimWindow::Resize()
{
    RECT now;
    ::GetClientRect(window, &now);
    if (now.right - now.left > GetWidth() || now.bottom - now.top > GetHeight())
        FreeGraphics();
    client = now;
    if (background && composition && screen) {
        Invalidate(nullptr, true);
        return;
    }
    PaletteGroup* group = GetDisplay().paletteGroup;
    if (group)
        group->Open();
    const int cx = std::max(GetWidth(), 1);
    const int cy = std::max(GetHeight(), 1);
    for (Graphic** buffer : {&background, &composition, &screen})
        if (!*buffer)
            *buffer = NewBuffer(cx, cy, group);
    if (group)
        group->Close();
    // Without a background (no memory for it) there is nothing for the application to paint.
    if (background)
        Notify(kAnimBackground, 0, reinterpret_cast<LPARAM>(background));
    Invalidate(nullptr, true);
}

void AnimWindow::RebuildBuffers()
{
    FreeGraphics();
    Resize();
}

void AnimWindow::BeginUpdate()
{
    ++updateLock;
}

void AnimWindow::EndUpdate()
{
    if (updateLock > 0 && --updateLock == 0)
        PaintNow();
}

void AnimWindow::PaintNow()
{
    if (updateLock != 0)
        return;
    // Without a device context (a hidden host window) the buffers are still composed, so the
    // picture is ready the moment the window can show it.
    HDC hdc = ::GetDC(window);
    Paint(hdc);
    if (hdc)
        ::ReleaseDC(window, hdc);
}

void AnimWindow::Invalidate(const RECT* rect, bool fRedraw)
{
    const RECT part = rect ? RectIntersection(*rect, client) : client;
    (fRedraw ? redraw : blit)->Add(part);
}

void AnimWindow::Fill(COLORREF color, const RECT* rect)
{
    const RECT part = rect ? RectIntersection(*rect, client) : client;
    if (background && !RectIsEmpty(part)) {
        if (HBRUSH brush = CreateSolidBrush(color)) {
            if (HDC hdc = background->GetDC()) {
                FillRect(hdc, &part, brush);
                background->ReleaseDC();
            }
            DeleteObject(brush);
        }
    }
    Invalidate(nullptr, true);
}

void AnimWindow::SetCallback(ANIMWINDOWCALLBACK function)
{
    callback = function;
    if (background)
        Notify(kAnimBackground, 0, reinterpret_cast<LPARAM>(background));
}

LRESULT AnimWindow::Notify(UINT code, WPARAM a, LPARAM b)
{
    return callback ? callback(this, code, a, b) : 1;
}

void AnimWindow::SetFrameRate(double framesPerSecond)
{
    if (framesPerSecond <= 0)
        framesPerSecond = 40;
    framePeriod = static_cast<DWORD>(1000 / framesPerSecond);
    // The timer only wakes the waiting message pump, a little more often than frames are due.
    KillTimer(window, kFrameTimer);
    SetTimer(window, kFrameTimer, framePeriod < 120 ? 20 : framePeriod - 100, nullptr);
}

double AnimWindow::GetFrameRate() const
{
    return framePeriod ? 1000.0 / framePeriod : 0;
}

double AnimWindow::GetMeasuredFrameRate() const
{
    const int n = cTiming;
    if (n == 0)
        return 0;
    const DWORD oldest = timing[n == cfTIMING_WINDOW ? iTiming : 0];
    const double average = double(EngineTime() - oldest) / n;
    return average > 0 ? 1000 / average : 0;
}

void AnimWindow::RecordPaintTime()
{
    timing[iTiming] = EngineTime();
    iTiming = (iTiming + 1) % cfTIMING_WINDOW;
    cTiming = std::min(cTiming + 1, cfTIMING_WINDOW);
}

bool AnimWindow::AddHook(ANIMHOOK function, WORD flags, WORD priority)
{
    return hooks.Add(function, flags, priority);
}

void AnimWindow::RemoveHook(ANIMHOOK function)
{
    hooks.Remove(function);
}

UINT_PTR AnimWindow::GetUserSlot(int i) const
{
    return i >= 0 && i < cUserSlots ? userSlots[i] : 0;
}

bool AnimWindow::SetUserSlot(int i, UINT_PTR value)
{
    if (i < 0 || (i >= cUserSlots && !MEM_GROW_ARRAY(&userSlots, &cUserSlots, i + 1, kUserSlotsGrowBy)))
        return false;
    userSlots[i] = value;
    return true;
}

// Painting

void AnimWindow::Paint(HDC hdc)
{
    if (paintDepth++ > 0) {
        --paintDepth;
        return;
    }
    HPALETTE palette = hdc ? DisplayPalette() : nullptr;
    if (palette) {
        SelectPalette(hdc, palette, FALSE);
        RealizePalette(hdc);
    }
    UpdateObjects();
    if (background && composition && screen) {
        GrowRegion(redraw, true);
        if (!redraw->IsEmpty()) {
            for (int i = 0; i < redraw->c; ++i)
                CopyRect(background, composition, redraw->rg[i]);
            DrawObjects(composition, redraw, true);
            for (int i = 0; i < redraw->c; ++i)
                blit->Add(redraw->rg[i]);
            redraw->Clear();
        }
        GrowRegion(blit, false);
        if (!blit->IsEmpty()) {
            for (int i = 0; i < blit->c; ++i)
                CopyRect(composition, screen, blit->rg[i]);
            DrawObjects(screen, blit, false);
            for (int i = 0; hdc && i < blit->c; ++i) {
                const RECT& r = blit->rg[i];
                screen->DrawTo(hdc, r.left, r.top, r.left, r.top, r.right - r.left, r.bottom - r.top);
            }
            blit->Clear();
        }
    }
    Notify(kAnimPainted, 0, 0);
    RecordPaintTime();
    --paintDepth;
}

void AnimWindow::UpdateObjects()
{
    Notify(kAnimBeforeUpdate, 0, 0);
    for (ANIMOBJECT* object = FirstObject(); object;) {
        ANIMOBJECT* next = object->next; // an update may destroy the object
        object->Send(kObjUpdate);
        object = next;
    }
    Notify(kAnimAfterUpdate, 0, 0);
}

// Grows the region until every object of the pass that touches one of its rectangles lies
// inside it, so that each drawn object is drawn whole over a freshly copied area.
void AnimWindow::GrowRegion(DIRTYREGION* region, bool fStatic)
{
    for (bool grown = true; grown;) {
        grown = false;
        for (ANIMOBJECT* object = last; object && !grown; object = object->previous) {
            if (object->IsStatic() != fStatic || (object->flags & kObjHidden))
                continue;
            const RECT r = RectIntersection(object->rect, client);
            if (RectIsEmpty(r))
                continue;
            for (int i = 0; i < region->c; ++i) {
                const RECT& d = region->rg[i];
                if (RectsOverlap(d, r) && (r.left < d.left || r.top < d.top || r.right > d.right || r.bottom > d.bottom)) {
                    region->Add(r);
                    grown = true;
                    break;
                }
            }
        }
    }
}

void AnimWindow::DrawObjects(Graphic* target, const DIRTYREGION* region, bool fStatic)
{
    for (ANIMOBJECT* object = last; object; object = object->previous) {
        if (object->IsStatic() != fStatic)
            continue;
        RECT clip{0, 0, 0, 0};
        for (int i = 0; i < region->c; ++i) {
            const RECT part = RectIntersection(object->rect, region->rg[i]);
            if (!RectIsEmpty(part))
                clip = RectIsEmpty(clip) ? part : RectUnion(clip, part);
        }
        if (!RectIsEmpty(clip))
            object->Draw(target, clip);
    }
}

// The schedule

bool AnimWindow::ScheduleObjectEvent(DWORD frame, ANIMOBJECT* object, DWORD state, const RECT* rect)
{
    return schedule.AddObjectEvent(frame, object, state, rect ? *rect : RECT{0, 0, 0, 0});
}

bool AnimWindow::ScheduleAppEvent(DWORD frame, DWORD code, LPARAM param)
{
    return schedule.AddAppEvent(frame, code, param);
}

void AnimWindow::ApplyObjectEvent(const SCHEDULEEVENT& event)
{
    ANIMOBJECT* object = event.object;
    if (object->IsStatic())
        object->SetFlags(object->flags & ~kObjStatic);
    const bool fMove = !RectIsEmpty(event.rect);
    if (fMove)
        object->SetRect(event.rect);
    if (event.state != 0 || !fMove)
        object->SetFlags(event.state);
}

bool AnimWindow::AdvanceTo(DWORD frame)
{
    if (frame == kLastScheduledFrame || frame == kLastScheduledFrameToo) {
        if (schedule.IsEmpty())
            return true;
        const DWORD end = schedule.EndFrame();
        frame = std::max(end ? end - 1 : 0, currentFrame);
    }
    bool stopped = false;
    while (currentFrame <= frame && !stopped) {
        SCHEDULEEVENT event;
        while (schedule.TakeObjectEvent(currentFrame, &event))
            ApplyObjectEvent(event);
        const HWND hwnd = window;
        while (!stopped && schedule.TakeAppEvent(currentFrame, &event)) {
            stopped = Notify(kAnimEvent, event.state, event.param) == 0;
            // The application may have closed the window from its event.
            if (!IsLiveWindow(this) || window != hwnd)
                return false;
        }
        // Only this thread writes the frame number; others read it through GetCurrentFrame.
        std::atomic_ref(currentFrame).fetch_add(1);
        schedule.ExtendTo(currentFrame);
    }
    if (!stopped)
        PaintNow();
    return !stopped;
}

void AnimWindow::Step()
{
    BeginUpdate();
    AdvanceTo(currentFrame);
    EndUpdate();
}

// One pass of the frame loop: the frame due now and any it is late for (up to the end of the
// schedule when fToEnd), painted once. False when an event stopped the loop or the window went
// away.
bool AnimWindow::StepFrames(FRAMEPACER& pacer, int* processed, bool fToEnd)
{
    const DWORD t = EngineTime();
    pacer.BeginPass(t, resync, framePeriod);
    BeginUpdate();
    bool going;
    do {
        going = AdvanceTo(currentFrame);
        ++*processed;
    } while (going && (!fToEnd || currentFrame < schedule.EndFrame()) && pacer.CatchUp(t, resync, framePeriod));
    if (!IsLiveWindow(this))
        return false;
    resync = FALSE;
    EndUpdate();
    return going;
}

// Pumps messages until the next frame is due (or for as long as hold is set). False when the
// window no longer exists.
bool AnimWindow::Pump(const FRAMEPACER& pacer)
{
    const HWND hwnd = window;
    do {
        MSG msg;
        if (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (!IsWindow(hwnd) || !IsLiveWindow(this))
            return false;
    } while (hold || !pacer.Reached(EngineTime()));
    return true;
}

void AnimWindow::Run(int count)
{
    FRAMEPACER pacer;
    pacer.Start(EngineTime());
    while (count != 0) {
        int processed = 0;
        if (!StepFrames(pacer, &processed, false) || !Pump(pacer))
            return;
        if (count != -1) {
            if (count <= processed)
                return;
            count -= processed;
        }
    }
}

void AnimWindow::RunToEnd()
{
    FRAMEPACER pacer;
    pacer.Start(EngineTime());
    while (currentFrame < schedule.EndFrame()) {
        int processed = 0;
        if (!StepFrames(pacer, &processed, true))
            return;
        if (currentFrame < schedule.EndFrame() && !Pump(pacer))
            return;
    }
}

// The window procedure of both classes

LRESULT CALLBACK AnimWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    AnimWindow* w = message == WM_CREATE ? AnimWindow::Create(hwnd) : AnimWindow::FromWindow(hwnd);
    if (w) {
        switch (message) {
        case WM_SIZE: w->Resize(); break;
        case WM_ERASEBKGND:
            // Nothing is erased: the whole picture is shown again instead.
            w->Invalidate(nullptr, false);
            break;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            w->Invalidate(&ps.rcPaint, false);
            w->PaintNow();
            break;
        }
        default: break;
        }
        DispatchToHooks(hwnd, message, wParam, lParam);
        if (message == WM_DESTROY)
            AnimWindow::Free(w);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
