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
#include <iterator>
#include <thread>

namespace fs = std::filesystem;

namespace {

// The results of a sequence of calls, in order: a braced list evaluates left to right.
using Results = std::vector<int64_t>;

const char16_t kZzrapi[] = u"\\Program Files\\Zelnor Software\\zzrapi.dll";

std::string hostFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}

std::string packed(const std::string& bytes)
{
    BYTE* pb = nullptr;
    DWORD cb = 0;
    EXPECT_TRUE(ZZCompress(&pb, &cb, reinterpret_cast<const BYTE*>(bytes.data()), DWORD(bytes.size())));
    const std::string out(reinterpret_cast<const char*>(pb), cb);
    ZZFree(pb);
    return out;
}

// Writes a device file in one call; the last error of the device when it fails.
DWORD writeDeviceFile(const char16_t* path, const std::string& bytes)
{
    HANDLE file = CeCreateFile(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return CeGetLastError();
    DWORD written = 0;
    const DWORD error = CeWriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) ? ERROR_SUCCESS : CeGetLastError();
    CeCloseHandle(file);
    return error;
}

// Invokes an export of a device library with a request block as the installer sends it:
// `paths`, each ending in a zero, padded or cut to 1040 bytes.
HRESULT invoke(const char16_t* library, const char16_t* function, std::u16string paths = {})
{
    BYTE* block = paths.empty() ? nullptr : static_cast<BYTE*>(LocalAlloc(LPTR, 1040));
    paths.resize(520);
    if (block)
        std::memcpy(block, paths.data(), 1040);
    DWORD replySize = 0;
    BYTE* reply = nullptr;
    const HRESULT result = CeRapiInvoke(library, function, block ? 1040 : 0, block, &replySize, &reply, nullptr, 0);
    LocalFree(reply);
    return result;
}

// A device started with the options, this program's librapi connected to it.
struct Connected : RunningDevice {
    explicit Connected(const std::vector<std::string>& options = {}) : RunningDevice(options), connected(started() && ConnectRapi(5000)) { }
    ~Connected()
    {
        if (connected)
            DisconnectRapi();
    }
    void installZzrapi() const
    {
        fs::create_directories(root() + "/Program Files/Zelnor Software");
        fs::copy_file(TestProgramFolder() + "/libzzrapi.so", root() + "/Program Files/Zelnor Software/zzrapi.dll");
    }
    const bool connected;
};

} // namespace

TEST(Handheld, StatusAnswerDelayAndEndFollowTheDeviceAndItsClient)
{
    // Every name is exported (the installer refuses a library lacking one: its round trip
    // through this library shows that); the calls the device does not offer fail clearly.
    CE_FIND_DATA found;
    EXPECT_EQ((Results{CeFindFirstFile(u"\\*.*", &found) == INVALID_HANDLE_VALUE, CeGetLastError(), CeRapiGetError()}),
              (Results{true, ERROR_CALL_NOT_IMPLEMENTED, E_NOTIMPL}));
    // Without a device: no connection, and nothing to uninitialise.
    EXPECT_EQ((Results{ConnectRapi(200), CeGetFileAttributes(u"\\Windows"), CeGetLastError(), CeRapiUninit()}),
              (Results{false, INVALID_FILE_ATTRIBUTES, ERROR_NOT_CONNECTED, E_FAIL}));
    {
        RunningDevice device({"--answer-delay", "700"});
        ASSERT_TRUE(device.started());
        // One device per runtime folder; the delayed answer misses a short wait.
        EXPECT_EQ((std::tuple{device.status(), RunHandheld({"start", "--root", device.root()}) != 0, ConnectRapi(500), ConnectRapi(1000),
                              device.status()}),
                  (std::tuple{std::string("listening\n"), true, false, true, std::string("connected\n")}));
        DisconnectRapi();
        // The device notices the client is gone as soon as it reads its socket again.
        EXPECT_EQ(device.status("listening\n"), "listening\n");
    }
    // Stopping a stopped device is no error; a root that is a file, or below one, or none, is.
    const std::string file = (TestRoot() / "not-a-folder").string();
    std::ofstream(file) << "x";
    std::string output;
    EXPECT_EQ(
        (Results{RunHandheld({"stop"}), RunHandheld({"start", "--root", file}) != 0, RunHandheld({"start", "--root", file + "/below"}) != 0,
                 RunHandheld({"start"}) != 0, RunHandheld({"status"}, &output), output == "stopped\n"}),
        (Results{0, true, true, true, 0, true}));

    // A device whose socket is gone ends on its own: its lock is free again, a new device starts.
    RunningDevice orphan;
    fs::remove(TestRoot() / "runtime/quibo-handheld.sock");
    bool restarted = false;
    for (int i = 0; i < 50 && !restarted; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        restarted = RunHandheld({"start", "--root", orphan.root()}) == 0;
    }
    EXPECT_TRUE(orphan.started() && restarted);
}

