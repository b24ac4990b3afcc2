// The registry key handles of this process. A handle names a key of the store by its id, so
// it stays valid whatever other handles and processes do until the key itself is deleted.
#pragma once

#include "windef.h"

#include <optional>
#include <sqlite3.h>

HKEY NewKeyHandle(sqlite3_int64 keyId);

// The key a handle names (a hive's id for the predefined handles); nothing for a handle that
// was never returned or is already closed.
std::optional<sqlite3_int64> KeyOfHandle(HKEY key);

// False for an unknown handle. The hives' handles are never really closed.
bool CloseKeyHandle(HKEY key);
