// Whole-number scaling of the program's windows on large screens. Not a Win32 interface.
#pragma once

// From the call on, every top-level window is shown at scale times its size, each of its
// pixels a square of scale x scale screen pixels, and the screen is reported as the host's
// divided by scale; the program keeps working in its own sizes. 1 (the start) is no scaling.
// Call it before the first window is shown; values below 1 are taken as 1.
void SetHostScale(int scale);
int HostScale();
