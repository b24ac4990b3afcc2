// Kernel services: last error, and (as the layer grows) time, threads, synchronisation,
// files, memory, modules and resources.
#pragma once

#include "windef.h"

void SetLastError(DWORD error);
DWORD GetLastError();

// Resources
