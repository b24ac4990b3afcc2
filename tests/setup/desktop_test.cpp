#include "install_support.h"
#include "launcher.h"
#include "shelllink.h"
#include "unzipper.h"
#include "utf.h"

#include "hostfolders.h"

#include <cstdio>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

uint32_t at32(const std::string& b, size_t i)
{
    return uint32_t(uint8_t(b.at(i))) | uint32_t(uint8_t(b.at(i + 1))) << 8 | uint32_t(uint8_t(b.at(i + 2))) << 16
           | uint32_t(uint8_t(b.at(i + 3))) << 24;
}

std::string bytesOf(std::u16string_view text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), 2 * text.size());
}

std::string hostFile(const fs::path& path)
{
    const Bytes bytes = FileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

int runShell(const std::string& command)
{
    const std::string line = "PATH='" + BuildFolder() + "':\"$PATH\" " + command + " 1>&2";
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const char16_t kUninstallKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quibo";

} // namespace

TEST(ShellLink, HoldsTheTargetTheShowCommandAndTheDescription)
{
    const std::u16string target = u"C:\\Program Files\\Quibo\\quibo.exe";
    const std::string link = ShellLinkBytes(target, u"Quibo ĉe la komputilo");
    const size_t info = 0x4C;
    // The header's size, the link class, flags (link information, a name, wide text), shown
    // normally; then a volume and a local path.
    EXPECT_EQ((std::vector{at32(link, 0), at32(link, 4), at32(link, 0x14), at32(link, 0x3C), at32(link, info + 8)}),
              (std::vector<uint32_t>{0x4C, 0x00021401, 0x86, 1, 1}));
    EXPECT_EQ(link.substr(info + at32(link, info + 16), target.size()), Utf16ToUtf8(target));
    EXPECT_EQ(link.substr(info + at32(link, info + 28), 2 * target.size()), bytesOf(target));
    // The name, counted; then the empty extra data ends the link.
    const size_t name = info + at32(link, info);
    EXPECT_EQ(link.substr(name), std::string("\x15\0", 2) + bytesOf(u"Quibo ĉe la komputilo") + std::string(4, '\0'));
}

TEST(Launcher, NamesTheProgramAndQuotesItsPath)
{
    EXPECT_EQ(LauncherFileName("Quibo Deluxe!"), "zelnor-quibo-deluxe-.desktop");
    EXPECT_EQ(
        LauncherText("Quibo", "/home/a b/drive_c/Program Files/Quibo $1/quibo.exe"),
        "[Desktop Entry]\nType=Application\nVersion=1.0\nName=Quibo\nExec=\"/home/a b/drive_c/Program Files/Quibo \\\\$1/quibo.exe\"\n"
        "Path=/home/a b/drive_c/Program Files/Quibo $1\nTerminal=false\nCategories=Game;CardGame;\n");
}

// Installs as the installer does on the desktop, checks what is there, then runs the
// registered uninstall command as written and checks that nothing of the product is left.
TEST(DesktopRoundTrip, InstallThenUninstallLeavesNothingOfTheProduct)
{
    const fs::path driveC = HostDataFolder() + "/drive_c";
    fs::create_directories(driveC / "Program Files" / "Other"); // someone else's, kept
    fs::create_directories(driveC / "Documents and Settings/All Users/Start Menu/Programs"); // the system's
    std::ofstream(driveC / "Program Files" / "Other" / "keep.txt") << "not ours";
    SetRegText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Lang-Quibo", u"EO");
    SetRegText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Lang-Other", u"EN");
    const std::set<std::string> before = FilesBelow(driveC);

    const Bytes payload = QuiboPayload("native");
    ZIPFILE archive(payload.data(), DWORD(payload.size()), false);
    SETUPTOOLKIT desktop(nullptr, TARGET_DESKTOP, nullptr);
    ASSERT_NO_FATAL_FAILURE(InstallQuibo(desktop, &archive));
    SetRegText(HKEY_CURRENT_USER, u"Software\\Zelnor\\Quibo", u"Settings", u"as the game wrote it");

    // What the installation left.
    const fs::path launcher = LauncherFolder() + "/zelnor-quibo.desktop";
    EXPECT_EQ(
        (std::tuple{hostFile(driveC / "Program Files/Quibo/quibo.exe").size(),
                    fs::is_regular_file(driveC / "Documents and Settings/All Users/Start Menu/Programs/Games/Quibo.lnk"),
                    hostFile(launcher).find("Exec=\"" + (driveC / "Program Files/Quibo/quibo.exe").string() + "\"") != std::string::npos,
                    runShell("desktop-file-validate '" + launcher.string() + "'")}),
        (std::tuple{70000u, true, true, 0}));
    const std::u16string command = RegText(HKEY_LOCAL_MACHINE, kUninstallKey, u"UninstallString");
    EXPECT_EQ(command + u"|" + RegText(HKEY_LOCAL_MACHINE, kUninstallKey, u"DisplayName"),
              u"rundll32 \"C:\\Program Files\\Zelnor Software\\uninstaller.dll\",Uninstall Quibo|Quibo");

    ASSERT_EQ(runShell(Utf16ToUtf8(command)), 0);

    std::set<std::string> after = FilesBelow(driveC);
    after.erase("Program Files/Zelnor Software");
    after.erase("Program Files/Zelnor Software/uninstaller.dll"); // shared by every product
    EXPECT_EQ((std::tuple{after, fs::exists(launcher)}), (std::tuple{before, false}));
    // Lang-Other is not ours.
    EXPECT_EQ(
        (std::vector{RegText(HKEY_CURRENT_USER, u"Software\\Zelnor\\Quibo", u""),
                     RegText(HKEY_LOCAL_MACHINE, u"Software\\Zelnor\\Quibo Extras", u""), RegText(HKEY_LOCAL_MACHINE, kUninstallKey, u""),
                     RegText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Lang-Quibo"),
                     RegText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Lang-Other")}),
        (std::vector<std::u16string>{u"<no key>", u"<no key>", u"<no key>", u"<no value>", u"EN"}));
}

TEST(DesktopRoundTrip, ADamagedJournalStopsTheUninstallerBeforeItRemovesAnything)
{
    const fs::path shared = HostDataFolder() + "/drive_c/Program Files/Zelnor Software";
    fs::create_directories(shared);
    fs::copy_file(BuildFolder() + "/libuninstaller.so", shared / "uninstaller.dll", fs::copy_options::overwrite_existing);
    std::ofstream(HostDataFolder() + "/drive_c/precious.txt") << "keep";
    const std::string first = "deletefile { \"C:\\precious.txt\" }\n";
    for (const std::string& text : {first + "shred { \"C:\\\" }\n", first + "deletefile { \"C:\\x }\n",
                                    first + std::string(1 << 20, '#') + "x\n" + std::string(1 << 20, 'x') + "\n"}) {
        std::ofstream(shared / "Uninstall Log for Quibo.txt", std::ios::binary) << text;
        EXPECT_EQ(
            (std::tuple{runShell("rundll32 '\"C:\\Program Files\\Zelnor Software\\uninstaller.dll\",Uninstall' Quibo"),
                        fs::exists(HostDataFolder() + "/drive_c/precious.txt"), hostFile(shared / "Uninstall Log for Quibo.txt") == text}),
            (std::tuple{1, true, true})); // the journal compared apart: its 2 MiB would flood a failure
    }
    // Only a plain product name is taken: no path can lead to another folder's journal.
    EXPECT_EQ(runShell("rundll32 '\"C:\\Program Files\\Zelnor Software\\uninstaller.dll\",Uninstall' ../Quibo"), 1);
    EXPECT_EQ(runShell("rundll32 nonsense"), 2);
}
