#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fake_device.h"
#include "hostfolders.h"
#include "sl_toolkit.h"
#include "trace.h"
#include "unzipper.h"
#include "utf.h"
#include "zip_builder.h"

namespace {

std::vector<std::string> g_lines;
std::vector<int> g_percents;

void collectLine(const char* line)
{
    g_lines.push_back(line);
}

void collectPercent(int kind, int percent, LPCTSTR, LPARAM)
{
    if (kind == STATUS_INSTALLING)
        g_percents.push_back(percent);
}

Bytes pattern(size_t cb)
{
    Bytes bytes(cb);
    for (size_t i = 0; i < cb; ++i)
        bytes[i] = uint8_t((i * 7 + i / 251) & 0xFF);
    return bytes;
}

std::string hostFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string deviceFile(const std::string& path)
{
    return hostFile(FakeDeviceFolder() + path);
}

class Toolkit : public testing::Test {
protected:
    void SetUp() override
    {
        g_lines.clear();
        g_percents.clear();
        std::filesystem::remove_all(HostDataFolder() + "/drive_c"); // each test on a bare machine
        m_previous = SetTraceSink(collectLine);
        m_payload = BuildZip({StoredItem("native/", {}), StoredItem("native/quibo.exe", pattern(100000)),
                              StoredItem("arm/quibo.exe", pattern(6000)), StoredItem("common/small.res", pattern(5120)),
                              StoredItem("common/large.res", pattern(5121)),
                              StoredItem("arm/uninstaller.dll", pattern(300))});
        m_archive = std::make_unique<ZIPFILE>(m_payload.data(), DWORD(m_payload.size()), false);
    }
    void TearDown() override { SetTraceSink(m_previous); }

    SETUPTOOLKIT handheld() { return SETUPTOOLKIT(nullptr, TARGET_HANDHELD, m_device.Connection()); }

    TraceSink m_previous = nullptr;
    Bytes m_payload;
    std::unique_ptr<ZIPFILE> m_archive;
    FakeDevice m_device;
};

int countLines(const std::string& text, const std::string& line)
{
    int n = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
        ++n;
    return n;
}

} // namespace

