// A clock that tests drive, so that timers and timeouts are exact. Not a Win32 interface.
#pragma once

#include "windef.h"

// From SetManualHostClock(true) on, the layer's time (GetTickCount, QueryPerformanceCounter,
// message times, timers and wait timeouts) stands still where it was until AdvanceHostClock
// moves it; Sleep moves it by its own time and returns at once. false goes back to the host's
// clock, which may then be behind: end the timers and waits begun meanwhile first.
void SetManualHostClock(bool manual);

// Returns once every thread in a timed wait has read the new time, so each wait whose time has
// come has timed out by then. A thread waiting for messages sees it within a millisecond.
void AdvanceHostClock(DWORD milliseconds);

// The threads in a timed wait on the manual clock: a test moves the clock once its waiter counts.
int HostClockWaiters();
