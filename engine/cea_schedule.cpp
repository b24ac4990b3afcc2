#include "cea_schedule.h"

#include "memmgr.h"

#include <algorithm>

namespace {

constexpr int kGrowBy = 16;

// Frame numbers count up from 0 and never wrap in a run; a plain comparison orders them.
bool DueBy(const SCHEDULEEVENT& event, DWORD frame)
{
    return event.used && event.frame <= frame;
}

class LOCK {
public:
    explicit LOCK(CRITICAL_SECTION& section) : m_section(section) { EnterCriticalSection(&m_section); }
    ~LOCK() { LeaveCriticalSection(&m_section); }
    LOCK(const LOCK&) = delete;
    LOCK& operator=(const LOCK&) = delete;

private:
    CRITICAL_SECTION& m_section;
};

} // namespace

void SCHEDULE::Init()
{
    rg = nullptr;
    cAlloc = 0;
    endFrame = 0;
    InitializeCriticalSection(&lock);
}

void SCHEDULE::Free()
{
    MEM_FREE(rg);
    rg = nullptr;
    cAlloc = 0;
    DeleteCriticalSection(&lock);
}

bool SCHEDULE::Add(const SCHEDULEEVENT& event)
{
    LOCK hold(lock);
    int i = 0;
    while (i < cAlloc && rg[i].used)
        ++i;
    if (i == cAlloc && !MEM_GROW_ARRAY(&rg, &cAlloc, i + 1, kGrowBy))
        return false;
    rg[i] = event;
    endFrame = std::max(endFrame, event.frame + 1);
    return true;
}

bool SCHEDULE::AddObjectEvent(DWORD frame, ANIMOBJECT* object, DWORD state, const RECT& rect)
{
    return Add({1, frame, object, state, rect, 0});
}

bool SCHEDULE::AddAppEvent(DWORD frame, DWORD code, LPARAM param)
{
    return Add({1, frame, nullptr, code, {0, 0, 0, 0}, param});
}

template<class Match> void SCHEDULE::Clear(Match match)
{
    LOCK hold(lock);
    for (int i = 0; i < cAlloc; ++i)
        if (rg[i].used && match(rg[i]))
            rg[i] = {};
}

void SCHEDULE::UnscheduleObject(ANIMOBJECT* object)
{
    Clear([object](const SCHEDULEEVENT& e) { return e.object == object; });
}

void SCHEDULE::UnscheduleObject(ANIMOBJECT* object, DWORD state)
{
    Clear([object, state](const SCHEDULEEVENT& e) { return e.object == object && e.state == state; });
}

void SCHEDULE::UnscheduleEvent(DWORD code, LPARAM param)
{
    Clear([code, param](const SCHEDULEEVENT& e) { return !e.object && e.state == code && (param == 0 || e.param == param); });
}

void SCHEDULE::UnscheduleParam(LPARAM param)
{
    Clear([param](const SCHEDULEEVENT& e) { return !e.object && e.param == param; });
}

void SCHEDULE::UnscheduleFrame(DWORD frame)
{
    Clear([frame](const SCHEDULEEVENT& e) { return e.frame == frame; });
}

bool SCHEDULE::IsEmpty()
{
    LOCK hold(lock);
    return std::none_of(rg, rg + cAlloc, [](const SCHEDULEEVENT& e) { return e.used != 0; });
}

bool SCHEDULE::Take(DWORD frame, bool fObject, SCHEDULEEVENT* event)
{
    LOCK hold(lock);
    for (int i = 0; i < cAlloc; ++i) {
        if (DueBy(rg[i], frame) && (rg[i].object != nullptr) == fObject) {
            *event = rg[i];
            rg[i] = {};
            return true;
        }
    }
    return false;
}

bool SCHEDULE::TakeObjectEvent(DWORD frame, SCHEDULEEVENT* event)
{
    return Take(frame, true, event);
}

bool SCHEDULE::TakeAppEvent(DWORD frame, SCHEDULEEVENT* event)
{
    return Take(frame, false, event);
}

void SCHEDULE::ExtendTo(DWORD frame)
{
    LOCK hold(lock);
    endFrame = std::max(endFrame, frame);
}

DWORD SCHEDULE::EndFrame()
{
    LOCK hold(lock);
    return endFrame;
}
