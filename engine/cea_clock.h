// The engine's millisecond clock: unsigned 32-bit milliseconds from the high-resolution counter
// once the engine has started with one, else from the tick count. Frame pacing, the measured
// frame rate and the game's timing all read it. Tests drive it through the platform's manual
// clock (hostclock.h), which the counter and the tick count follow.
#pragma once

#include "windef.h"

DWORD EngineTime();

// Switches the clock to the high-resolution counter when it has a frequency (engine start-up).
void StartEngineClock();
