#include "fake_device.h"
#include "install_support.h"
#include "unzipper.h"

#include "hostfolders.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

std::vector<int> g_percents;

const char kJournal[] = "/Program Files/Zelnor Software/Uninstall Log for Quibo.txt";

void collectPercent(int kind, int percent, LPCTSTR, LPARAM)
{
    if (kind == STATUS_INSTALLING)
        g_percents.push_back(percent);
}

class Toolkit : public testing::Test {
protected:
    void SetUp() override
    {
        g_percents.clear();
        std::filesystem::remove_all(HostDataFolder() + "/drive_c"); // each test on a bare machine
    }

    static std::string text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
    static std::string deviceFile(const std::string& path) { return text(FileBytes(FakeDeviceFolder() + path)); }
    static std::string desktopFile(const std::string& path) { return text(FileBytes(HostDataFolder() + "/drive_c" + path)); }
    // The journal's lines below its header.
    static std::string Body(const std::string& text) { return text.substr(text.find("\n\n") + 2); }
    SETUPTOOLKIT handheld() { return SETUPTOOLKIT(nullptr, TARGET_HANDHELD, m_device.Connection()); }

    const Bytes m_payload = BuildZip({StoredItem("native/", {}), StoredItem("native/quibo.exe", Pattern(100000)),
                                      StoredItem("common/small.res", Pattern(5120)), StoredItem("common/large.res", Pattern(5121)),
                                      StoredItem("arm/uninstaller.dll", Pattern(300))});
    ZIPFILE m_archive{m_payload.data(), DWORD(m_payload.size()), false};
    FakeDevice m_device;
    SETUPTOOLKIT m_desktop{nullptr, TARGET_DESKTOP, nullptr};
};

} // namespace

TEST_F(Toolkit, EntryNamesAreFoundWhateverTheirSeparatorsOrCaseAndProgressRunsByChunks)
{
    m_desktop.setcallback(collectPercent, 1008);
    for (const char* name : {"native\\quibo.exe", "/native/quibo.exe", "\\NATIVE\\QUIBO.EXE", "native/Quibo.Exe"}) {
        g_percents.clear();
        EXPECT_EQ((std::tuple{m_desktop.installfile("C:\\spell\\quibo.exe", &m_archive, name, 5, 75), g_percents,
                              desktopFile("/spell/quibo.exe")}),
                  (std::tuple{true, std::vector<int>{5, 27, 50, 73, 75}, text(Pattern(100000))}))
            << name;
    }
    SetLastError(0);
    EXPECT_EQ((std::tuple{m_desktop.installfile("C:\\spell\\x.exe", &m_archive, "native\\missing.exe", -1, -1), GetLastError(),
                          m_desktop.finalize(&m_archive, "native\\uninstaller.dll", 95, 100)}),
              (std::tuple{false, DWORD(ERROR_FILE_NOT_FOUND), false}));
}

TEST_F(Toolkit, FoldersOfEachTargetAndTheProcessorsPayloadFolder)
{
    auto folders = [](SETUPTOOLKIT target) {
        std::string names = std::string(target.getcpudir().View());
        for (int i = 0; i < 6; ++i)
            names += "|" + std::string(target.getfolder(i).View());
        return names;
    };
    EXPECT_EQ(folders(handheld()),
              "arm|\\|\\Program Files|\\Program Files\\Zelnor Software|\\Windows\\Start Menu\\Programs|\\Windows\\StartUp|");
    EXPECT_EQ(folders(m_desktop), "native|C:\\|C:\\Program Files|C:\\Program Files\\Zelnor Software|C:\\Documents and Settings\\All "
                                  "Users\\Start Menu\\Programs|C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup|");
    std::string chosen;
    for (const WORD architecture : {1, 3, 4, 5, 0, 9}) {
        m_device.architecture = architecture;
        chosen += std::string(handheld().getcpudir().View()) + " ";
    }
    m_device.answersSystemInfo = false;
    EXPECT_EQ(chosen + std::string(handheld().getcpudir().View()), "mips ppc shx arm unknown unknown unknown");
    // The machine's own records win, and a top folder keeps no separator at its end.
    SetRegText(HKEY_LOCAL_MACHINE, u"PMail\\Attachments", u"TopDir", u"D:\\Apps\\");
    EXPECT_EQ(SETUPTOOLKIT(nullptr, TARGET_DESKTOP, nullptr).getfolder(2), "D:\\Apps\\Zelnor Software");
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"PMail\\Attachments");
}

