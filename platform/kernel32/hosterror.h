// Host failures as Win32 errors.
#pragma once

#include "windows.h"

#include <string>

// The Win32 error for an errno value from a call on a path or file.
DWORD Win32ErrorFromErrno(int error);

// Sets the last error from errno and returns FALSE, for the many calls that end that way.
BOOL FailFromErrno();

// Like FailFromErrno for a call on `hostPath`, telling a missing file (ERROR_FILE_NOT_FOUND)
// from a missing folder on the way to it (ERROR_PATH_NOT_FOUND).
BOOL FailOnPath(const std::string& hostPath);
