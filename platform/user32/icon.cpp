// Icons load from RT_GROUP_ICON resources (the image nearest the size asked for, not scaled).
// Shared icons, LoadIconW's and LR_SHARED ones, are made once per name and size and live as
// long as the program; the others until DestroyIcon.
#include "icon.h"

#include "trace.h"
#include "utf.h"

#include <map>
#include <mutex>
#include <string>
#include <tuple>

namespace {

struct Icon {
    std::shared_ptr<const IconPixels> pixels;
    bool shared = false;
};

struct IconTable {
    std::mutex mutex;
    std::map<uintptr_t, Icon> icons;
    std::map<std::tuple<std::u16string, int, int>, HICON> sharedByName; // name: "#n" for a number
    uintptr_t next = 0x10000;
};

IconTable& Icons()
{
    static IconTable table;
    return table;
}

// Names match as FindResourceW matches them: "#7" is 7, and case does not count.
std::u16string KeyOf(LPCWSTR name)
{
    if (IS_INTRESOURCE(name))
        return u"#" + Utf8ToUtf16(std::to_string(LOWORD(name)));
    std::u16string key(name);
    for (char16_t& c : key)
        if (c >= u'a' && c <= u'z')
            c -= 0x20;
    return key;
}

const LPCWSTR kIconType = MAKEINTRESOURCEW(3); // RT_ICON
const LPCWSTR kIconGroupType = MAKEINTRESOURCEW(14); // RT_GROUP_ICON

std::optional<IconPixels> LoadIconPixels(LPCWSTR name, int cx, int cy)
{
    HRSRC group = FindResourceW(nullptr, name, kIconGroupType);
    if (!group)
        return std::nullopt;
    const std::optional<WORD> id
        = PickIconImage(static_cast<const BYTE*>(LoadResource(nullptr, group)), SizeofResource(nullptr, group), cx, cy);
    HRSRC image = id ? FindResourceW(nullptr, MAKEINTRESOURCEW(*id), kIconType) : nullptr;
    std::optional<IconPixels> pixels
        = image ? ReadIconImage(static_cast<const BYTE*>(LoadResource(nullptr, image)), SizeofResource(nullptr, image)) : std::nullopt;
    if (!pixels) {
        Trace("icons: the icon %s is malformed", Utf16ToUtf8(KeyOf(name)).c_str());
        SetLastError(ERROR_INVALID_DATA);
    }
    return pixels;
}

} // namespace

std::shared_ptr<const IconPixels> IconPixelsOf(HICON icon)
{
    IconTable& table = Icons();
    std::lock_guard lock(table.mutex);
    const auto it = table.icons.find(reinterpret_cast<uintptr_t>(icon));
    return it == table.icons.end() ? nullptr : it->second.pixels;
}

HANDLE LoadImageW(HINSTANCE, LPCWSTR name, UINT type, int cx, int cy, UINT flags)
{
    if (type != IMAGE_ICON || !name || cx < 0 || cy < 0 || (flags & ~(LR_DEFAULTSIZE | LR_SHARED))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    cx = cx ? cx : GetSystemMetrics(SM_CXICON);
    cy = cy ? cy : GetSystemMetrics(SM_CYICON);
    const bool shared = flags & LR_SHARED;
    IconTable& table = Icons();
    const auto key = std::make_tuple(KeyOf(name), cx, cy);
    {
        std::lock_guard lock(table.mutex);
        if (const auto it = table.sharedByName.find(key); shared && it != table.sharedByName.end())
            return it->second;
    }
    std::optional<IconPixels> pixels = LoadIconPixels(name, cx, cy);
    if (!pixels)
        return nullptr;
    std::lock_guard lock(table.mutex);
    if (const auto it = table.sharedByName.find(key); shared && it != table.sharedByName.end())
        return it->second; // another thread loaded it meanwhile
    const uintptr_t handle = table.next;
    table.next += 4;
    table.icons[handle] = {std::make_shared<const IconPixels>(std::move(*pixels)), shared};
    HICON icon = reinterpret_cast<HICON>(handle);
    if (shared)
        table.sharedByName[key] = icon;
    return icon;
}

// The layer has no icons of its own (IDI_APPLICATION and the like): null for those.
HICON LoadIconW(HINSTANCE instance, LPCWSTR name)
{
    if (!instance) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

BOOL DestroyIcon(HICON icon)
{
    IconTable& table = Icons();
    std::lock_guard lock(table.mutex);
    const auto it = table.icons.find(reinterpret_cast<uintptr_t>(icon));
    if (it == table.icons.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!it->second.shared)
        table.icons.erase(it);
    return TRUE;
}