// Each file is installed twice: a failed unpacking sends the file again unpacked, and no
// later file is packed.
TEST_F(Toolkit, FilesAboveFiveThousandOneHundredAndTwentyBytesTravelPackedWhereTheDeviceUnpacks)
{
    // Each case: the helper's version, how each file arrived, the unpackings, the version after.
    const struct {
        const char* entry;
        std::u16string unpackerVersion;
        bool unpackingFails;
        const char* result;
    } cases[] = {{"common\\small.res", u"1", false, "1 whole whole 0 1"},
                 {"common\\large.res", u"1", false, "1 whole whole 2 1"},
                 {"common\\large.res", u"", false, "0 whole whole 0 0"},
                 {"common\\large.res", u"1", true, "1 whole whole 1 0"}};
    for (const auto& c : cases) {
        m_device.unpackings = 0;
        m_device.unpackerVersion = c.unpackerVersion;
        m_device.unpackingFails = c.unpackingFails;
        SETUPTOOLKIT device = handheld();
        device.setcallback(collectPercent, 0);
        std::string result = std::to_string(device.devicehelperversion());
        for (const std::string file : {"one.res", "two.res"})
            result += device.installfile(("\\Quibo\\" + file).c_str(), &m_archive, c.entry, 5, 75)
                              && deviceFile("/Quibo/" + file) == text(Pattern(std::string(c.entry) == "common\\small.res" ? 5120 : 5121))
                          ? " whole"
                          : " broken";
        result += " " + std::to_string(m_device.unpackings) + " " + std::to_string(device.devicehelperversion());
        EXPECT_EQ((std::tuple{result, g_percents.back()}), (std::tuple{std::string(c.result), 75})) << c.entry;
    }
    // No temporary is left behind.
    EXPECT_EQ(FilesBelow(FakeDeviceFolder()), (std::set<std::string>{"Quibo", "Quibo/one.res", "Quibo/two.res"}));
    EXPECT_EQ(m_desktop.devicehelperversion(), 0);
}

TEST_F(Toolkit, AFullOrVanishingDeviceFailsTheFileAndTheJournalStillListsIt)
{
    for (const bool vanishes : {false, true}) {
        std::filesystem::remove_all(FakeDeviceFolder());
        m_device.unpackerVersion.clear();
        m_device.vanishesWhenFull = vanishes;
        m_device.gone = false;
        SETUPTOOLKIT device = handheld();
        ASSERT_TRUE(device.openjournal("Quibo"));
        m_device.spaceLeft = 8000; // the journal fits, the program does not
        // A full device loses the half-written file; one that vanished may keep it, listed.
        EXPECT_EQ(
            (std::tuple{device.installfile("\\Program Files\\Quibo\\quibo.exe", &m_archive, "native\\quibo.exe", 5, 75),
                        vanishes || !std::filesystem::exists(FakeDeviceFolder() + "/Program Files/Quibo/quibo.exe"),
                        Body(deviceFile(kJournal))}),
            (std::tuple{false, true, "deletedir { \"\\Program Files\\Quibo\" }\ndeletefile { \"\\Program Files\\Quibo\\quibo.exe\" }\n"s}))
            << vanishes;
        m_device.spaceLeft = -1;
    }
}

TEST_F(Toolkit, InstallingTwiceKeepsOneLinePerItemAndADamagedJournalIsNeitherReadNorReplaced)
{
    // A damaged journal is neither read nor replaced.
    const std::string damaged = "deletefile { \"C:\\keep\" }\nwipe { \"C:\\\" }\n";
    std::filesystem::create_directories(HostDataFolder() + "/drive_c/Program Files/Zelnor Software");
    std::ofstream(HostDataFolder() + "/drive_c" + kJournal) << damaged;
    EXPECT_FALSE(m_desktop.openjournal("Quibo"));
    m_desktop.savejournal();
    EXPECT_EQ(desktopFile(kJournal), damaged);
    std::filesystem::remove(HostDataFolder() + "/drive_c" + kJournal);

    for (int run = 0; run < 2; ++run) {
        SETUPTOOLKIT desktop(nullptr, TARGET_DESKTOP, nullptr);
        ASSERT_TRUE(desktop.openjournal("Quibo"));
        desktop.journalvalue(HKEY_CURRENT_USER, "Software\\Zelnor\\Quibo", "Settings");
        ASSERT_TRUE(desktop.openjournal("Quibo")); // nested: the unsaved value is kept
        ASSERT_TRUE(desktop.installfile("C:\\Program Files\\Quibo\\quibo.exe", &m_archive, "native\\quibo.exe", -1, -1));
        ASSERT_TRUE(desktop.installfile("C:\\Program Files\\Quibo\\small.res", &m_archive, "common\\small.res", -1, -1));
        desktop.closejournal();
    }
    // The shared folder holds every product's journal and the uninstaller, and the program
    // files folder was there first: neither is listed.
    EXPECT_EQ(
        Body(desktopFile(kJournal)),
        "deletekey { \"HKCU\\Software\" }\ndeletekey { \"HKCU\\Software\\Zelnor\" }\ndeletekey { \"HKCU\\Software\\Zelnor\\Quibo\" }\n"
        "deleteval { \"HKCU\\Software\\Zelnor\\Quibo\" \"Settings\" }\ndeletedir { \"C:\\Program Files\\Quibo\" }\n"
        "deletefile { \"C:\\Program Files\\Quibo\\quibo.exe\" }\ndeletefile { \"C:\\Program Files\\Quibo\\small.res\" }\n");
}

