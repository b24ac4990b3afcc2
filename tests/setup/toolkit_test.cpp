#include "fake_device.h"
#include "install_support.h"
#include "trace.h"
#include "unzipper.h"

#include "hostfolders.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_lines;
std::vector<int> g_percents;

const char kUnpack[] = "\\Program Files\\Zelnor Software\\zzrapi.dll|DecompressFile";
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
        g_lines.clear();
        g_percents.clear();
        std::filesystem::remove_all(HostDataFolder() + "/drive_c"); // each test on a bare machine
        m_previous = SetTraceSink([](const char* line) { g_lines.push_back(line); });
    }
    void TearDown() override { SetTraceSink(m_previous); }

    static std::string text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
    static std::string deviceFile(const std::string& path) { return text(FileBytes(FakeDeviceFolder() + path)); }
    static std::string desktopFile(const std::string& path) { return text(FileBytes(HostDataFolder() + "/drive_c" + path)); }
    // How often `line` occurs in `text`.
    static int count(const std::string& text, const std::string& line)
    {
        int n = 0;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
            ++n;
        return n;
    }
    SETUPTOOLKIT handheld() { return SETUPTOOLKIT(nullptr, TARGET_HANDHELD, m_device.Connection()); }
    int unpackings() const { return int(std::count(m_device.invoked.begin(), m_device.invoked.end(), kUnpack)); }

    TraceSink m_previous = nullptr;
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
                          std::string(g_lines.back()), m_desktop.finalize(&m_archive, "native\\uninstaller.dll", 95, 100), g_lines.back()}),
              (std::tuple{false, DWORD(ERROR_FILE_NOT_FOUND), std::string("setuplib: installfile failed to find native\\missing.exe"),
                          false, std::string("setuplib: could not find native\\uninstaller.dll for finalize")}));
}

TEST_F(Toolkit, ProcessorArchitecturesChooseThePayloadFolder)
{
    const struct {
        WORD architecture;
        bool answers;
        const char* folder;
    } cases[] = {{1, true, "mips"},    {3, true, "ppc"},     {4, true, "shx"},     {5, true, "arm"},
                 {0, true, "unknown"}, {9, true, "unknown"}, {5, false, "unknown"}};
    for (const auto& c : cases) {
        m_device.architecture = c.architecture;
        m_device.answersSystemInfo = c.answers;
        EXPECT_EQ(handheld().getcpudir(), c.folder) << c.architecture;
    }
    EXPECT_EQ(m_desktop.getcpudir(), "native");
}

TEST_F(Toolkit, FoldersOfEachTarget)
{
    auto folders = [](SETUPTOOLKIT target) {
        std::vector<std::string> names;
        for (int i = 0; i < 6; ++i)
            names.emplace_back(target.getfolder(i).View());
        return names;
    };
    EXPECT_EQ(folders(handheld()), (std::vector<std::string>{"\\", "\\Program Files", "\\Program Files\\Zelnor Software",
                                                             "\\Windows\\Start Menu\\Programs", "\\Windows\\StartUp", ""}));
    EXPECT_EQ(folders(SETUPTOOLKIT(nullptr, TARGET_DESKTOP, nullptr)),
              (std::vector<std::string>{"C:\\", "C:\\Program Files", "C:\\Program Files\\Zelnor Software",
                                        "C:\\Documents and Settings\\All Users\\Start Menu\\Programs",
                                        "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup", ""}));

    // The machine's own records win, and a top folder keeps no separator at its end.
    SetRegText(HKEY_LOCAL_MACHINE, u"PMail\\Attachments", u"TopDir", u"D:\\Apps\\");
    EXPECT_EQ(SETUPTOOLKIT(nullptr, TARGET_DESKTOP, nullptr).getfolder(2), "D:\\Apps\\Zelnor Software");
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"PMail\\Attachments");
}

// Each file is installed twice: a failed unpacking sends the file again unpacked, and no
// later file is packed.
TEST_F(Toolkit, FilesAboveFiveThousandOneHundredAndTwentyBytesTravelPackedWhereTheDeviceUnpacks)
{
    const struct {
        const char* entry;
        std::u16string unpackerVersion;
        bool unpackingFails;
        int unpackings;
        int helperAfter;
    } cases[] = {{"common\\small.res", u"1", false, 0, 1},
                 {"common\\large.res", u"1", false, 2, 1},
                 {"common\\large.res", u"", false, 0, 0},
                 {"common\\large.res", u"1", true, 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + (c.unpackingFails ? ", failing" : ""));
        m_device.invoked.clear();
        m_device.unpackerVersion = c.unpackerVersion;
        m_device.unpackingFails = c.unpackingFails;
        SETUPTOOLKIT device = handheld();
        device.setcallback(collectPercent, 0);
        EXPECT_EQ(device.devicehelperversion(), c.unpackerVersion.empty() ? 0 : 1);
        for (const char* file : {"one.res", "two.res"}) {
            ASSERT_TRUE(device.installfile((std::string("\\Quibo\\") + file).c_str(), &m_archive, c.entry, 5, 75));
            EXPECT_EQ(deviceFile(std::string("/Quibo/") + file), text(Pattern(std::string(c.entry) == "common\\small.res" ? 5120 : 5121)));
        }
        EXPECT_EQ((std::tuple{unpackings(), device.devicehelperversion(), g_percents.back()}),
                  (std::tuple{c.unpackings, c.helperAfter, 75}));
    }
    for (const auto& item : std::filesystem::directory_iterator(FakeDeviceFolder()))
        EXPECT_EQ(item.path().filename().string().find("This File Is Safe To Delete"), std::string::npos);
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
        EXPECT_EQ((std::tuple{device.installfile("\\Program Files\\Quibo\\quibo.exe", &m_archive, "native\\quibo.exe", 5, 75),
                              std::string(g_lines.back()),
                              vanishes || !std::filesystem::exists(FakeDeviceFolder() + "/Program Files/Quibo/quibo.exe"),
                              count(deviceFile(kJournal), "deletefile { \"\\Program Files\\Quibo\\quibo.exe\" }\n")}),
                  (std::tuple{false, std::string("setuplib: writefile failed to write \\Program Files\\Quibo\\quibo.exe"), true, 1}))
            << vanishes;
        m_device.spaceLeft = -1;
    }
}

