#include "trace.h"
#include "utf.h"

#include "resourcemodule.h"
#include "winerror.h"

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Table {
    std::mutex mutex;
    std::vector<const ResourceEntry*> entries;
};

Table& table()
{
    static Table instance;
    return instance;
}

// A type or name to look for: a number, or a name in upper case. "#123" is the number 123.
struct Id {
    WORD number = 0;
    std::u16string name;
};

Id idOf(LPCWSTR id)
{
    if (IS_INTRESOURCE(id))
        return {LOWORD(id), {}};
    std::u16string text(id);
    if (text.size() > 1 && text.size() <= 6 && text[0] == u'#') {
        uint32_t value = 0;
        bool digits = true;
        for (size_t i = 1; i < text.size(); ++i) {
            digits &= text[i] >= u'0' && text[i] <= u'9';
            value = value * 10 + (text[i] - u'0');
        }
        if (digits && value <= 0xFFFF)
            return {static_cast<WORD>(value), {}};
    }
    for (char16_t& c : text)
        if (c >= u'a' && c <= u'z')
            c -= 0x20;
    return {0, text};
}

bool matches(LPCWSTR candidate, const Id& wanted)
{
    const Id id = idOf(candidate);
    return id.name == wanted.name && (!wanted.name.empty() || id.number == wanted.number);
}

std::string describe(LPCWSTR id)
{
    return IS_INTRESOURCE(id) ? std::to_string(LOWORD(id)) : Utf16ToUtf8(id);
}

const ResourceEntry* find(const Id& type, const Id& name, bool& typeSeen)
{
    typeSeen = false;
    for (const ResourceEntry* entry : table().entries) {
        if (!matches(entry->type, type))
            continue;
        typeSeen = true;
        if (matches(entry->name, name))
            return entry;
    }
    return nullptr;
}

// The entry behind a handle, or nullptr for anything FindResourceW did not return.
const ResourceEntry* entryOf(HRSRC handle)
{
    std::lock_guard lock(table().mutex);
    for (const ResourceEntry* entry : table().entries)
        if (reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(entry)) == handle)
            return entry;
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

} // namespace

bool RegisterResources(const ResourceEntry* entries, size_t count)
{
    std::lock_guard lock(table().mutex);
    for (size_t i = 0; i < count; ++i) {
        bool typeSeen;
        if (find(idOf(entries[i].type), idOf(entries[i].name), typeSeen)) {
            Trace("resources: %s %s is defined twice; keeping the first", describe(entries[i].type).c_str(),
                  describe(entries[i].name).c_str());
            continue;
        }
        table().entries.push_back(&entries[i]);
    }
    return true;
}

HRSRC FindResourceW(HMODULE, LPCWSTR lpName, LPCWSTR lpType)
{
    if (!lpName || !lpType) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard lock(table().mutex);
    bool typeSeen;
    if (const ResourceEntry* entry = find(idOf(lpType), idOf(lpName), typeSeen))
        return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(entry));
    SetLastError(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

HRSRC FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType)
{
    const auto wide = [](LPCSTR id) { return IS_INTRESOURCE(id) || !id ? std::u16string() : Utf8ToUtf16(id); };
    const std::u16string name = wide(lpName), type = wide(lpType);
    return FindResourceW(hModule, IS_INTRESOURCE(lpName) ? reinterpret_cast<LPCWSTR>(lpName) : name.c_str(),
                         IS_INTRESOURCE(lpType) ? reinterpret_cast<LPCWSTR>(lpType) : type.c_str());
}

HGLOBAL LoadResource(HMODULE, HRSRC hResInfo)
{
    const ResourceEntry* entry = entryOf(hResInfo);
    return entry ? const_cast<void*>(entry->data) : nullptr;
}

DWORD SizeofResource(HMODULE, HRSRC hResInfo)
{
    const ResourceEntry* entry = entryOf(hResInfo);
    return entry ? entry->size : 0;
}

LPVOID LockResource(HGLOBAL hResData)
{
    return hResData;
}
