#include "child_process.h"
#include "device_support.h"
#include "test_env.h"
#include "zz.h"

#include "rapi.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

const char16_t kZzrapi[] = u"\\Program Files\\Zelnor Software\\zzrapi.dll";

std::string readHostFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<uint8_t> pattern(size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = uint8_t(i * 7 + i / 251);
    return bytes;
}

std::vector<uint8_t> packed(const std::vector<uint8_t>& bytes)
{
    BYTE* pb = nullptr;
    DWORD cb = 0;
    EXPECT_TRUE(ZZCompress(&pb, &cb, bytes.data(), DWORD(bytes.size())));
    const std::vector<uint8_t> out(pb, pb + cb);
    ZZFree(pb);
    return out;
}

// Writes a device file in one call; the last error of the device when it fails.
DWORD writeDeviceFile(const char16_t* path, const std::vector<uint8_t>& bytes)
{
    HANDLE file = CeCreateFile(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return CeGetLastError();
    DWORD written = 0;
    const BOOL ok = CeWriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    const DWORD error = ok ? ERROR_SUCCESS : CeGetLastError();
    CeCloseHandle(file);
    return error;
}

// Invokes an export of a device library with a request block of `paths` built as the
// installer does.
HRESULT invoke(const char16_t* library, const char16_t* function, const std::vector<std::u16string>& paths,
               std::u16string* replyText = nullptr)
{
    const DWORD blockSize = 1040;
    BYTE* block = paths.empty() ? nullptr : static_cast<BYTE*>(LocalAlloc(LPTR, blockSize));
    DWORD size = 0;
    for (const std::u16string& path : paths) {
        const DWORD bytes = DWORD((path.size() + 1) * sizeof(char16_t));
        if (size + bytes <= blockSize)
            std::memcpy(block + size, path.c_str(), bytes);
        size += bytes;
    }
    DWORD replySize = 0;
    BYTE* reply = nullptr;
    const HRESULT result = CeRapiInvoke(library, function, block ? blockSize : 0, block, &replySize, &reply, nullptr, 0);
    if (replyText && reply)
        *replyText = std::u16string(reinterpret_cast<const char16_t*>(reply), replySize / 2 - 1);
    LocalFree(reply);
    return result;
}

// A device started with the options, this program's librapi connected to it.
struct Connected {
    explicit Connected(const std::vector<std::string>& options = {}) : device(options)
    {
        connected = device.started() && ConnectRapi(5000);
    }
    ~Connected()
    {
        if (connected)
            DisconnectRapi();
    }
    std::string root() const { return device.root(); }
    void installZzrapi() const
    {
        fs::create_directories(root() + "/Program Files/Zelnor Software");
        fs::copy_file(TestProgramFolder() + "/libzzrapi.so", root() + "/Program Files/Zelnor Software/zzrapi.dll");
    }
    RunningDevice device;
    bool connected = false;
};

} // namespace

