// How the layer maps Windows paths onto the host. Not a Win32 interface.
#pragma once

#include "windef.h"

#include <string>

// `\` and `/` both separate. "C:" is the folder drive_c of the data folder; other absolute
// paths are host paths; relative paths stay relative. On a handheld (HostDeviceRoot() set)
// "\" and "C:\" both name the device's root folder, and ".." never leads above it. A component that does not exist as
// written is matched without regard to case, as Windows file systems do. Returns "" (and
// sets the last error) for a path that cannot be mapped: empty, or on another drive.
std::string HostPath(LPCWSTR windowsPath);

// The path a program sees for a host file: on a handheld, a file inside the device's folder
// has its device path ("\Program Files\Quibo\quibo.exe"); any other path stays as it is.
std::u16string WindowsPath(const std::string& hostPath);

// Compares a file name with a pattern of `*` (any run) and `?` (one character), without
// regard to ASCII case. "*.*" matches every name, dotted or not.
bool MatchesFilePattern(std::u16string_view name, std::u16string_view pattern);