TEST_F(Toolkit, AnInstalledNewerUninstallerIsKeptAndTheProductStillRegistered)
{
    for (const std::u16string installed : {u"", u"1", u"2"}) {
        std::filesystem::remove_all(FakeDeviceFolder());
        m_device.uninstallerVersion = installed;
        SETUPTOOLKIT device = handheld();
        ASSERT_TRUE(device.openjournal("Quibo"));
        ASSERT_TRUE(device.finalize(&m_archive, "arm\\uninstaller.dll", 95, 100));
        const char16_t key[] = u"FakeDevice\\HKLM\\Software\\Apps\\Quibo";
        // Instl is a DWORD of 1; the uninstaller is shared, so no product's journal lists it.
        EXPECT_EQ((std::tuple{std::filesystem::exists(FakeDeviceFolder() + "/Program Files/Zelnor Software/uninstaller.dll"),
                              RegText(HKEY_CURRENT_USER, key, u"IsvFile"), RegText(HKEY_CURRENT_USER, key, u"Instl"),
                              deviceFile(kJournal).find("uninstaller.dll")}),
                  (std::tuple{installed != u"2", std::u16string(u"\\Program Files\\Zelnor Software\\uninstaller.dll"),
                              std::u16string(u"\1"), std::string::npos}));
    }
}

TEST_F(Toolkit, TheLanguageChoiceAndAQuotedShortcutReachTheHandheldAndAreJournalled)
{
    SetRegText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Lang-Quibo", u"EO");
    SetRegText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Opt-Quibo", u"EN,EO");
    SETUPTOOLKIT device = handheld();
    std::filesystem::create_directories(FakeDeviceFolder() + "/Windows/Start Menu/Programs"); // the device's own
    ASSERT_TRUE(device.openjournal("Quibo"));
    ASSERT_TRUE(device.copylanguage("Quibo"));
    ASSERT_TRUE(device.linkfile("\\Windows\\Start Menu\\Programs\\Games\\Quibo.lnk", "\\Program Files\\Quibo\\quibo.exe"));
    EXPECT_EQ(
        (std::tuple{deviceFile("/Windows/Start Menu/Programs/Games/Quibo.lnk"),
                    RegText(HKEY_CURRENT_USER, u"FakeDevice\\HKLM\\SOFTWARE\\Zelnor\\NLS", u"Lang-Quibo"),
                    Body(JournalText(device.journal()))}),
        (std::tuple{
            std::string("\"\\Program Files\\Quibo\\quibo.exe\""), std::u16string(u"EO"),
            std::string("deletekey { \"HKLM\\SOFTWARE\" }\ndeletekey { \"HKLM\\SOFTWARE\\Zelnor\" }\n"
                        "deletekey { \"HKLM\\SOFTWARE\\Zelnor\\NLS\" }\ndeleteval { \"HKLM\\SOFTWARE\\Zelnor\\NLS\" \"Lang-Quibo\" }\n"
                        "deleteval { \"HKLM\\SOFTWARE\\Zelnor\\NLS\" \"Opt-Quibo\" }\n"
                        "deletedir { \"\\Windows\\Start Menu\\Programs\\Games\" }\n"
                        "deletefile { \"\\Windows\\Start Menu\\Programs\\Games\\Quibo.lnk\" }\n")}));

    // Without a choice on the desktop there is nothing to copy.
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS");
    EXPECT_FALSE(handheld().copylanguage("Quibo"));
}
