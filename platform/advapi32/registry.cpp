#include "keyhandles.h"
#include "keyname.h"
#include "regstore.h"
#include "utf.h"

#include "winerror.h"
#include "winreg.h"

#include <cstring>
#include <string>

namespace {

constexpr size_t kMaxValueName = 16383;

std::u16string_view viewOf(LPCWSTR text)
{
    return text ? std::u16string_view(text) : std::u16string_view();
}

std::string folded(std::u16string_view name)
{
    return Utf16ToUtf8(FoldName(name));
}

bool keyExists(sqlite3* db, sqlite3_int64 id)
{
    Statement s(db, "SELECT 1 FROM keys WHERE id = ?");
    return s.bind(id).step();
}

// The open key behind a handle: ERROR_KEY_DELETED once someone deleted it.
LONG openKey(sqlite3* db, sqlite3_int64 id)
{
    return keyExists(db, id) ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

std::optional<sqlite3_int64> childOf(sqlite3* db, sqlite3_int64 parent, std::u16string_view name)
{
    Statement s(db, "SELECT id FROM keys WHERE parent = ? AND folded = ?");
    if (!s.bind(parent).bind(folded(name)).step())
        return std::nullopt;
    return s.integer(0);
}

// Follows a subkey path down from an open key.
LONG walk(sqlite3* db, sqlite3_int64 from, const std::vector<std::u16string>& names, sqlite3_int64& id)
{
    if (LONG rc = openKey(db, from); rc != ERROR_SUCCESS)
        return rc;
    id = from;
    for (const std::u16string& name : names) {
        auto child = childOf(db, id, name);
        if (!child)
            return ERROR_FILE_NOT_FOUND;
        id = *child;
    }
    return ERROR_SUCCESS;
}

// Hands a name out with its terminator into a buffer of *cchName characters.
LONG copyName(const std::u16string& name, LPWSTR buffer, LPDWORD cchName)
{
    if (name.size() >= *cchName)
        return ERROR_MORE_DATA;
    std::memcpy(buffer, name.data(), name.size() * sizeof(WCHAR));
    buffer[name.size()] = 0;
    *cchName = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// Hands a value's type and bytes out as RegQueryValueExW does: the size alone when there is no
// buffer, ERROR_MORE_DATA with the size needed when the buffer is too small.
LONG copyData(const Statement& row, int typeColumn, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    if (lpType)
        *lpType = static_cast<DWORD>(row.integer(typeColumn));
    const void* data = row.blob(typeColumn + 1);
    const DWORD size = static_cast<DWORD>(row.bytes(typeColumn + 1));
    if (!lpcbData)
        return ERROR_SUCCESS;
    const DWORD room = *lpcbData;
    *lpcbData = size;
    if (!lpData)
        return ERROR_SUCCESS;
    if (room < size)
        return ERROR_MORE_DATA;
    if (size)
        std::memcpy(lpData, data, size);
    return ERROR_SUCCESS;
}

// Checks the handle, then runs body on the key it names inside one transaction.
template<typename Body> LONG onKey(HKEY hKey, bool write, Body body)
{
    auto key = KeyOfHandle(hKey);
    if (!key)
        return ERROR_INVALID_HANDLE;
    return InStoreTransaction(write, [&](sqlite3* db) {
        if (LONG rc = openKey(db, *key); rc != ERROR_SUCCESS)
            return rc;
        return body(db, *key);
    });
}

} // namespace

LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    auto base = KeyOfHandle(hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    auto names = SplitKeyPath(viewOf(lpSubKey));
    if (!names)
        return ERROR_BAD_PATHNAME;
    sqlite3_int64 id = 0;
    LONG rc = InStoreTransaction(false, [&](sqlite3* db) { return walk(db, *base, *names, id); });
    if (rc == ERROR_SUCCESS)
        *phkResult = NewKeyHandle(id);
    return rc;
}

// Volatile keys are kept like any other: nothing in the system relies on them vanishing.
LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY phkResult,
                     LPDWORD lpdwDisposition)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    auto base = KeyOfHandle(hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    auto names = SplitKeyPath(viewOf(lpSubKey));
    if (!names)
        return ERROR_BAD_PATHNAME;
    sqlite3_int64 id = *base;
    bool created = false;
    LONG rc = InStoreTransaction(true, [&](sqlite3* db) {
        if (LONG open = openKey(db, id); open != ERROR_SUCCESS)
            return open;
        for (const std::u16string& name : *names) {
            if (auto child = childOf(db, id, name)) {
                id = *child;
                continue;
            }
            Statement insert(db, "INSERT INTO keys (parent, name, folded) VALUES (?, ?, ?)");
            insert.bind(id).bind(Utf16ToUtf8(name)).bind(folded(name)).run();
            id = sqlite3_last_insert_rowid(db);
            created = true;
        }
        return static_cast<LONG>(ERROR_SUCCESS);
    });
    if (rc != ERROR_SUCCESS)
        return rc;
    *phkResult = NewKeyHandle(id);
    if (lpdwDisposition)
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY hKey)
{
    return CloseKeyHandle(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    if (lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    const std::string name = folded(viewOf(lpValueName));
    return onKey(hKey, false, [&](sqlite3* db, sqlite3_int64 key) {
        Statement s(db, "SELECT type, data FROM vals WHERE key = ? AND folded = ?");
        if (!s.bind(key).bind(name).step())
            return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
        return copyData(s, 0, lpType, lpData, lpcbData);
    });
}

LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData)
{
    if (!lpData && cbData)
        return ERROR_NOACCESS;
    const std::u16string_view name = viewOf(lpValueName);
    if (name.size() > kMaxValueName)
        return ERROR_INVALID_PARAMETER;
    return onKey(hKey, true, [&](sqlite3* db, sqlite3_int64 key) {
        // Updating in place keeps the value's position in the enumeration order.
        Statement s(db, "INSERT INTO vals (key, name, folded, type, data) VALUES (?, ?, ?, ?, ?) "
                        "ON CONFLICT (key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
        s.bind(key).bind(Utf16ToUtf8(name)).bind(folded(name)).bind(dwType).bindBlob(lpData, cbData).run();
        return static_cast<LONG>(ERROR_SUCCESS);
    });
}

LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName)
{
    const std::string name = folded(viewOf(lpValueName));
    return onKey(hKey, true, [&](sqlite3* db, sqlite3_int64 key) {
        Statement s(db, "DELETE FROM vals WHERE key = ? AND folded = ?");
        s.bind(key).bind(name).run();
        return static_cast<LONG>(sqlite3_changes(db) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
    });
}

LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey)
{
    if (!lpSubKey)
        return ERROR_INVALID_PARAMETER;
    auto names = SplitKeyPath(lpSubKey);
    if (!names)
        return ERROR_BAD_PATHNAME;
    return onKey(hKey, true, [&](sqlite3* db, sqlite3_int64 key) {
        sqlite3_int64 id = 0;
        if (LONG rc = walk(db, key, *names, id); rc != ERROR_SUCCESS)
            return rc;
        Statement parent(db, "SELECT parent FROM keys WHERE id = ?");
        parent.bind(id).step();
        Statement children(db, "SELECT 1 FROM keys WHERE parent = ?");
        if (parent.integer(0) == 0 || children.bind(id).step())
            return static_cast<LONG>(ERROR_ACCESS_DENIED);
        Statement(db, "DELETE FROM vals WHERE key = ?").bind(id).run();
        Statement(db, "DELETE FROM keys WHERE id = ?").bind(id).run();
        return static_cast<LONG>(ERROR_SUCCESS);
    });
}

// Subkeys enumerate in name order, as Win32 keeps them.
LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved, LPWSTR lpClass, LPDWORD lpcchClass,
                   PFILETIME lpftLastWriteTime)
{
    if (!lpName || !lpcchName || lpReserved || (lpClass && !lpcchClass))
        return ERROR_INVALID_PARAMETER;
    return onKey(hKey, false, [&](sqlite3* db, sqlite3_int64 key) {
        Statement s(db, "SELECT name FROM keys WHERE parent = ? ORDER BY folded LIMIT 1 OFFSET ?");
        if (!s.bind(key).bind(dwIndex).step())
            return static_cast<LONG>(ERROR_NO_MORE_ITEMS);
        if (LONG rc = copyName(Utf8ToUtf16(s.text(0)), lpName, lpcchName); rc != ERROR_SUCCESS)
            return rc;
        if (lpClass && *lpcchClass)
            lpClass[0] = 0;
        if (lpcchClass)
            *lpcchClass = 0;
        if (lpftLastWriteTime)
            *lpftLastWriteTime = FILETIME{};
        return static_cast<LONG>(ERROR_SUCCESS);
    });
}

// Values enumerate in the order they were first set.
LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                   LPDWORD lpcbData)
{
    if (!lpValueName || !lpcchValueName || lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    return onKey(hKey, false, [&](sqlite3* db, sqlite3_int64 key) {
        Statement s(db, "SELECT name, type, data FROM vals WHERE key = ? ORDER BY rowid LIMIT 1 OFFSET ?");
        if (!s.bind(key).bind(dwIndex).step())
            return static_cast<LONG>(ERROR_NO_MORE_ITEMS);
        if (LONG rc = copyName(Utf8ToUtf16(s.text(0)), lpValueName, lpcchValueName); rc != ERROR_SUCCESS)
            return rc;
        return copyData(s, 1, lpType, lpData, lpcbData);
    });
}

LONG RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved, LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen,
                      LPDWORD lpcbMaxClassLen, LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                      LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime)
{
    if (lpReserved || (lpClass && !lpcchClass))
        return ERROR_INVALID_PARAMETER;
    return onKey(hKey, false, [&](sqlite3* db, sqlite3_int64 key) {
        DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxValue = 0;
        Statement keys(db, "SELECT name FROM keys WHERE parent = ?");
        for (keys.bind(key); keys.step(); ++subKeys)
            maxSubKey = std::max(maxSubKey, static_cast<DWORD>(Utf8ToUtf16(keys.text(0)).size()));
        Statement vals(db, "SELECT name, length(data) FROM vals WHERE key = ?");
        for (vals.bind(key); vals.step(); ++values) {
            maxValueName = std::max(maxValueName, static_cast<DWORD>(Utf8ToUtf16(vals.text(0)).size()));
            maxValue = std::max(maxValue, static_cast<DWORD>(vals.integer(1)));
        }
        if (lpClass && *lpcchClass)
            lpClass[0] = 0;
        for (LPDWORD zero : {lpcchClass, lpcbMaxClassLen, lpcbSecurityDescriptor})
            if (zero)
                *zero = 0;
        const std::pair<LPDWORD, DWORD> results[] = {{lpcSubKeys, subKeys},
                                                     {lpcbMaxSubKeyLen, maxSubKey},
                                                     {lpcValues, values},
                                                     {lpcbMaxValueNameLen, maxValueName},
                                                     {lpcbMaxValueLen, maxValue}};
        for (auto [out, value] : results)
            if (out)
                *out = value;
        if (lpftLastWriteTime)
            *lpftLastWriteTime = FILETIME{};
        return static_cast<LONG>(ERROR_SUCCESS);
    });
}
