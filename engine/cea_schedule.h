// The frame-numbered schedule of an animation window: object moves and application events,
// each due at one frame. Records live in an array whose freed slots are reused; the window
// plays the records of each frame as it advances.
//
// Another thread may add records while the window thread plays them (a loader schedules the
// end of an intro), so every access to the records is taken under the schedule's lock; the
// lock is never held while a record is applied.
#pragma once

#include "windows.h"

struct ANIMOBJECT;

struct SCHEDULEEVENT {
    DWORD used;
    DWORD frame;
    ANIMOBJECT* object; // none: an application event
    DWORD state; // object event: the object's new state; application event: its code
    RECT rect; // object event: where it moves (empty: it stays)
    LPARAM param; // application event: its parameter
};

struct SCHEDULE {
    SCHEDULEEVENT* rg;
    int cAlloc; // grown 16 at a time
    DWORD endFrame; // one past the last scheduled frame
    CRITICAL_SECTION lock;

    void Init();
    void Free();

    // Both return false only when memory is short.
    bool AddObjectEvent(DWORD frame, ANIMOBJECT* object, DWORD state, const RECT& rect);
    bool AddAppEvent(DWORD frame, DWORD code, LPARAM param);

    void UnscheduleObject(ANIMOBJECT* object);
    void UnscheduleObject(ANIMOBJECT* object, DWORD state);
    // A param of 0 matches any parameter.
    void UnscheduleEvent(DWORD code, LPARAM param);
    void UnscheduleFrame(DWORD frame);
    // Every application event carrying param, whatever its code.
    void UnscheduleParam(LPARAM param);

    bool IsEmpty();
    // Takes out the first object event (or application event) due by frame: one of that frame
    // or of an earlier frame that was scheduled after it had passed. False when none is left.
    bool TakeObjectEvent(DWORD frame, SCHEDULEEVENT* event);
    bool TakeAppEvent(DWORD frame, SCHEDULEEVENT* event);
    // endFrame = max(endFrame, frame).
    void ExtendTo(DWORD frame);
    DWORD EndFrame();

private:
    bool Add(const SCHEDULEEVENT& event);
    template<class Match> void Clear(Match match);
    bool Take(DWORD frame, bool fObject, SCHEDULEEVENT* event);
};
