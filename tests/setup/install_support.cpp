#include "install_support.h"

#include "installer/install.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

std::string BuildFolder()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

Bytes FileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::set<std::string> FilesBelow(const std::filesystem::path& folder)
{
    std::set<std::string> files;
    for (auto it = std::filesystem::recursive_directory_iterator(folder); it != std::filesystem::recursive_directory_iterator(); ++it) {
        if (it->path().filename() == ".quibo-handheld")
            it.disable_recursion_pending();
        else
            files.insert(std::filesystem::relative(it->path(), folder).string());
    }
    return files;
}

Bytes Pattern(size_t cb, int seed)
{
    Bytes bytes(cb);
    for (size_t i = 0; i < cb; ++i)
        bytes[i] = uint8_t((i * 7 + i / 97 + seed) & 0xFF);
    return bytes;
}

Bytes QuiboPayload(const std::string& cpu, const std::string& without)
{
    std::vector<ZipItem> items = {StoredItem(cpu + "/quibo.exe", Pattern(70000, 1)),
                                  StoredItem(cpu + "/uninstaller.dll", FileBytes(BuildFolder() + "/libuninstaller.so"))};
    for (const char* pack : {"s-lo", "s-hi", "l-lo", "l-hi", "p-lo"})
        items.push_back(StoredItem(std::string("common/quibo-") + pack + ".res", Pattern(9000, int(items.size()))));
    std::erase_if(items, [&](const ZipItem& item) { return item.name == without; });
    return BuildZip(items);
}

void InstallQuibo(SETUPTOOLKIT& target, ZIPFILE* archive)
{
    INSTALLFAILURE failure;
    ASSERT_TRUE(InstallTarget(&target, archive, failure)) << failure.path;
    ASSERT_TRUE(target.setregstring(HKEY_LOCAL_MACHINE, "Software\\Zelnor\\Quibo Extras", "Edition", "first"));
    ASSERT_TRUE(target.finalize(archive, (std::string(target.getcpudir().View()) + "\\uninstaller.dll").c_str(), 95, 100));
    target.closejournal();
}

std::u16string RegText(HKEY root, const char16_t* key, const char16_t* name, RAPI* device)
{
    HKEY handle;
    if ((device ? RapiCeRegOpenKeyEx(device, root, key, 0, KEY_READ, &handle) : RegOpenKeyExW(root, key, 0, KEY_READ, &handle))
        != ERROR_SUCCESS)
        return u"<no key>";
    WCHAR text[512] = {};
    DWORD cb = sizeof text - 2, type = 0;
    BYTE* data = reinterpret_cast<BYTE*>(text);
    const LONG result = device ? RapiCeRegQueryValueEx(device, handle, name, nullptr, &type, data, &cb)
                               : RegQueryValueExW(handle, name, nullptr, &type, data, &cb);
    device ? RapiCeRegCloseKey(device, handle) : RegCloseKey(handle);
    return result == ERROR_SUCCESS ? std::u16string(text) : u"<no value>";
}

void SetRegText(HKEY root, const char16_t* key, const char16_t* name, std::u16string_view text)
{
    HKEY handle;
    ASSERT_EQ(RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr), ERROR_SUCCESS);
    RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()), DWORD((text.size() + 1) * 2));
    RegCloseKey(handle);
}
