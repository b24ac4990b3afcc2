// AnimWindow: the engine object behind a window of class "AnimWindow" (or
// "AnimWindowNoCursor"). It composes the window's picture from animated objects kept in layers:
// the application paints the static scene into the background; static objects are composed over
// it once into the composition buffer; moving objects are drawn over a copy of that into the
// screen buffer, which is shown. Only dirty rectangles are recomposed and shown.
//
// It also plays a frame-numbered schedule of object moves and application events at a steady
// frame rate, owns the message loop while it runs, and hands the window's messages to hooks.
#pragma once

#include "cea_dirty.h"
#include "cea_hooks.h"
#include "cea_schedule.h"

#include "windows.h"

#include <atomic>

struct ANIMOBJECT;
struct Graphic;
struct FRAMEPACER;
struct AnimWindow;
class string;

// The application's event callback; see the kAnim codes below.
using ANIMWINDOWCALLBACK = LRESULT (*)(AnimWindow* window, UINT code, WPARAM a, LPARAM b);

enum : UINT {
    kAnimFreeing = 0, // the window is being freed
    kAnimBackground = 1, // the background was (re)created: a = 0, b = the background graphic
    kAnimBeforeUpdate = 2, // a paint is about to update the objects
    kAnimAfterUpdate = 3, // the objects were updated
    kAnimPainted = 4, // a paint ended
    kAnimEvent = 5, // a scheduled application event: a = its code, b = its parameter;
                    // returning 0 stops the frame loop
};

constexpr DWORD kAnimSignature = 0x416E696D;
constexpr DWORD kAnimFreedSignature = ~kAnimSignature;
constexpr int cfTIMING_WINDOW = 30;
constexpr UINT_PTR kFrameTimer = 1099;
// Frame numbers that mean "the last scheduled frame" when advancing.
constexpr DWORD kLastScheduledFrame = 0xFFFFFFFF;
constexpr DWORD kLastScheduledFrameToo = 0xFFFFFFFE;

struct AnimWindow {
    DWORD signature;
    HWND window;
    RECT client;
    Graphic* background;
    Graphic* composition;
    Graphic* screen;
    DIRTYREGION* redraw;
    DIRTYREGION* blit;
    int paintDepth;
    int updateLock;
    ANIMWINDOWCALLBACK callback;
    DWORD framePeriod;
    DWORD* timing;
    int iTiming;
    int cTiming; // entries recorded, up to cfTIMING_WINDOW
    ANIMOBJECT* fpsObject;
    ANIMOBJECT* statusObject;
    SCHEDULE schedule;
    DWORD currentFrame;
    HOOKLIST hooks;
    UINT_PTR* userSlots;
    int cUserSlots;
    ANIMOBJECT** layers; // the first object of each layer, ascending layer numbers, none-terminated
    int cLayersAlloc;
    ANIMOBJECT* last; // the back of the picture
    BOOL resync;
    BOOL hold;

    // Life cycle, driven by the window procedure: built on the create message, freed on destroy.
    static AnimWindow* Create(HWND hwnd);
    static void Free(AnimWindow* window);
    static AnimWindow* FromWindow(HWND hwnd);
    void Resize();
    // Frees the three buffers and builds them again (the display's palette changed).
    void RebuildBuffers();

    RECT GetClientRect() const { return client; }
    int GetWidth() const { return client.right - client.left; }
    int GetHeight() const { return client.bottom - client.top; }
    HWND GetWindow() const { return window; }
    Graphic* GetBackground() const { return background; }

    void BeginUpdate();
    void EndUpdate();
    void PaintNow();
    // None: the whole client. Redraw rebuilds objects and composition; otherwise only the
    // screen is refreshed.
    void Invalidate(const RECT* rect, bool fRedraw);
    void Fill(COLORREF color, const RECT* rect = nullptr);

    void SetCallback(ANIMWINDOWCALLBACK callback);
    LRESULT Notify(UINT code, WPARAM a, LPARAM b);
    void SetFrameRate(double framesPerSecond);
    double GetFrameRate() const;
    double GetMeasuredFrameRate() const;
    void ShowFrameRate(bool fShow);
    void SetStatusText(const string& text);

    bool AddHook(ANIMHOOK function, WORD flags, WORD priority = kDefaultHookPriority);
    void RemoveHook(ANIMHOOK function);

    bool ScheduleObjectEvent(DWORD frame, ANIMOBJECT* object, DWORD state, const RECT* rect);
    bool ScheduleAppEvent(DWORD frame, DWORD code, LPARAM param);
    void UnscheduleObject(ANIMOBJECT* object) { schedule.UnscheduleObject(object); }
    void UnscheduleObject(ANIMOBJECT* object, DWORD state) { schedule.UnscheduleObject(object, state); }
    void UnscheduleEvent(DWORD code, LPARAM param = 0) { schedule.UnscheduleEvent(code, param); }
    void UnscheduleFrame(DWORD frame) { schedule.UnscheduleFrame(frame); }
    void UnscheduleParam(LPARAM param) { schedule.UnscheduleParam(param); }
    // Safe from any thread (a loader schedules the end of an intro from its own).
    DWORD GetCurrentFrame() const { return std::atomic_ref(const_cast<DWORD&>(currentFrame)).load(); }
    DWORD GetEndFrame() { return schedule.EndFrame(); }
    // Plays the schedule up to frame (kLastScheduledFrame: to its end) and paints; false when an
    // application event stopped it.
    bool AdvanceTo(DWORD frame);
    void RequestResync() { resync = TRUE; }
    void Step();
    // The frame loop: count frames (-1: until an event stops it or the window goes).
    void Run(int count);
    void RunToEnd();
    void SetHold(bool fHold) { hold = fHold; }

    UINT_PTR GetUserSlot(int i) const;
    bool SetUserSlot(int i, UINT_PTR value);

    // The object list: front to back through next, back to front through previous.
    ANIMOBJECT* FirstObject() const { return layers ? layers[0] : nullptr; }
    ANIMOBJECT* LastObject() const { return last; }
    ANIMOBJECT* FirstInLayer(int layer) const;
    // The nearest layer number in use above (below) layer; false when there is none.
    bool LayerAbove(int layer, int* above) const;
    bool LayerBelow(int layer, int* below) const;
    // Links object at the back of its layer, or just before (after) another object.
    bool LinkAtBack(ANIMOBJECT* object);
    bool LinkBefore(ANIMOBJECT* object, ANIMOBJECT* other);
    void LinkAfter(ANIMOBJECT* object, ANIMOBJECT* other);
    void Unlink(ANIMOBJECT* object);

private:
    void Paint(HDC hdc);
    void UpdateObjects();
    void GrowRegion(DIRTYREGION* region, bool fStatic);
    void DrawObjects(Graphic* target, const DIRTYREGION* region, bool fStatic);
    void RecordPaintTime();
    void ApplyObjectEvent(const SCHEDULEEVENT& event);
    bool StepFrames(FRAMEPACER& pacer, int* processed, bool fToEnd);
    bool Pump(const FRAMEPACER& pacer);
    void FreeGraphics();
    int LayerIndex(int layer) const;
    bool InsertHead(int i, ANIMOBJECT* object);
};

LRESULT CALLBACK AnimWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