TEST(Handheld, StatusAndAnswerDelayFollowTheDeviceAndItsClient)
{
    // Every name is exported (the installer refuses a library lacking one: its round trip
    // through this library shows that); the calls the device does not offer fail clearly.
    CE_FIND_DATA found;
    SetLastError(0);
    EXPECT_EQ(CeFindFirstFile(u"\\*.*", &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CeGetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_EQ(CeRapiGetError(), E_NOTIMPL);
    EXPECT_EQ(CeRegEnumKeyEx(HKEY_LOCAL_MACHINE, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), ERROR_CALL_NOT_IMPLEMENTED);
    EXPECT_FALSE(ConnectRapi(200)) << "no device";
    EXPECT_EQ(CeGetFileAttributes(u"\\Windows"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(CeGetLastError(), DWORD(ERROR_NOT_CONNECTED));
    EXPECT_EQ(CeRapiUninit(), E_FAIL) << "nothing to uninitialise";
    std::string output;
    {
        RunningDevice device({"--answer-delay", "700"});
        ASSERT_TRUE(device.started());
        EXPECT_EQ(device.status(), "listening\n");
        EXPECT_NE(RunHandheld({"start", "--root", device.root()}), 0) << "one device per runtime folder";
        EXPECT_FALSE(ConnectRapi(500));
        ASSERT_TRUE(ConnectRapi(1000));
        EXPECT_EQ(device.status(), "connected\n");
        DisconnectRapi();
        // The device notices the client is gone as soon as it reads its socket again.
        std::string state = device.status();
        for (int i = 0; i < 100 && state != "listening\n"; ++i)
            state = device.status();
        EXPECT_EQ(state, "listening\n");
    }
    EXPECT_EQ(RunHandheld({"stop"}), 0) << "stopping a stopped device is no error";
    const std::string file = (TestRoot() / "not-a-folder").string();
    std::ofstream(file) << "x";
    for (const std::vector<std::string>& refused :
         {std::vector<std::string>{"start", "--root", file}, {"start", "--root", file + "/below"}, {"start"}})
        EXPECT_NE(RunHandheld(refused), 0) << refused.back();
    EXPECT_EQ(RunHandheld({"status"}, &output), 0);
    EXPECT_EQ(output, "stopped\n");
}

TEST(Handheld, DescribesItselfAsConfiguredAndRunsProgramsAsIfOnTheDevice)
{
    Connected c({"--processor", "4", "--screen", "480x640x8"});
    ASSERT_TRUE(c.connected);
    SYSTEM_INFO info;
    std::memset(&info, 0xFE, sizeof info);
    CeGetSystemInfo(&info);
    EXPECT_EQ(info.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_SHX);
    EXPECT_EQ(CeGetSystemMetrics(SM_CXSCREEN), 480);
    EXPECT_EQ(CeGetSystemMetrics(SM_CYSCREEN), 640);
    EXPECT_EQ(CeGetDesktopDeviceCaps(BITSPIXEL), 8);
    WCHAR folder[MAX_PATH];
    EXPECT_EQ(CeGetSpecialFolderPath(CSIDL_PROGRAMS, MAX_PATH, folder), 28u);
    EXPECT_EQ(std::u16string(folder), u"\\Windows\\Start Menu\\Programs");
    EXPECT_GT(CeGetSpecialFolderPath(CSIDL_STARTUP, MAX_PATH, folder), 0u);
    EXPECT_EQ(std::u16string(folder), u"\\Windows\\StartUp");
    EXPECT_EQ(CeGetSpecialFolderPath(CSIDL_STARTUP, 5, folder), 0u) << "a short buffer is not overrun";
    EXPECT_TRUE(fs::is_directory(c.root() + "/Windows/StartUp"));

    fs::create_directories(c.root() + "/Program Files/Probe");
    const std::string probe = c.root() + "/Program Files/Probe/probe.exe";
    std::ofstream(probe) << "#!/bin/sh\necho \"$QUIBO_DEVICE_SCREEN $QUIBO_DEVICE_ROOT $XDG_DATA_HOME $(pwd)\"\n";
    fs::permissions(probe, fs::perms::owner_all);
    std::string output;
    EXPECT_EQ(RunHandheld({"run", "\\Program Files\\Probe\\probe.exe"}, &output), 0);
    EXPECT_EQ(output, "480x640x8 " + c.root() + " " + c.root() + "/.quibo-handheld " + c.root() + "/Program Files/Probe\n");
    EXPECT_NE(RunHandheld({"run", "\\Program Files\\Probe\\missing.exe"}), 0);
}

TEST(Handheld, FilesFoldersAndShortcutsLandInTheDeviceFolderAndNoPathLeavesIt)
{
    Connected c;
    ASSERT_TRUE(c.connected);
    EXPECT_EQ(CeGetFileAttributes(u"\\Program Files\\Quibo"), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(CeCreateDirectory(u"\\Program Files\\Quibo", nullptr));
    EXPECT_NE(CeGetFileAttributes(u"\\Program Files\\Quibo") & FILE_ATTRIBUTE_DIRECTORY, 0u);

    // Larger than one message, so it travels in pieces both ways.
    const std::vector<uint8_t> bytes = pattern(700000);
    ASSERT_EQ(writeDeviceFile(u"\\Program Files\\Quibo\\quibo.exe", bytes), DWORD(ERROR_SUCCESS));
    const std::string host = c.root() + "/Program Files/Quibo/quibo.exe";
    EXPECT_EQ(readHostFile(host), std::string(bytes.begin(), bytes.end()));

    HANDLE file = CeCreateFile(u"\\program files\\quibo\\QUIBO.EXE", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CeGetFileSize(file, nullptr), 700000u);
    std::vector<uint8_t> back(800000);
    DWORD got = 0;
    EXPECT_TRUE(CeReadFile(file, back.data(), DWORD(back.size()), &got, nullptr));
    back.resize(got);
    EXPECT_EQ(back, bytes);
    EXPECT_TRUE(CeReadFile(file, back.data(), 8, &got, nullptr));
    EXPECT_EQ(got, 0u) << "reading at the end gives nothing";
    EXPECT_EQ(CeSetFilePointer(file, 10, nullptr, FILE_BEGIN), 10u);
    EXPECT_TRUE(CeCloseHandle(file));
    EXPECT_FALSE(CeCloseHandle(file)) << "a handle closes once";

    WCHAR shortcut[] = u"\\Windows\\Start Menu\\Programs\\Quibo.lnk";
    WCHAR target[] = u"\"\\Program Files\\Quibo\\quibo.exe\"";
    EXPECT_NE(CeSHCreateShortcut(shortcut, target), 0u);
    EXPECT_EQ(readHostFile(c.root() + "/Windows/Start Menu/Programs/Quibo.lnk"), "32#\"\\Program Files\\Quibo\\quibo.exe\"");
    WCHAR read[MAX_PATH];
    EXPECT_TRUE(CeSHGetShortcutTarget(shortcut, read, sizeof read));
    EXPECT_EQ(std::u16string(read), target);

    EXPECT_TRUE(CeDeleteFile(u"\\Program Files\\Quibo\\quibo.exe"));
    EXPECT_FALSE(fs::exists(host));
    EXPECT_FALSE(CeDeleteFile(u"\\Program Files\\Quibo\\quibo.exe"));
    EXPECT_EQ(CeGetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(CeRemoveDirectory(u"\\Program Files\\Quibo"));
    EXPECT_FALSE(CeRemoveDirectory(u"\\")) << "the root stays";

    const fs::path outside = fs::path(c.root()).parent_path() / "outside";
    fs::create_directories(outside);
    std::ofstream(outside / "secret.txt") << "desktop";
    fs::create_directory_symlink(outside, c.root() + "/link");

    for (const char16_t* path : {u"\\..\\outside\\secret.txt", u"\\Windows\\..\\..\\outside\\secret.txt", u"\\link\\secret.txt",
                                 u"\\.quibo-handheld\\quibo\\registry.db", u"D:\\x"}) {
        EXPECT_EQ(CeGetFileAttributes(path), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(CeGetLastError(), DWORD(ERROR_ACCESS_DENIED));
        EXPECT_EQ(CeCreateFile(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), INVALID_HANDLE_VALUE);
        EXPECT_FALSE(CeDeleteFile(path));
    }
    EXPECT_EQ(readHostFile((outside / "secret.txt").string()), "desktop");
    EXPECT_NE(invoke(u"\\..\\zzrapi.dll", u"GetZZRAPIVersion", {}), S_OK);
    EXPECT_NE(RunHandheld({"run", "\\..\\..\\bin\\sh"}), 0);
}

TEST(Handheld, AFullDeviceFailsTheWriteAndSaysSo)
{
    Connected c({"--free", "10000"});
    ASSERT_TRUE(c.connected);
    STORE_INFORMATION store{};
    ASSERT_TRUE(CeGetStoreInformation(&store));
    EXPECT_EQ(store.dwFreeSize, 10000u);

    EXPECT_EQ(writeDeviceFile(u"\\a.bin", pattern(8000)), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(writeDeviceFile(u"\\b.bin", pattern(4000)), DWORD(ERROR_DISK_FULL));
    ASSERT_TRUE(CeGetStoreInformation(&store));
    EXPECT_EQ(store.dwFreeSize, 2000u);
    // Replacing a file gives its room back first; deleting one frees it.
    EXPECT_EQ(writeDeviceFile(u"\\a.bin", pattern(9000)), DWORD(ERROR_SUCCESS));
    EXPECT_TRUE(CeDeleteFile(u"\\a.bin"));
    EXPECT_EQ(writeDeviceFile(u"\\b.bin", pattern(4000)), DWORD(ERROR_SUCCESS));
}

TEST(Handheld, RegistryIsTheDevicesOwnAlsoForInvokedLibraries)
{
    Connected c;
    ASSERT_TRUE(c.connected);
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(CeRegCreateKeyEx(HKEY_LOCAL_MACHINE, u"Software\\Apps\\Quibo", 0, nullptr, 0, 0, nullptr, &key, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    const char16_t folder[] = u"Quibo";
    EXPECT_EQ(CeRegSetValueEx(key, u"InstlDir", 0, REG_SZ, (LPBYTE)folder, sizeof folder), ERROR_SUCCESS);
    EXPECT_EQ(CeRegCloseKey(key), ERROR_SUCCESS);

    ASSERT_EQ(CeRegOpenKeyEx(HKEY_LOCAL_MACHINE, u"SOFTWARE\\apps\\quibo", 0, KEY_READ, &key), ERROR_SUCCESS);
    WCHAR text[8];
    DWORD type = 0, size = 0;
    EXPECT_EQ(CeRegQueryValueEx(key, u"InstlDir", nullptr, &type, (LPBYTE)text, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof folder);
    EXPECT_EQ(CeRegQueryValueEx(key, u"InstlDir", nullptr, &type, (LPBYTE)text, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(std::u16string(text), u"Quibo");
    EXPECT_EQ(CeRegDeleteValue(key, u"InstlDir"), ERROR_SUCCESS);
    EXPECT_EQ(CeRegQueryValueEx(key, u"InstlDir", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CeRegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(CeRegCloseKey(key), ERROR_INVALID_HANDLE);

    // Nothing of it reached this desktop's store, and the device's store is in its folder.
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Apps\\Quibo", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(fs::exists(c.root() + "/.quibo-handheld/quibo/registry.db"));
    EXPECT_EQ(CeRegDeleteKey(HKEY_LOCAL_MACHINE, u"Software\\Apps\\Quibo"), ERROR_SUCCESS);

    // A library invoked on the device works on the device's files and registry too.
    fs::copy_file(TestProgramFolder() + "/libdevice_probe.so", c.root() + "/Windows/probe.dll");
    EXPECT_EQ(invoke(u"\\Windows\\probe.dll", u"Probe", {}), S_OK);
    EXPECT_EQ(readHostFile(c.root() + "/Windows/probe.txt"), "probe");
    ASSERT_EQ(CeRegOpenKeyEx(HKEY_LOCAL_MACHINE, u"Software\\Probe", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD value = 0;
    size = 4;
    EXPECT_EQ(CeRegQueryValueEx(key, u"Ran", nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(value, 1u);
    CeRegCloseKey(key);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Probe", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(fs::exists("/Windows/probe.txt"));
}

TEST(Handheld, ZzrapiUnpacksOnTheDeviceAndNeverLeavesTheTemporary)
{
    Connected c;
    ASSERT_TRUE(c.connected);
    c.installZzrapi();
    std::u16string version;
    EXPECT_EQ(invoke(kZzrapi, u"GetZZRAPIVersion", {}, &version), S_OK);
    EXPECT_EQ(version, u"1");

    const std::vector<uint8_t> bytes = pattern(100000);
    const std::vector<uint8_t> zz = packed(bytes);
    std::vector<uint8_t> damaged = zz;
    damaged.resize(damaged.size() / 2);
    const std::u16string temporary = u"\\This File Is Safe To Delete (#1234)";
    ASSERT_TRUE(CeCreateDirectory(u"\\Program Files\\Quibo", nullptr));
    for (const auto& [transfer, target, unpacks] : {std::tuple{zz, "quibo-p-lo.res", true}, {damaged, "broken.res", false}}) {
        ASSERT_EQ(writeDeviceFile(temporary.c_str(), transfer), DWORD(ERROR_SUCCESS));
        const std::u16string file = u"\\Program Files\\Quibo\\" + fs::path(target).u16string();
        EXPECT_EQ(invoke(kZzrapi, u"DecompressFile", {temporary, file}) == S_OK, unpacks) << target;
        EXPECT_EQ(readHostFile(c.root() + "/Program Files/Quibo/" + target), unpacks ? std::string(bytes.begin(), bytes.end()) : "");
        EXPECT_FALSE(fs::exists(c.root() + "/This File Is Safe To Delete (#1234)")) << target;
    }
}

TEST(Handheld, ZzrapiRefusesBadRequestsAndAFullDevice)
{
    // Room for the library itself (counted once the device looks again) and 30000 bytes.
    const uintmax_t library = fs::file_size(TestProgramFolder() + "/libzzrapi.so");
    Connected c({"--free", std::to_string(library + 30000)});
    ASSERT_TRUE(c.connected);
    c.installZzrapi();
    // The request's second path never ends inside the block.
    EXPECT_EQ(invoke(kZzrapi, u"DecompressFile", {u"\\a.zz", std::u16string(600, u'x')}), E_INVALIDARG);
    EXPECT_EQ(invoke(kZzrapi, u"DecompressFile", {}), E_INVALIDARG);
    EXPECT_NE(invoke(kZzrapi, u"NoSuchExport", {}), S_OK);
    EXPECT_EQ(CeGetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    EXPECT_NE(invoke(u"\\Windows\\missing.dll", u"GetZZRAPIVersion", {}), S_OK);

    // 60000 bytes of zeros pack small but do not fit once unpacked.
    ASSERT_EQ(writeDeviceFile(u"\\t.zz", packed(std::vector<uint8_t>(60000, 0))), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(invoke(kZzrapi, u"DecompressFile", {u"\\t.zz", u"\\zeros.bin"}), HRESULT_FROM_WIN32(ERROR_DISK_FULL));
    EXPECT_FALSE(fs::exists(c.root() + "/zeros.bin"));
}

TEST(Handheld, ADeviceThatGoesAwayMidFileFailsTheWriteClearly)
{
    RunningDevice device;
    ASSERT_TRUE(device.started());
    ASSERT_TRUE(ConnectRapi(5000));
    HANDLE file = CeCreateFile(u"\\game.res", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::vector<uint8_t> bytes = pattern(32768);
    DWORD written = 0;
    EXPECT_TRUE(CeWriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr));
    ASSERT_EQ(RunHandheld({"stop"}), 0);
    EXPECT_FALSE(CeWriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(CeRapiGetError(), HRESULT_FROM_WIN32(ERROR_BROKEN_PIPE));
    EXPECT_EQ(CeGetLastError(), DWORD(ERROR_NOT_CONNECTED));
    EXPECT_EQ(CeRapiUninit(), S_OK);
    EXPECT_EQ(device.status(), "stopped\n");
}

TEST(Handheld, ADeviceWhoseSocketIsGoneEndsOnItsOwn)
{
    RunningDevice device;
    ASSERT_TRUE(device.started());
    fs::remove(TestRoot() / "runtime/quibo-handheld.sock");
    // Once it has gone, its lock is free again and a new device can start.
    bool restarted = false;
    for (int i = 0; i < 50 && !restarted; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        restarted = RunHandheld({"start", "--root", device.root()}) == 0;
    }
    EXPECT_TRUE(restarted);
}