TEST(Handheld, DescribesItselfAsConfiguredRunsProgramsAndKeepsFilesAndRegistryItsOwn)
{
    Connected c({"--processor", "4", "--screen", "480x640x8"});
    ASSERT_TRUE(c.connected);
    SYSTEM_INFO info;
    std::memset(&info, 0xFE, sizeof info);
    CeGetSystemInfo(&info);
    WCHAR programs[MAX_PATH], startup[MAX_PATH], tooShort[5]; // the short buffer is not overrun
    EXPECT_EQ((Results{info.wProcessorArchitecture, CeGetSystemMetrics(SM_CXSCREEN), CeGetSystemMetrics(SM_CYSCREEN),
                       CeGetDesktopDeviceCaps(BITSPIXEL), CeGetSpecialFolderPath(CSIDL_PROGRAMS, MAX_PATH, programs),
                       CeGetSpecialFolderPath(CSIDL_STARTUP, MAX_PATH, startup) > 0, CeGetSpecialFolderPath(CSIDL_STARTUP, 5, tooShort)}),
              (Results{PROCESSOR_ARCHITECTURE_SHX, 480, 640, 8, 28, true, 0}));
    EXPECT_EQ((std::tuple{std::u16string(programs) + u"|" + startup, fs::is_directory(c.root() + "/Windows/StartUp")}),
              (std::tuple{u"\\Windows\\Start Menu\\Programs|\\Windows\\StartUp", true}));

    fs::create_directories(c.root() + "/Program Files/Probe");
    const std::string probe = c.root() + "/Program Files/Probe/probe.exe";
    std::ofstream(probe) << "#!/bin/sh\necho \"$QUIBO_DEVICE_SCREEN $QUIBO_DEVICE_ROOT $XDG_DATA_HOME $(pwd)\"\n";
    fs::permissions(probe, fs::perms::owner_all);
    std::string output;
    EXPECT_EQ((std::tuple{RunHandheld({"run", "\\Program Files\\Probe\\probe.exe"}, &output), output,
                          RunHandheld({"run", "\\Program Files\\Probe\\missing.exe"}) != 0}),
              (std::tuple{0, "480x640x8 " + c.root() + " " + c.root() + "/.quibo-handheld " + c.root() + "/Program Files/Probe\n", true}));

    // Files, folders, shortcuts and the registry are the device's own, and no path leaves it.
    EXPECT_EQ((Results{CeGetFileAttributes(u"\\Program Files\\Quibo"), CeCreateDirectory(u"\\Program Files\\Quibo", nullptr),
                       CeGetFileAttributes(u"\\Program Files\\Quibo") & FILE_ATTRIBUTE_DIRECTORY}),
              (Results{INVALID_FILE_ATTRIBUTES, true, FILE_ATTRIBUTE_DIRECTORY}));

    // Larger than one message, so it travels in pieces both ways.
    const std::string bytes = pattern(700000);
    ASSERT_EQ(writeDeviceFile(u"\\Program Files\\Quibo\\quibo.exe", bytes), DWORD(ERROR_SUCCESS));
    const std::string host = c.root() + "/Program Files/Quibo/quibo.exe";
    EXPECT_EQ(hostFile(host), bytes);
    HANDLE file = CeCreateFile(u"\\program files\\quibo\\QUIBO.EXE", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string back(800000, '\0');
    DWORD got = 0, atEnd = 9;
    // Reading at the end gives nothing; a handle closes once.
    EXPECT_EQ((Results{CeGetFileSize(file, nullptr), CeReadFile(file, back.data(), DWORD(back.size()), &got, nullptr), got,
                       CeReadFile(file, back.data(), 8, &atEnd, nullptr), atEnd, CeSetFilePointer(file, 10, nullptr, FILE_BEGIN),
                       CeCloseHandle(file), CeCloseHandle(file)}),
              (Results{700000, true, 700000, true, 0, 10, true, false}));
    EXPECT_EQ(back.substr(0, got), bytes);

    WCHAR shortcut[] = u"\\Windows\\Start Menu\\Programs\\Quibo.lnk";
    WCHAR target[] = u"\"\\Program Files\\Quibo\\quibo.exe\"";
    WCHAR read[MAX_PATH];
    EXPECT_EQ((std::tuple{CeSHCreateShortcut(shortcut, target) != 0, CeSHGetShortcutTarget(shortcut, read, sizeof read) != 0,
                          hostFile(c.root() + "/Windows/Start Menu/Programs/Quibo.lnk"), std::u16string(read)}),
              (std::tuple{true, true, std::string("32#\"\\Program Files\\Quibo\\quibo.exe\""), std::u16string(target)}));

    // A file deletes once; the root stays.
    EXPECT_EQ(
        (Results{CeDeleteFile(u"\\Program Files\\Quibo\\quibo.exe"), fs::exists(host), CeDeleteFile(u"\\Program Files\\Quibo\\quibo.exe"),
                 CeGetLastError(), CeRemoveDirectory(u"\\Program Files\\Quibo"), CeRemoveDirectory(u"\\")}),
        (Results{true, false, false, ERROR_FILE_NOT_FOUND, true, false}));

    const fs::path outside = fs::path(c.root()).parent_path() / "outside";
    fs::create_directories(outside);
    std::ofstream(outside / "secret.txt") << "desktop";
    fs::create_directory_symlink(outside, c.root() + "/link");
    for (const char16_t* path : {u"\\..\\outside\\secret.txt", u"\\Windows\\..\\..\\outside\\secret.txt", u"\\link\\secret.txt",
                                 u"\\.quibo-handheld\\quibo\\registry.db", u"D:\\x"})
        EXPECT_EQ(
            (Results{CeGetFileAttributes(path), CeGetLastError(),
                     CeCreateFile(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr) == INVALID_HANDLE_VALUE, CeDeleteFile(path)}),
            (Results{INVALID_FILE_ATTRIBUTES, ERROR_ACCESS_DENIED, true, false}));
    EXPECT_EQ(hostFile((outside / "secret.txt").string()), "desktop");
    EXPECT_NE(invoke(u"\\..\\zzrapi.dll", u"GetZZRAPIVersion"), S_OK);
    EXPECT_NE(RunHandheld({"run", "\\..\\..\\bin\\sh"}), 0);

    HKEY key = nullptr;
    DWORD disposition = 0, type = 0, size = 0;
    const char16_t folder[] = u"Quibo";
    WCHAR text[8] = {};
    EXPECT_EQ((Results{CeRegCreateKeyEx(HKEY_LOCAL_MACHINE, u"Software\\Apps\\Quibo", 0, nullptr, 0, 0, nullptr, &key, &disposition),
                       disposition, CeRegSetValueEx(key, u"InstlDir", 0, REG_SZ, (LPBYTE)folder, sizeof folder), CeRegCloseKey(key),
                       CeRegOpenKeyEx(HKEY_LOCAL_MACHINE, u"SOFTWARE\\apps\\quibo", 0, KEY_READ, &key),
                       CeRegQueryValueEx(key, u"InstlDir", nullptr, &type, (LPBYTE)text, &size), size,
                       CeRegQueryValueEx(key, u"InstlDir", nullptr, &type, (LPBYTE)text, &size), type, CeRegDeleteValue(key, u"InstlDir"),
                       CeRegQueryValueEx(key, u"InstlDir", nullptr, &type, nullptr, &size), CeRegCloseKey(key), CeRegCloseKey(key)}),
              (Results{ERROR_SUCCESS, REG_CREATED_NEW_KEY, ERROR_SUCCESS, ERROR_SUCCESS, ERROR_SUCCESS, ERROR_MORE_DATA, sizeof folder,
                       ERROR_SUCCESS, REG_SZ, ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_SUCCESS, ERROR_INVALID_HANDLE}));
    EXPECT_EQ(std::u16string(text), u"Quibo");

    // Nothing of it reached this desktop's store, and the device's store is in its folder.
    EXPECT_EQ((Results{RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Apps\\Quibo", 0, KEY_READ, &key),
                       fs::exists(c.root() + "/.quibo-handheld/quibo/registry.db"),
                       CeRegDeleteKey(HKEY_LOCAL_MACHINE, u"Software\\Apps\\Quibo")}),
              (Results{ERROR_FILE_NOT_FOUND, true, ERROR_SUCCESS}));
}

TEST(Handheld, AFullOrVanishedDeviceFailsTheWriteAndSaysSo)
{
    Connected c({"--free", "10000"});
    ASSERT_TRUE(c.connected);
    STORE_INFORMATION before{}, after{};
    // Replacing a file gives its room back first; deleting one frees it.
    EXPECT_EQ((Results{CeGetStoreInformation(&before), before.dwFreeSize, writeDeviceFile(u"\\a.bin", pattern(8000)),
                       writeDeviceFile(u"\\b.bin", pattern(4000)), CeGetStoreInformation(&after), after.dwFreeSize,
                       writeDeviceFile(u"\\a.bin", pattern(9000)), CeDeleteFile(u"\\a.bin"), writeDeviceFile(u"\\b.bin", pattern(4000))}),
              (Results{true, 10000, ERROR_SUCCESS, ERROR_DISK_FULL, true, 2000, ERROR_SUCCESS, true, ERROR_SUCCESS}));

    // A device that goes away mid-file fails the write clearly.
    HANDLE file = CeCreateFile(u"\\game.res", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const std::string bytes = pattern(1000);
    DWORD written = 0;
    EXPECT_EQ((Results{CeWriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr), RunHandheld({"stop"}),
                       CeWriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr), written, CeRapiGetError(), CeGetLastError(),
                       CeRapiUninit(), c.status() == "stopped\n"}),
              (Results{true, 0, false, 0, HRESULT_FROM_WIN32(ERROR_BROKEN_PIPE), ERROR_NOT_CONNECTED, S_OK, true}));
}

