#include "keyhandles.h"

#include "regstore.h"

#include "winreg.h"

#include <mutex>
#include <unordered_map>

namespace {

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<HKEY, sqlite3_int64> keys;
    // Handles are never reused, so a stale handle cannot reach another key.
    uintptr_t next = 0x1000;
};

HandleTable& table()
{
    static HandleTable instance;
    return instance;
}

std::optional<sqlite3_int64> hiveOf(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT)
        return kClassesRootId;
    if (key == HKEY_CURRENT_USER)
        return kCurrentUserId;
    if (key == HKEY_LOCAL_MACHINE)
        return kLocalMachineId;
    return std::nullopt;
}

} // namespace

HKEY NewKeyHandle(sqlite3_int64 keyId)
{
    HandleTable& t = table();
    std::lock_guard lock(t.mutex);
    HKEY key = reinterpret_cast<HKEY>(t.next);
    t.next += 4;
    t.keys.emplace(key, keyId);
    return key;
}

std::optional<sqlite3_int64> KeyOfHandle(HKEY key)
{
    if (auto hive = hiveOf(key))
        return hive;
    HandleTable& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.keys.find(key);
    if (it == t.keys.end())
        return std::nullopt;
    return it->second;
}

bool CloseKeyHandle(HKEY key)
{
    if (hiveOf(key))
        return true;
    HandleTable& t = table();
    std::lock_guard lock(t.mutex);
    return t.keys.erase(key) == 1;
}
