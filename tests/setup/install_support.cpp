#include "install_support.h"

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

Bytes Pattern(size_t cb, int seed)
{
    Bytes bytes(cb);
    for (size_t i = 0; i < cb; ++i)
        bytes[i] = uint8_t((i * 7 + i / 97 + seed) & 0xFF);
    return bytes;
}

Bytes QuiboPayload(const std::string& cpu)
{
    return BuildZip({StoredItem(cpu + "/quibo.exe", Pattern(70000, 1)), StoredItem("common/quibo-s-lo.res", Pattern(9000, 2)),
                     StoredItem("common/quibo-l-hi.res", Pattern(12000, 3)),
                     StoredItem(cpu + "/uninstaller.dll", FileBytes(BuildFolder() + "/libuninstaller.so"))});
}

void InstallQuibo(SETUPTOOLKIT& target, ZIPFILE* archive, const std::string& cpu, int packs)
{
    ASSERT_TRUE(target.openjournal("Quibo"));
    target.journalvalue(HKEY_CURRENT_USER, "Software\\Zelnor\\Quibo", "Settings");
    target.journalvalue(HKEY_CURRENT_USER, "Software\\Zelnor\\Quibo", "HighScores");
    ASSERT_TRUE(target.copylanguage("Quibo"));
    target.savejournal();
    const std::string folder = std::string(target.getfolder(1).View()) + "\\Quibo";
    const std::string program = folder + "\\quibo.exe";
    ASSERT_TRUE(target.installfile(program.c_str(), archive, (cpu + "\\quibo.exe").c_str(), 5, 75));
    for (const char* pack : {"quibo-s-lo.res", "quibo-l-hi.res"}) {
        if (packs-- > 0) {
            ASSERT_TRUE(target.installfile((folder + "\\" + pack).c_str(), archive, (std::string("common\\") + pack).c_str(), 75, 80));
        }
    }
    const std::string shortcut = std::string(target.getfolder(3).View()) + "\\Games\\Quibo.lnk";
    ASSERT_TRUE(target.linkfile(shortcut.c_str(), program.c_str()));
    ASSERT_TRUE(target.setregstring(HKEY_LOCAL_MACHINE, "Software\\Zelnor\\Quibo Extras", "Edition", "first"));
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(target.finalize(archive, (cpu + "\\uninstaller.dll").c_str(), 95, 100));
    target.closejournal();
}

std::u16string RegText(HKEY root, const char16_t* key, const char16_t* name)
{
    HKEY handle;
    if (RegOpenKeyExW(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return u"<no key>";
    WCHAR text[512] = {};
    DWORD cb = sizeof text - 2, type = 0;
    const LONG result = RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &cb);
    RegCloseKey(handle);
    return result == ERROR_SUCCESS ? std::u16string(text) : u"<no value>";
}

void SetRegText(HKEY root, const char16_t* key, const char16_t* name, std::u16string_view text)
{
    HKEY handle;
    ASSERT_EQ(RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr), ERROR_SUCCESS);
    RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()), DWORD((text.size() + 1) * 2));
    RegCloseKey(handle);
}
