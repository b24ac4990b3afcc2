// The setup library against a running quibo-handheld, through the real "rapi.dll": install
// as the installer does, read the journal back from the device, run the uninstaller there,
// and check that the device's folder and registry hold nothing of the product.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "child_process.h"
#include "rapi_bridge.h"
#include "sl_main.h"
#include "trace.h"
#include "unzipper.h"
#include "test_env.h"
#include "zip_builder.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> g_lines;

int runHandheld(const std::vector<std::string>& arguments)
{
    ChildProcess child("quibo-handheld", arguments);
    child.readAll();
    return child.wait();
}

// A simulated handheld in a fresh folder of the test's own, for the test's lifetime.
class RunningDevice {
public:
    explicit RunningDevice(const std::vector<std::string>& options)
    {
        static int count = 0;
        m_root = TestRoot() / ("device" + std::to_string(++count));
        std::vector<std::string> arguments{"start", "--root", m_root.string()};
        arguments.insert(arguments.end(), options.begin(), options.end());
        m_started = runHandheld(arguments) == 0;
    }
    ~RunningDevice()
    {
        if (m_started)
            runHandheld({"stop"});
    }
    bool started() const { return m_started; }
    const fs::path& root() const { return m_root; }

private:
    fs::path m_root;
    bool m_started = false;
};

void collect(const char* line)
{
    g_lines.push_back(line);
}

std::string programFolder()
{
    return fs::read_symlink("/proc/self/exe").parent_path().string();
}

Bytes fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string bytes = text.str();
    return Bytes(bytes.begin(), bytes.end());
}

Bytes pattern(size_t cb, int seed)
{
    Bytes bytes(cb);
    for (size_t i = 0; i < cb; ++i)
        bytes[i] = uint8_t((i / 97 + seed) & 0xFF);
    return bytes;
}

// The device's files, without its own registry store.
std::set<std::string> deviceFiles(const fs::path& root)
{
    std::set<std::string> files;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const std::string name = fs::relative(it->path(), root).string();
        if (name == ".quibo-handheld") {
            it.disable_recursion_pending();
            continue;
        }
        files.insert(name);
    }
    return files;
}

