#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "hostfolders.h"
#include "launcher.h"
#include "rapi.h"
#include "shelllink.h"
#include "sl_toolkit.h"
#include "unzipper.h"
#include "utf.h"
#include "zip_builder.h"

namespace fs = std::filesystem;

namespace {

std::string hostFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

uint32_t at32(const std::string& b, size_t i)
{
    return uint32_t(uint8_t(b.at(i))) | uint32_t(uint8_t(b.at(i + 1))) << 8 | uint32_t(uint8_t(b.at(i + 2))) << 16 |
           uint32_t(uint8_t(b.at(i + 3))) << 24;
}

uint16_t at16(const std::string& b, size_t i)
{
    return uint16_t(uint8_t(b.at(i)) | uint8_t(b.at(i + 1)) << 8);
}

std::u16string wideAt(const std::string& b, size_t i, size_t count)
{
    std::u16string text;
    for (size_t k = 0; k < count; ++k)
        text += char16_t(at16(b, i + 2 * k));
    return text;
}

std::string programFolder()
{
    return fs::read_symlink("/proc/self/exe").parent_path().string();
}

std::u16string regString(HKEY root, const char16_t* key, const char16_t* name)
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

bool keyExists(HKEY root, const char16_t* key)
{
    HKEY handle;
    if (RegOpenKeyExW(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

void setString(HKEY root, const char16_t* key, const char16_t* name, std::u16string_view text)
{
    HKEY handle;
    ASSERT_EQ(RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr), ERROR_SUCCESS);
    RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()), DWORD((text.size() + 1) * 2));
    RegCloseKey(handle);
}

std::set<std::string> filesBelow(const fs::path& folder)
{
    std::set<std::string> files;
    if (fs::exists(folder))
        for (const auto& item : fs::recursive_directory_iterator(folder))
            files.insert(fs::relative(item.path(), folder).string());
    return files;
}

Bytes fileBytes(const fs::path& path)
{
    const std::string text = hostFile(path);
    return Bytes(text.begin(), text.end());
}

int runShell(const std::string& command)
{
    const std::string line = "PATH='" + programFolder() + "':\"$PATH\" " + command + " 2>&1";
    FILE* pipe = popen(line.c_str(), "r");
    char buffer[512];
    while (pipe && fgets(buffer, sizeof buffer, pipe))
        std::fputs(buffer, stderr);
    const int status = pipe ? pclose(pipe) : -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(ShellLink, HoldsTheTargetTheShowCommandAndTheDescription)
{
    const std::u16string target = u"C:\\Program Files\\Quibo\\quibo.exe";
    const std::string link = ShellLinkBytes(target, u"Quibo ĉe la komputilo");
    ASSERT_GE(link.size(), 0x4Cu);
    EXPECT_EQ(at32(link, 0), 0x4Cu);
    EXPECT_EQ(at32(link, 4), 0x00021401u); // the link class
    EXPECT_EQ(at32(link, 0x14), 0x86u);    // link information, a name, wide text
    EXPECT_EQ(at32(link, 0x3C), 1u);       // shown normally
    const size_t info = 0x4C;
    const uint32_t infoSize = at32(link, info);
    EXPECT_EQ(at32(link, info + 8), 1u); // a volume and a local path
    const std::string narrow = link.substr(info + at32(link, info + 16), target.size());
    EXPECT_EQ(narrow, Utf16ToUtf8(target));
    EXPECT_EQ(wideAt(link, info + at32(link, info + 28), target.size()), target);
    const size_t name = info + infoSize;
    const uint16_t count = at16(link, name);
    EXPECT_EQ(wideAt(link, name + 2, count), u"Quibo ĉe la komputilo");
    EXPECT_EQ(link.size(), name + 2 + 2 * count + 4u); // ends with the empty extra data
}

TEST(Launcher, NamesTheProgramAndQuotesItsPath)
{
    EXPECT_EQ(LauncherFileName("Quibo Deluxe!"), "zelnor-quibo-deluxe-.desktop");
    const std::string text = LauncherText("Quibo", "/home/a b/drive_c/Program Files/Quibo $1/quibo.exe");
    EXPECT_NE(text.find("\nName=Quibo\n"), std::string::npos);
    EXPECT_NE(text.find("\nExec=\"/home/a b/drive_c/Program Files/Quibo \\\\$1/quibo.exe\"\n"), std::string::npos);
    EXPECT_NE(text.find("\nPath=/home/a b/drive_c/Program Files/Quibo $1\n"), std::string::npos);
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
}

// Installs as the installer does on the desktop, checks what is there, then runs the
// registered uninstall command as written and checks that nothing of the product is left.
TEST(DesktopRoundTrip, InstallThenUninstallLeavesNothingOfTheProduct)
{
    const fs::path driveC = HostDataFolder() + "/drive_c";
    const fs::path applications = LauncherFolder();
    fs::create_directories(driveC / "Program Files" / "Other"); // someone else's, kept
    fs::create_directories(driveC / "Documents and Settings/All Users/Start Menu/Programs"); // the system's
    std::ofstream(driveC / "Program Files" / "Other" / "keep.txt") << "not ours";
    setString(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Lang-Quibo", u"EO");
    setString(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Lang-Other", u"EN");
    const std::set<std::string> before = filesBelow(driveC);

    const Bytes payload = BuildZip({StoredItem("native/quibo.exe", Bytes(70000, 0x5A)),
                                    StoredItem("common/quibo-s-lo.res", Bytes(9000, 1)),
                                    StoredItem("common/quibo-l-hi.res", Bytes(12000, 2)),
                                    StoredItem("native/uninstaller.dll", fileBytes(programFolder() + "/libuninstaller.so"))});
    ZIPFILE archive(payload.data(), DWORD(payload.size()), false);
    SETUPTOOLKIT desktop(nullptr, TARGET_DESKTOP, nullptr);
    ASSERT_TRUE(desktop.openjournal("Quibo"));
    desktop.journalvalue(HKEY_CURRENT_USER, "Software\\Zelnor\\Quibo", "Settings");
    desktop.journalvalue(HKEY_CURRENT_USER, "Software\\Zelnor\\Quibo", "HighScores");
    ASSERT_TRUE(desktop.copylanguage("Quibo"));
    desktop.savejournal();
    const std::string folder = std::string(desktop.getfolder(1).View()) + "\\Quibo";
    const std::string program = folder + "\\quibo.exe";
    ASSERT_TRUE(desktop.installfile(program.c_str(), &archive, "native\\quibo.exe", 5, 75));
    for (const char* pack : {"quibo-s-lo.res", "quibo-l-hi.res"})
        ASSERT_TRUE(desktop.installfile((folder + "\\" + pack).c_str(), &archive, (std::string("common\\") + pack).c_str(),
                                        75, 80));
    const std::string shortcut = std::string(desktop.getfolder(3).View()) + "\\Games\\Quibo.lnk";
    ASSERT_TRUE(desktop.linkfile(shortcut.c_str(), program.c_str()));
    ASSERT_TRUE(desktop.setregstring(HKEY_LOCAL_MACHINE, "Software\\Zelnor\\Quibo Extras", "Edition", "first"));
    ASSERT_TRUE(desktop.finalize(&archive, "native\\uninstaller.dll", 95, 100));
    // Again, now asking the installed uninstaller (version 1, so replaced) for its version.
    ASSERT_TRUE(desktop.finalize(&archive, "native\\uninstaller.dll", 95, 100));
    desktop.closejournal();
    setString(HKEY_CURRENT_USER, u"Software\\Zelnor\\Quibo", u"Settings", u"as the game wrote it");

    // What the installation left: an uninstaller that answers its version.
    HMODULE uninstaller = LoadLibraryW(u"C:\\Program Files\\Zelnor Software\\uninstaller.dll");
    ASSERT_NE(uninstaller, nullptr);
    auto version = reinterpret_cast<PFNRAPIEXTENSION>(GetProcAddress(uninstaller, "GetUninstallVersion"));
    ASSERT_NE(version, nullptr);
    DWORD cbReply = 0;
    BYTE* reply = nullptr;
    EXPECT_EQ(version(0, nullptr, &cbReply, &reply, nullptr), S_OK);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(reply)), u"1");
    LocalFree(reply);
    FreeLibrary(uninstaller);
    EXPECT_TRUE(fs::is_regular_file(driveC / "Program Files/Quibo/quibo.exe"));
    EXPECT_TRUE(fs::is_regular_file(driveC / "Documents and Settings/All Users/Start Menu/Programs/Games/Quibo.lnk"));
    const fs::path launcher = applications / "zelnor-quibo.desktop";
    ASSERT_TRUE(fs::is_regular_file(launcher));
    EXPECT_NE(hostFile(launcher).find("Exec=\"" + (driveC / "Program Files/Quibo/quibo.exe").string() + "\""),
              std::string::npos);
    EXPECT_EQ(runShell("desktop-file-validate '" + launcher.string() + "'"), 0);
    const std::u16string command = regString(HKEY_LOCAL_MACHINE,
                                              u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quibo",
                                              u"UninstallString");
    EXPECT_EQ(command, u"rundll32 \"C:\\Program Files\\Zelnor Software\\uninstaller.dll\",Uninstall Quibo");
    EXPECT_EQ(regString(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quibo",
                        u"DisplayName"),
              u"Quibo");

    ASSERT_EQ(runShell(Utf16ToUtf8(command)), 0);

    std::set<std::string> after = filesBelow(driveC);
    after.erase("Program Files/Zelnor Software");
    after.erase("Program Files/Zelnor Software/uninstaller.dll"); // shared by every product
    EXPECT_EQ(after, before);
    EXPECT_FALSE(fs::exists(launcher));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, u"Software\\Zelnor\\Quibo"));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, u"Software\\Zelnor\\Quibo Extras"));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quibo"));
    EXPECT_EQ(regString(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Lang-Quibo"), u"<no value>");
    EXPECT_EQ(regString(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Lang-Other"), u"EN"); // not ours
}

TEST(DesktopRoundTrip, ADamagedJournalStopsTheUninstallerBeforeItRemovesAnything)
{
    const fs::path shared = HostDataFolder() + "/drive_c/Program Files/Zelnor Software";
    fs::create_directories(shared);
    fs::copy_file(programFolder() + "/libuninstaller.so", shared / "uninstaller.dll",
                  fs::copy_options::overwrite_existing);
    std::ofstream(HostDataFolder() + "/drive_c/precious.txt") << "keep";
    const std::string damaged[] = {"deletefile { \"C:\\precious.txt\" }\nshred { \"C:\\\" }\n",
                                   "deletefile { \"C:\\precious.txt\" }\ndeletefile \"C:\\x\" }\n",
                                   "deletefile { \"C:\\precious.txt\" }\ndeletefile { \"C:\\x }\n",
                                   "deletefile { \"C:\\precious.txt\" }\ndeletefile { \"C:\\x\"\n",
                                   "deletefile { \"C:\\precious.txt\" }\n" + std::string(1 << 20, '#') + "x\n" +
                                       std::string(1 << 20, 'x') + "\n"};
    for (const std::string& text : damaged) {
        std::ofstream(shared / "Uninstall Log for Quibo.txt", std::ios::binary) << text;
        EXPECT_EQ(runShell("rundll32 '\"C:\\Program Files\\Zelnor Software\\uninstaller.dll\",Uninstall' Quibo"), 1);
        EXPECT_TRUE(fs::exists(HostDataFolder() + "/drive_c/precious.txt"));
        EXPECT_EQ(hostFile(shared / "Uninstall Log for Quibo.txt"), text);
    }
    // Only a plain product name is taken: no path can lead to another folder's journal.
    EXPECT_EQ(runShell("rundll32 '\"C:\\Program Files\\Zelnor Software\\uninstaller.dll\",Uninstall' ../Quibo"), 1);
    EXPECT_EQ(runShell("rundll32 nonsense"), 2);
}