TEST(Handheld, ZzrapiRefusesBadRequestsDamagedInputAndAFullDevice)
{
    // Room for the library itself (counted once the device looks again) and 30000 bytes.
    const uintmax_t library = fs::file_size(TestProgramFolder() + "/libzzrapi.so");
    Connected c({"--free", std::to_string(library + 30000)});
    ASSERT_TRUE(c.connected);
    c.installZzrapi();
    // A request whose second path is empty, one whose second path never ends inside the block,
    // one without paths, a missing export, a missing library; packed bytes cut in half, whose
    // temporary goes all the same; then 60000 bytes of zeros that pack small but do not fit
    // once unpacked.
    const std::u16string first = u"\\a.zz" + std::u16string(1, u'\0'), cut = u"\\cut.zz" + std::u16string(1, u'\0');
    const std::string zz = packed(pattern(20000));
    EXPECT_EQ((Results{invoke(kZzrapi, u"DecompressFile", first), invoke(kZzrapi, u"DecompressFile", first + std::u16string(600, u'x')),
                       invoke(kZzrapi, u"DecompressFile"), invoke(kZzrapi, u"NoSuchExport") != S_OK, CeGetLastError(),
                       invoke(u"\\Windows\\missing.dll", u"GetZZRAPIVersion") != S_OK,
                       writeDeviceFile(u"\\cut.zz", zz.substr(0, zz.size() / 2)), invoke(kZzrapi, u"DecompressFile", cut + u"\\cut.res"),
                       fs::exists(c.root() + "/cut.res") || fs::exists(c.root() + "/cut.zz"),
                       writeDeviceFile(u"\\t.zz", packed(std::string(60000, '\0'))),
                       invoke(kZzrapi, u"DecompressFile", u"\\t.zz" + std::u16string(1, u'\0') + u"\\zeros.bin"),
                       fs::exists(c.root() + "/zeros.bin")}),
              (Results{E_INVALIDARG, E_INVALIDARG, E_INVALIDARG, true, ERROR_PROC_NOT_FOUND, true, ERROR_SUCCESS,
                       HRESULT_FROM_WIN32(ERROR_INVALID_DATA), false, ERROR_SUCCESS, HRESULT_FROM_WIN32(ERROR_DISK_FULL), false}));
}
