#include "cea_clock.h"

#include "windows.h"

namespace {

struct CLOCK {
    bool fCounter;
    LONGLONG frequency;
    LONGLONG lastReading;
    DWORD msAccumulated;
};
CLOCK g_clock;

} // namespace

void StartEngineClock()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !QueryPerformanceCounter(&now))
        return;
    g_clock.fCounter = true;
    g_clock.frequency = frequency.QuadPart;
    g_clock.lastReading = now.QuadPart;
    g_clock.msAccumulated = GetTickCount();
}

DWORD EngineTime()
{
    if (!g_clock.fCounter)
        return GetTickCount();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const LONGLONG ms = (now.QuadPart - g_clock.lastReading) * 1000 / g_clock.frequency;
    // Only the counts turned into whole milliseconds are consumed, so frequent readings do not
    // lose the fractions and the clock keeps pace with the counter.
    g_clock.lastReading += ms * g_clock.frequency / 1000;
    g_clock.msAccumulated += static_cast<DWORD>(ms);
    return g_clock.msAccumulated;
}
