// What a Win32-shaped call left behind, as one value a test can compare.
#pragma once

#include "windows.h"

// 0 when the call succeeded, else the error it left.
inline DWORD ErrorOf(BOOL ok)
{
    return ok ? 0 : GetLastError();
}
