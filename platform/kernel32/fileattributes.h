// Win32 file attributes of host files.
#pragma once

#include "windows.h"

#include <string_view>
#include <sys/stat.h>

// Read-only when the owner may not write; hidden when the name starts with a dot; normal
// when nothing else applies.
DWORD AttributesOf(const struct stat& info, std::string_view name);

// Whether the caller may change the file, as a Win32 user would see it (the read-only
// attribute binds even the host's superuser).
bool IsReadOnly(const struct stat& info);