TEST_F(Toolkit, EntryNamesAreFoundWhateverTheirSeparatorsOrCase)
{
    SETUPTOOLKIT desktop(nullptr, TARGET_DESKTOP, nullptr);
    for (const char* name : {"native\\quibo.exe", "/native/quibo.exe", "\\NATIVE\\QUIBO.EXE", "native/Quibo.Exe"})
        EXPECT_TRUE(desktop.installfile("C:\\spell\\quibo.exe", m_archive.get(), name, -1, -1)) << name;

    SetLastError(0);
    EXPECT_FALSE(desktop.installfile("C:\\spell\\x.exe", m_archive.get(), "native\\missing.exe", -1, -1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(g_lines.back(), "setuplib: installfile failed to find native\\missing.exe");
    EXPECT_FALSE(desktop.finalize(m_archive.get(), "native\\uninstaller.dll", 95, 100));
    EXPECT_EQ(g_lines.back(), "setuplib: could not find native\\uninstaller.dll for finalize");
}

TEST_F(Toolkit, ProgressRunsThroughTheChunksOfAFile)
{
    SETUPTOOLKIT desktop(nullptr, TARGET_DESKTOP, nullptr);
    desktop.setcallback(collectPercent, 1008);
    ASSERT_TRUE(desktop.installfile("C:\\progress\\quibo.exe", m_archive.get(), "native\\quibo.exe", 5, 75));
    EXPECT_EQ(g_percents, (std::vector<int>{5, 27, 50, 73, 75}));
    const Bytes expected = pattern(100000);
    EXPECT_EQ(hostFile(HostDataFolder() + "/drive_c/progress/quibo.exe"), std::string(expected.begin(), expected.end()));
}

TEST_F(Toolkit, ProcessorArchitecturesChooseThePayloadFolder)
{
    const struct {
        WORD architecture;
        bool answers;
        const char* folder;
    } cases[] = {{1, true, "mips"},     {3, true, "ppc"},      {4, true, "shx"},
                 {5, true, "arm"},      {0, true, "unknown"},  {9, true, "unknown"},
                 {5, false, "unknown"}};
    for (const auto& c : cases) {
        m_device.architecture = c.architecture;
        m_device.answersSystemInfo = c.answers;
        EXPECT_EQ(handheld().getcpudir(), c.folder) << c.architecture;
    }
    EXPECT_EQ(SETUPTOOLKIT(nullptr, TARGET_DESKTOP, nullptr).getcpudir(), "native");
}

TEST_F(Toolkit, FoldersOfEachTarget)
{
    SETUPTOOLKIT device = handheld();
    EXPECT_EQ(device.getfolder(0), "\\");
    EXPECT_EQ(device.getfolder(1), "\\Program Files");
    EXPECT_EQ(device.getfolder(2), "\\Program Files\\Zelnor Software");
    EXPECT_EQ(device.getfolder(3), "\\Windows\\Start Menu\\Programs");
    EXPECT_EQ(device.getfolder(4), "\\Windows\\StartUp");
    EXPECT_EQ(device.getfolder(5), "");

    SETUPTOOLKIT desktop(nullptr, TARGET_DESKTOP, nullptr);
    EXPECT_EQ(desktop.getfolder(0), "C:\\");
    EXPECT_EQ(desktop.getfolder(1), "C:\\Program Files");
    EXPECT_EQ(desktop.getfolder(3), "C:\\Documents and Settings\\All Users\\Start Menu\\Programs");

    // The machine's own records win, and a top folder keeps no separator at its end.
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"PMail\\Attachments", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const std::u16string top = u"D:\\Apps\\";
    RegSetValueExW(key, u"TopDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(top.c_str()), DWORD((top.size() + 1) * 2));
    RegCloseKey(key);
    EXPECT_EQ(SETUPTOOLKIT(nullptr, TARGET_DESKTOP, nullptr).getfolder(2), "D:\\Apps\\Zelnor Software");
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"PMail\\Attachments");
}

TEST_F(Toolkit, FilesAboveFiveThousandOneHundredAndTwentyBytesTravelPacked)
{
    const struct {
        const char* entry;
        bool packed;
    } cases[] = {{"common\\small.res", false}, {"common\\large.res", true}};
    for (const auto& c : cases) {
        m_device.invoked.clear();
        SETUPTOOLKIT device = handheld();
        ASSERT_TRUE(device.installfile("\\Program Files\\Quibo\\file.res", m_archive.get(), c.entry, -1, -1));
        const bool unpacked = std::count(m_device.invoked.begin(), m_device.invoked.end(),
                                         "\\Program Files\\Zelnor Software\\zzrapi.dll|DecompressFile");
        EXPECT_EQ(unpacked, c.packed) << c.entry;
        const Bytes expected = pattern(c.packed ? 5121 : 5120);
        EXPECT_EQ(deviceFile("/Program Files/Quibo/file.res"), std::string(expected.begin(), expected.end()));
    }
    // Nothing temporary stays on the device.
    for (const auto& item : std::filesystem::directory_iterator(FakeDeviceFolder()))
        EXPECT_EQ(item.path().filename().string().find("This File Is Safe To Delete"), std::string::npos);
}

TEST_F(Toolkit, NoUnpackingLibraryMeansNoPacking)
{
    m_device.unpackerVersion.clear();
    SETUPTOOLKIT device = handheld();
    EXPECT_EQ(device.devicehelperversion(), 0);
    ASSERT_TRUE(device.installfile("\\Quibo\\file.res", m_archive.get(), "common\\large.res", -1, -1));
    EXPECT_EQ(m_device.invoked, (std::vector<std::string>{"\\Program Files\\Zelnor Software\\zzrapi.dll|GetZZRAPIVersion"}));
    EXPECT_EQ(SETUPTOOLKIT(nullptr, TARGET_DESKTOP, nullptr).devicehelperversion(), 0);
}

TEST_F(Toolkit, AFailedUnpackingIsSentAgainUnpackedAndPackingIsNotTriedAgain)
{
    m_device.unpackingFails = true;
    SETUPTOOLKIT device = handheld();
    device.setcallback(collectPercent, 0);
    ASSERT_TRUE(device.installfile("\\Quibo\\one.exe", m_archive.get(), "arm\\quibo.exe", 5, 75));
    ASSERT_TRUE(device.installfile("\\Quibo\\two.res", m_archive.get(), "common\\large.res", -1, -1));
    EXPECT_EQ(std::count(m_device.invoked.begin(), m_device.invoked.end(),
                         "\\Program Files\\Zelnor Software\\zzrapi.dll|DecompressFile"),
              1);
    EXPECT_EQ(device.devicehelperversion(), 0);
    const Bytes expected = pattern(6000);
    EXPECT_EQ(deviceFile("/Quibo/one.exe"), std::string(expected.begin(), expected.end()));
    EXPECT_EQ(g_percents.back(), 75);
    for (const auto& item : std::filesystem::directory_iterator(FakeDeviceFolder()))
        EXPECT_EQ(item.path().filename().string().find("This File Is Safe To Delete"), std::string::npos);
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
        EXPECT_FALSE(device.installfile("\\Program Files\\Quibo\\quibo.exe", m_archive.get(), "native\\quibo.exe", 5, 75));
        EXPECT_EQ(g_lines.back(), "setuplib: writefile failed to write \\Program Files\\Quibo\\quibo.exe");
        // A full device loses the half-written file; one that vanished may keep it, listed.
        if (!vanishes) {
            EXPECT_FALSE(std::filesystem::exists(FakeDeviceFolder() + "/Program Files/Quibo/quibo.exe"));
        }
        const std::string journal = deviceFile("/Program Files/Zelnor Software/Uninstall Log for Quibo.txt");
        EXPECT_EQ(countLines(journal, "deletefile { \"\\Program Files\\Quibo\\quibo.exe\" }\n"), 1) << vanishes;
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
        ASSERT_TRUE(desktop.installfile("C:\\Program Files\\Quibo\\quibo.exe", m_archive.get(), "native\\quibo.exe", -1, -1));
        ASSERT_TRUE(desktop.installfile("C:\\Program Files\\Quibo\\small.res", m_archive.get(), "common\\small.res", -1, -1));
        desktop.closejournal();
    }
    const std::string journal = hostFile(HostDataFolder() + "/drive_c/Program Files/Zelnor Software/Uninstall Log for Quibo.txt");
    for (const char* line : {"deletefile { \"C:\\Program Files\\Quibo\\quibo.exe\" }\n",
                             "deletefile { \"C:\\Program Files\\Quibo\\small.res\" }\n",
                             "deletedir { \"C:\\Program Files\\Quibo\" }\n", "deletekey { \"HKCU\\Software\" }\n",
                             "deleteval { \"HKCU\\Software\\Zelnor\\Quibo\" \"Settings\" }\n"})
        EXPECT_EQ(countLines(journal, line), 1) << line;
    // The shared folder holds every product's journal and the uninstaller, and the program
    // files folder was there first: neither is listed.
    EXPECT_EQ(journal.find("Zelnor Software\" }"), std::string::npos);
    EXPECT_EQ(countLines(journal, "deletedir { \"C:\\Program Files\" }\n"), 0);
}

TEST_F(Toolkit, ADamagedJournalIsNeitherReadNorReplaced)
{
    std::filesystem::create_directories(HostDataFolder() + "/drive_c/Program Files/Zelnor Software");
    const std::string path = HostDataFolder() + "/drive_c/Program Files/Zelnor Software/Uninstall Log for Quibo.txt";
    std::ofstream(path) << "deletefile { \"C:\\keep\" }\nwipe { \"C:\\\" }\n";
    SETUPTOOLKIT desktop(nullptr, TARGET_DESKTOP, nullptr);
    EXPECT_FALSE(desktop.openjournal("Quibo"));
    EXPECT_EQ(g_lines.back(), "setuplib: openjournal could not read C:\\Program Files\\Zelnor Software\\Uninstall Log "
                              "for Quibo.txt: line 2: unknown keyword \"wipe\"");
    desktop.savejournal();
    EXPECT_EQ(hostFile(path), "deletefile { \"C:\\keep\" }\nwipe { \"C:\\\" }\n");
}

TEST_F(Toolkit, AnInstalledNewerUninstallerIsKeptAndTheProductStillRegistered)
{
    const struct {
        const char16_t* installed;
        bool written;
    } cases[] = {{u"", true}, {u"1", true}, {u"2", false}};
    for (const auto& c : cases) {
        std::filesystem::remove_all(FakeDeviceFolder());
        m_device.uninstallerVersion = c.installed;
        SETUPTOOLKIT device = handheld();
        ASSERT_TRUE(device.openjournal("Quibo"));
        ASSERT_TRUE(device.finalize(m_archive.get(), "arm\\uninstaller.dll", 95, 100));
        EXPECT_EQ(std::filesystem::exists(FakeDeviceFolder() + "/Program Files/Zelnor Software/uninstaller.dll"),
                  c.written);
        HKEY key;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"FakeDevice\\HKLM\\Software\\Apps\\Quibo", 0, KEY_READ, &key),
                  ERROR_SUCCESS);
        WCHAR text[64] = {};
        DWORD cb = sizeof text, type = 0;
        EXPECT_EQ(RegQueryValueExW(key, u"IsvFile", nullptr, &type, reinterpret_cast<BYTE*>(text), &cb), ERROR_SUCCESS);
        EXPECT_EQ(std::u16string(text), u"\\Program Files\\Zelnor Software\\uninstaller.dll");
        DWORD number = 7;
        cb = sizeof number;
        EXPECT_EQ(RegQueryValueExW(key, u"Instl", nullptr, &type, reinterpret_cast<BYTE*>(&number), &cb), ERROR_SUCCESS);
        EXPECT_EQ(number, 1u);
        RegCloseKey(key);
        // The uninstaller is shared, so no product's journal lists it.
        const std::string journal = deviceFile("/Program Files/Zelnor Software/Uninstall Log for Quibo.txt");
        EXPECT_EQ(journal.find("uninstaller.dll"), std::string::npos);
    }
}