TEST_F(Toolkit, InstallingTwiceKeepsOneLinePerItem)
{
    for (int run = 0; run < 2; ++run) {
        SETUPTOOLKIT desktop(nullptr, TARGET_DESKTOP, nullptr);
        ASSERT_TRUE(desktop.openjournal("Quibo"));
        desktop.journalvalue(HKEY_CURRENT_USER, "Software\\Zelnor\\Quibo", "Settings");
        ASSERT_TRUE(desktop.openjournal("Quibo")); // nested: the unsaved value is kept
        ASSERT_TRUE(desktop.installfile("C:\\Program Files\\Quibo\\quibo.exe", &m_archive, "native\\quibo.exe", -1, -1));
        ASSERT_TRUE(desktop.installfile("C:\\Program Files\\Quibo\\small.res", &m_archive, "common\\small.res", -1, -1));
        desktop.closejournal();
    }
    const std::string journal = desktopFile(kJournal);
    for (const char* line : {"deletefile { \"C:\\Program Files\\Quibo\\quibo.exe\" }\n",
                             "deletefile { \"C:\\Program Files\\Quibo\\small.res\" }\n", "deletedir { \"C:\\Program Files\\Quibo\" }\n",
                             "deletekey { \"HKCU\\Software\" }\n", "deleteval { \"HKCU\\Software\\Zelnor\\Quibo\" \"Settings\" }\n"})
        EXPECT_EQ(count(journal, line), 1) << line;
    // The shared folder holds every product's journal and the uninstaller, and the program
    // files folder was there first: neither is listed.
    EXPECT_EQ(count(journal, "Zelnor Software\" }") + count(journal, "deletedir { \"C:\\Program Files\" }\n"), 0);
}

TEST_F(Toolkit, ADamagedJournalIsNeitherReadNorReplaced)
{
    const std::string damaged = "deletefile { \"C:\\keep\" }\nwipe { \"C:\\\" }\n";
    std::filesystem::create_directories(HostDataFolder() + "/drive_c/Program Files/Zelnor Software");
    std::ofstream(HostDataFolder() + "/drive_c" + kJournal) << damaged;
    EXPECT_FALSE(m_desktop.openjournal("Quibo"));
    EXPECT_EQ(g_lines.back(), "setuplib: openjournal could not read C:\\Program Files\\Zelnor Software\\Uninstall Log "
                              "for Quibo.txt: line 2: unknown keyword \"wipe\"");
    m_desktop.savejournal();
    EXPECT_EQ(desktopFile(kJournal), damaged);
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
                              count(deviceFile(kJournal), "uninstaller.dll")}),
                  (std::tuple{installed != u"2", std::u16string(u"\\Program Files\\Zelnor Software\\uninstaller.dll"),
                              std::u16string(u"\1"), 0}));
    }
}

TEST_F(Toolkit, TheLanguageChoiceAndAQuotedShortcutReachTheHandheldAndAreJournalled)
{
    SetRegText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Lang-Quibo", u"EO");
    SetRegText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Opt-Quibo", u"EN,EO");
    SETUPTOOLKIT device = handheld();
    ASSERT_TRUE(device.openjournal("Quibo"));
    ASSERT_TRUE(device.copylanguage("Quibo"));
    ASSERT_TRUE(device.linkfile("\\Windows\\Start Menu\\Programs\\Games\\Quibo.lnk", "\\Program Files\\Quibo\\quibo.exe"));
    EXPECT_EQ(m_device.shortcuts,
              (std::vector<std::string>{"\\Windows\\Start Menu\\Programs\\Games\\Quibo.lnk|\"\\Program Files\\Quibo\\quibo.exe\""}));
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, u"FakeDevice\\HKLM\\SOFTWARE\\Zelnor\\NLS", u"Lang-Quibo"), u"EO");
    const std::vector<JOURNALENTRY> expected = {
        {JOURNAL_DELETEKEY, "HKLM\\SOFTWARE", ""},
        {JOURNAL_DELETEKEY, "HKLM\\SOFTWARE\\Zelnor", ""},
        {JOURNAL_DELETEKEY, "HKLM\\SOFTWARE\\Zelnor\\NLS", ""},
        {JOURNAL_DELETEVAL, "HKLM\\SOFTWARE\\Zelnor\\NLS", "Lang-Quibo"},
        {JOURNAL_DELETEVAL, "HKLM\\SOFTWARE\\Zelnor\\NLS", "Opt-Quibo"},
    };
    std::vector<JOURNALENTRY> journal = device.journal();
    EXPECT_EQ(journal.back(), (JOURNALENTRY{JOURNAL_DELETEFILE, "\\Windows\\Start Menu\\Programs\\Games\\Quibo.lnk", ""}));
    journal.resize(expected.size());
    EXPECT_EQ(journal, expected);

    // Without a choice on the desktop there is nothing to copy.
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS");
    EXPECT_FALSE(handheld().copylanguage("Quibo"));
}
