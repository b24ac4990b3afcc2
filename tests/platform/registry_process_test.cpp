// The store shared between processes: killed writers, concurrent writers, damaged files.
#include "test_env.h"
#include "trace.h"

#include "hostfolders.h"
#include "windows.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Runs body in a forked child; its exit status is 0 when no expectation failed there.
pid_t startChild(const std::function<void()>& body)
{
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(testing::Test::HasFailure() ? 1 : 0);
    }
    return pid;
}

int waitChild(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, 0) == pid ? status : -1;
}

HKEY createKey(const char16_t* path, HKEY root = HKEY_CURRENT_USER)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, GENERIC_ALL, nullptr, &key, nullptr), ERROR_SUCCESS);
    return key;
}

// A record that proves itself whole: its serial number fixes its length and every byte.
std::vector<BYTE> record(uint32_t serial)
{
    std::vector<BYTE> bytes(4 + serial % 3000);
    std::memcpy(bytes.data(), &serial, 4);
    for (size_t i = 4; i < bytes.size(); ++i)
        bytes[i] = static_cast<BYTE>(serial * 31 + i);
    return bytes;
}

// The serial number of the whole record a value holds, or -1.
int64_t serialOf(HKEY key, const std::u16string& name)
{
    std::vector<BYTE> bytes(4096);
    DWORD size = static_cast<DWORD>(bytes.size());
    if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, bytes.data(), &size) != ERROR_SUCCESS || size < 4)
        return -1;
    bytes.resize(size);
    const uint32_t serial = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t(bytes[3]) << 24;
    return record(serial) == bytes ? serial : -1;
}

LONG write(HKEY key, const std::u16string& name, uint32_t serial)
{
    const std::vector<BYTE> bytes = record(serial);
    return RegSetValueExW(key, name.c_str(), 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

std::u16string valueName(int i, int writer = 0)
{
    return u"Value" + std::u16string{char16_t(u'0' + writer), char16_t(u'A' + i % 26), char16_t(u'a' + i / 26)};
}

std::string g_traced;

std::string contents(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// In a child with a data folder of its own: a store file holding `damage` is moved aside on
// the first registry call, which then works on a fresh store.
void expectMovedAside(const std::string& folder, const std::function<void(const std::string&)>& damage)
{
    const pid_t pid = startChild([&] {
        setenv("XDG_DATA_HOME", (TestRoot() / folder).c_str(), 1);
        const std::string store = HostDataFolder() + "/registry.db";
        damage(store);
        const std::string damaged = contents(store);
        SetTraceSink([](const char* line) { g_traced += line; });

        HKEY key = createKey(u"Software\\Zelnor\\Quibo");
        EXPECT_EQ((std::pair<LONG, int64_t>{write(key, u"Settings", 7), serialOf(key, u"Settings")}),
                  std::make_pair(LONG(ERROR_SUCCESS), int64_t(7)));

        std::vector<std::filesystem::path> aside;
        for (const auto& entry : std::filesystem::directory_iterator(HostDataFolder()))
            if (entry.path().filename().string().starts_with("registry.db.damaged-") && entry.path().extension() != ".db-wal")
                aside.push_back(entry.path());
        ASSERT_EQ(aside.size(), 1u);
        // Kept exactly as found, and the trace says where.
        EXPECT_TRUE(contents(aside[0]) == damaged && g_traced.find(aside[0].string()) != std::string::npos);
    });
    EXPECT_EQ(waitChild(pid), 0);
}

} // namespace

TEST(RegistryStore, KilledWriterLeavesEveryValueOldOrNew)
{
    HKEY key = createKey(u"Software\\Test\\Crash");
    constexpr int kValues = 8;
    for (int i = 0; i < kValues; ++i)
        ASSERT_EQ(write(key, valueName(i), i), ERROR_SUCCESS);

    for (int round = 0; round < 3; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t pid = startChild([&] {
            HKEY own = createKey(u"Software\\Test\\Crash");
            for (uint32_t serial = 1000;; ++serial) {
                if (write(own, valueName(serial % kValues), serial) != ERROR_SUCCESS)
                    _exit(2);
                if (serial == 1000 + kValues)
                    (void)!::write(ready[1], "x", 1);
            }
        });
        char go;
        ASSERT_EQ(::read(ready[0], &go, 1), 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + 15 * round));
        kill(pid, SIGKILL);
        close(ready[0]);
        close(ready[1]);
        ASSERT_TRUE(WIFSIGNALED(waitChild(pid)));

        for (int i = 0; i < kValues; ++i)
            EXPECT_GE(serialOf(key, valueName(i)), 0) << "value " << i << " after round " << round;
    }
    // The store is not left locked.
    EXPECT_EQ(write(key, u"After", 1), ERROR_SUCCESS);
    EXPECT_GE(serialOf(key, valueName(0)), 1000);
    RegCloseKey(key);
}

TEST(RegistryStore, TwoProcessesWriteOneKey)
{
    constexpr int kWrites = 60;
    std::vector<pid_t> children;
    for (int writer = 0; writer < 2; ++writer) {
        children.push_back(startChild([&] {
            HKEY key = createKey(u"Software\\Test\\Shared");
            for (int i = 0; i < kWrites; ++i) {
                const uint32_t serial = writer * 10000 + i;
                EXPECT_EQ(write(key, valueName(i, writer + 1), serial), ERROR_SUCCESS);
                EXPECT_EQ(write(key, u"Both", serial), ERROR_SUCCESS);
                RegCloseKey(createKey(u"Common\\Deeper", key));
            }
            RegCloseKey(key);
        }));
    }
    for (pid_t pid : children)
        EXPECT_EQ(waitChild(pid), 0);

    HKEY key = createKey(u"Software\\Test\\Shared");
    DWORD values = 0, subKeys = 0;
    EXPECT_EQ(std::vector<DWORD>({DWORD(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                                                         nullptr, nullptr, nullptr)),
                                  values, subKeys}),
              std::vector<DWORD>({ERROR_SUCCESS, 2 * kWrites + 1, 1}));
    const int64_t last = serialOf(key, u"Both");
    EXPECT_TRUE(last == kWrites - 1 || last == 10000 + kWrites - 1) << last;
    RegCloseKey(key);
}

TEST(RegistryStore, DamagedStoresAreMovedAside)
{
    const auto database = [](const std::string& store, const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(store.c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        sqlite3_close(db);
    };
    expectMovedAside("garbage", [](const std::string& store) { std::ofstream(store) << std::string(5000, 'Z') << "not a database"; });
    expectMovedAside("scribbled", [&](const std::string& store) {
        database(store, "PRAGMA page_size=1024; CREATE TABLE t(a, b); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                        "SELECT i + 1 FROM n WHERE i < 500) INSERT INTO t SELECT i, randomblob(100) FROM n;");
        std::fstream file(store, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(1024 + 16);
        file << std::string(3000, '\x5A');
    });
    expectMovedAside("truncated", [&](const std::string& store) {
        database(store, "CREATE TABLE t(a); INSERT INTO t VALUES (randomblob(20000));");
        std::filesystem::resize_file(store, 4096 + 100);
    });
}