TEST_F(Toolkit, TheLanguageChoiceIsCopiedToTheHandheldAndJournalled)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    for (const auto& [name, value] : {std::pair{u"Lang-Quibo", u"EO"}, std::pair{u"Opt-Quibo", u"EN,EO"}})
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       DWORD((std::u16string_view(value).size() + 1) * 2));
    RegCloseKey(key);

    SETUPTOOLKIT device = handheld();
    ASSERT_TRUE(device.openjournal("Quibo"));
    ASSERT_TRUE(device.copylanguage("Quibo"));
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"FakeDevice\\HKLM\\SOFTWARE\\Zelnor\\NLS", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    WCHAR text[16] = {};
    DWORD cb = sizeof text, type = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Lang-Quibo", nullptr, &type, reinterpret_cast<BYTE*>(text), &cb), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(text), u"EO");
    RegCloseKey(key);
    const std::vector<JOURNALENTRY> expected = {
        {JOURNAL_DELETEKEY, "HKLM\\SOFTWARE", ""},
        {JOURNAL_DELETEKEY, "HKLM\\SOFTWARE\\Zelnor", ""},
        {JOURNAL_DELETEKEY, "HKLM\\SOFTWARE\\Zelnor\\NLS", ""},
        {JOURNAL_DELETEVAL, "HKLM\\SOFTWARE\\Zelnor\\NLS", "Lang-Quibo"},
        {JOURNAL_DELETEVAL, "HKLM\\SOFTWARE\\Zelnor\\NLS", "Opt-Quibo"},
    };
    EXPECT_EQ(device.journal(), expected);

    // Without a choice on the desktop there is nothing to copy.
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS");
    EXPECT_FALSE(handheld().copylanguage("Quibo"));
}

TEST_F(Toolkit, AHandheldShortcutQuotesItsTarget)
{
    SETUPTOOLKIT device = handheld();
    ASSERT_TRUE(device.openjournal("Quibo"));
    ASSERT_TRUE(device.linkfile("\\Windows\\Start Menu\\Programs\\Games\\Quibo.lnk", "\\Program Files\\Quibo\\quibo.exe"));
    EXPECT_EQ(m_device.shortcuts,
              (std::vector<std::string>{"\\Windows\\Start Menu\\Programs\\Games\\Quibo.lnk|\"\\Program Files\\Quibo\\quibo.exe\""}));
    EXPECT_EQ(device.journal().back(),
              (JOURNALENTRY{JOURNAL_DELETEFILE, "\\Windows\\Start Menu\\Programs\\Games\\Quibo.lnk", ""}));
}
