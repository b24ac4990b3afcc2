#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "hostfolders.h"
#include "rapi_bridge.h"
#include "trace.h"

namespace {

std::vector<std::string> g_lines;

void collect(const char* line)
{
    g_lines.push_back(line);
}

std::string programFolder()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

// Puts a built stand-in where a Windows path names it: C:\bridge\rapi.dll.
void placeLibrary(const std::string& built)
{
    const std::string folder = HostDataFolder() + "/drive_c/bridge";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(programFolder() + "/" + built, folder + "/rapi.dll",
                               std::filesystem::copy_options::overwrite_existing);
}

class Bridge : public testing::Test {
protected:
    void SetUp() override
    {
        g_lines.clear();
        m_previous = SetTraceSink(collect);
    }
    void TearDown() override { SetTraceSink(m_previous); }
    TraceSink m_previous = nullptr;
};

} // namespace

TEST_F(Bridge, NoLibraryGivesNoConnection)
{
    EXPECT_EQ(RapiConnectLibrary(u"C:\\bridge\\rapi.dll", 500), nullptr);
    const std::vector<std::string> expected = {"rapi: initializing...", "rapi: failed to load rapi.dll; error 126"};
    EXPECT_EQ(g_lines, expected);
}

TEST_F(Bridge, ALibraryLackingOneNameIsRefusedWhole)
{
    placeLibrary("libquibo_rapi_double_older.so");
    EXPECT_EQ(RapiConnectLibrary(u"C:\\bridge\\rapi.dll", 500), nullptr);
    const std::vector<std::string> expected = {"rapi: initializing...",
                                               "rapi: failed to find functions in rapi.dll; error 127",
                                               "rapi: uninitializing", "rapi: uninitialization complete"};
    EXPECT_EQ(g_lines, expected);
}

TEST_F(Bridge, AConnectionResolvesEveryNameInOrderAndForwardsCalls)
{
    placeLibrary("libquibo_rapi_double.so");
    setenv("QUIBO_TEST_RAPI_DELAY", "0", 1);
    RAPI* rapi = RapiConnectLibrary(u"C:\\bridge\\rapi.dll", 500);
    ASSERT_NE(rapi, nullptr);
    // Each slot holds the export of its own name: the order of the names is the fields'.
    EXPECT_EQ(reinterpret_cast<FARPROC>(rapi->pfnCeRapiInvoke), GetProcAddress(rapi->hModule, "CeRapiInvoke"));
    EXPECT_EQ(reinterpret_cast<FARPROC>(rapi->pfnCeRegSetValueEx), GetProcAddress(rapi->hModule, "CeRegSetValueEx"));
    EXPECT_EQ(reinterpret_cast<FARPROC>(rapi->pfnCeOidGetInfoEx), GetProcAddress(rapi->hModule, "CeOidGetInfoEx"));
    EXPECT_EQ(RapiCeGetLastError(rapi), 0u);
    RapiDisconnect(rapi);
    const std::vector<std::string> expected = {"rapi: initializing...", "rapi: calling CeRapiInitEx",
                                               "rapi: initialization succeeded", "rapi: uninitializing",
                                               "rapi: uninitialization complete"};
    EXPECT_EQ(g_lines, expected);
}

TEST_F(Bridge, ALateHandheldIsMissedAtFiveHundredAndFoundAtOneThousand)
{
    placeLibrary("libquibo_rapi_double.so");
    setenv("QUIBO_TEST_RAPI_DELAY", "700", 1);
    EXPECT_EQ(RapiConnectLibrary(u"C:\\bridge\\rapi.dll", 500), nullptr);
    EXPECT_EQ(g_lines[2], "rapi: CeRapiInitEx timed out");
    RAPI* rapi = RapiConnectLibrary(u"C:\\bridge\\rapi.dll", 1000);
    EXPECT_NE(rapi, nullptr);
    RapiDisconnect(rapi);
}