bool deviceKeyExists(RAPI* rapi, HKEY root, const char16_t* key)
{
    HKEY handle = nullptr;
    if (RapiCeRegOpenKeyEx(rapi, root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RapiCeRegCloseKey(rapi, handle);
    return true;
}

std::u16string deviceString(RAPI* rapi, HKEY root, const char16_t* key, const char16_t* name)
{
    HKEY handle = nullptr;
    if (RapiCeRegOpenKeyEx(rapi, root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return u"<no key>";
    WCHAR text[260] = {};
    DWORD type = 0, cb = sizeof text - 2;
    const LONG result = RapiCeRegQueryValueEx(rapi, handle, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &cb);
    RapiCeRegCloseKey(rapi, handle);
    return result == ERROR_SUCCESS ? std::u16string(text) : u"<no value>";
}

void setDesktopString(const char16_t* key, const char16_t* name, std::u16string_view text)
{
    HKEY handle;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()), DWORD((text.size() + 1) * 2));
    RegCloseKey(handle);
}

// The device-side unpacker, where the installer's helper set puts it.
void placeUnpacker(const fs::path& root)
{
    fs::create_directories(root / "Program Files/Zelnor Software");
    fs::copy_file(programFolder() + "/libzzrapi.so", root / "Program Files/Zelnor Software/zzrapi.dll",
                  fs::copy_options::overwrite_existing);
}

class HandheldRoundTrip : public testing::Test {
protected:
    void SetUp() override
    {
        g_lines.clear();
        m_previous = SetTraceSink(collect);
        m_payload = BuildZip({StoredItem("shx/quibo.exe", pattern(70000, 1)),
                              StoredItem("common/quibo-p-lo.res", pattern(9000, 2)),
                              StoredItem("shx/uninstaller.dll", fileBytes(programFolder() + "/libuninstaller.so"))});
        m_archive = std::make_unique<ZIPFILE>(m_payload.data(), DWORD(m_payload.size()), false);
    }
    void TearDown() override { SetTraceSink(m_previous); }

    TraceSink m_previous = nullptr;
    Bytes m_payload;
    std::unique_ptr<ZIPFILE> m_archive;
};

} // namespace

TEST_F(HandheldRoundTrip, InstallReadBackAndUninstallOnTheDevice)
{
    RunningDevice device({"--processor", "4"});
    ASSERT_TRUE(device.started());
    const fs::path root = device.root();
    placeUnpacker(root);
    const std::set<std::string> before = deviceFiles(root);
    setDesktopString(u"SOFTWARE\\Zelnor\\NLS", u"Lang-Quibo", u"EO");
    setDesktopString(u"SOFTWARE\\Zelnor\\NLS", u"Opt-Quibo", u"EN,EO");

    SETUPLIB library;
    SETUPTOOLKIT* handheld = library.handheld();
    ASSERT_NE(handheld, nullptr);
    RAPI* rapi = library.findhandheld(0);

    // As the installer installs a target.
    ASSERT_TRUE(handheld->openjournal("Quibo"));
    handheld->journalvalue(HKEY_CURRENT_USER, "Software\\Zelnor\\Quibo", "Settings");
    handheld->journalvalue(HKEY_CURRENT_USER, "Software\\Zelnor\\Quibo", "HighScores");
    ASSERT_TRUE(handheld->copylanguage("Quibo"));
    handheld->savejournal();
    ASSERT_EQ(handheld->getcpudir(), "shx");
    ASSERT_EQ(handheld->devicehelperversion(), 1);
    const std::string folder = std::string(handheld->getfolder(1).View()) + "\\Quibo";
    const std::string program = folder + "\\quibo.exe";
    ASSERT_TRUE(handheld->installfile(program.c_str(), m_archive.get(), "shx\\quibo.exe", 5, 90));
    ASSERT_TRUE(handheld->installfile((folder + "\\quibo-p-lo.res").c_str(), m_archive.get(), "common\\quibo-p-lo.res",
                                      90, 95));
    const std::string shortcut = std::string(handheld->getfolder(3).View()) + "\\Games\\Quibo.lnk";
    ASSERT_TRUE(handheld->linkfile(shortcut.c_str(), program.c_str()));
    ASSERT_TRUE(handheld->setregdword(HKEY_LOCAL_MACHINE, "Software\\Zelnor\\Quibo Device", "Runs", 3));
    ASSERT_TRUE(handheld->finalize(m_archive.get(), "shx\\uninstaller.dll", 95, 100));
    handheld->closejournal();

    // What is on the device now.
    EXPECT_EQ(fileBytes(root / "Program Files/Quibo/quibo.exe"), pattern(70000, 1)); // travelled packed
    EXPECT_EQ(fileBytes(root / "Program Files/Quibo/quibo-p-lo.res"), pattern(9000, 2));
    EXPECT_TRUE(fs::exists(root / "Windows/Start Menu/Programs/Games/Quibo.lnk"));
    EXPECT_EQ(deviceString(rapi, HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Lang-Quibo"), u"EO");
    EXPECT_EQ(deviceString(rapi, HKEY_LOCAL_MACHINE, u"Software\\Apps\\Quibo", u"IsvFile"),
              u"\\Program Files\\Zelnor Software\\uninstaller.dll");

    // The journal reads back from the device as it was kept.
    SETUPTOOLKIT again(nullptr, TARGET_HANDHELD, rapi);
    ASSERT_TRUE(again.openjournal("Quibo"));
    EXPECT_EQ(again.journal(), handheld->journal());
    EXPECT_GE(again.journal().size(), 10u);

    // The uninstaller runs on the device, against the device's folder and registry.
    const std::u16string product = u"Quibo";
    const DWORD cb = DWORD((product.size() + 1) * 2);
    BYTE* request = static_cast<BYTE*>(LocalAlloc(LPTR, cb));
    std::memcpy(request, product.c_str(), cb);
    DWORD cbReply = 0;
    BYTE* reply = nullptr;
    EXPECT_EQ(RapiCeRapiInvoke(rapi, u"\\Program Files\\Zelnor Software\\uninstaller.dll", u"Uninstall", cb, request,
                               &cbReply, &reply, nullptr, 0),
              S_OK)
        << (reply ? std::string(fs::path(std::u16string(reinterpret_cast<const char16_t*>(reply))).string()) : "");
    LocalFree(reply);

    std::set<std::string> after = deviceFiles(root);
    after.erase("Program Files/Zelnor Software/uninstaller.dll"); // shared by every product
    EXPECT_EQ(after, before);
    EXPECT_FALSE(deviceKeyExists(rapi, HKEY_LOCAL_MACHINE, u"Software\\Apps\\Quibo"));
    EXPECT_FALSE(deviceKeyExists(rapi, HKEY_LOCAL_MACHINE, u"Software\\Zelnor\\Quibo Device"));
    EXPECT_FALSE(deviceKeyExists(rapi, HKEY_CURRENT_USER, u"Software\\Zelnor\\Quibo"));
    EXPECT_FALSE(deviceKeyExists(rapi, HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS")); // held only our values
    // The desktop's own choice is the desktop's.
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(HandheldRoundTrip, AFullDeviceFailsTheFileAndKeepsTheJournalTrue)
{
    RunningDevice device({"--free", "40000"});
    ASSERT_TRUE(device.started());
    SETUPLIB library;
    SETUPTOOLKIT* handheld = library.handheld();
    ASSERT_NE(handheld, nullptr);
    ASSERT_TRUE(handheld->openjournal("Quibo"));
    EXPECT_FALSE(handheld->installfile("\\Program Files\\Quibo\\quibo.exe", m_archive.get(), "shx\\quibo.exe", 5, 90));
    EXPECT_NE(std::find(g_lines.begin(), g_lines.end(),
                        "setuplib: writefile failed to write \\Program Files\\Quibo\\quibo.exe"),
              g_lines.end());
    const fs::path root = device.root();
    EXPECT_FALSE(fs::exists(root / "Program Files/Quibo/quibo.exe"));
    SETUPTOOLKIT again(nullptr, TARGET_HANDHELD, library.findhandheld(0));
    ASSERT_TRUE(again.openjournal("Quibo"));
    EXPECT_EQ(again.journal().back(), (JOURNALENTRY{JOURNAL_DELETEFILE, "\\Program Files\\Quibo\\quibo.exe", ""}));
}

TEST_F(HandheldRoundTrip, NoHandheldRunningGivesTheDesktopOnly)
{
    SETUPLIB library;
    EXPECT_EQ(library.handheld(), nullptr);
    EXPECT_NE(library.desktop(), nullptr);
    EXPECT_EQ(g_lines.front(), "setuplib: constructing library");
    EXPECT_EQ(g_lines.back(), "setuplib: library constructed successfully");
}
