#include "hostclock.h"
#include "rapi_bridge.h"

#include "hostfolders.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// The stand-ins are put where a Windows path names them, C:\bridge\rapi.dll; the full one
// answers a connection QUIBO_TEST_RAPI_DELAY milliseconds of the manual clock after the wait began.
TEST(Bridge, ConnectsOnlyThroughAWholeLibraryThatAnswersInTime)
{
    const std::string folder = HostDataFolder() + "/drive_c/bridge";
    std::filesystem::create_directories(folder);
    SetManualHostClock(true);
    const struct {
        const char* library;
        const char* delay;
        DWORD timeout;
        bool connects;
    } cases[] = {
        {nullptr, "0", 500, false},
        {"libquibo_rapi_double_older.so", "0", 500, false},
        {"libquibo_rapi_double.so", "0", 500, true},
        {"libquibo_rapi_double.so", "700", 500, false},
        {"libquibo_rapi_double.so", "700", 1000, true},
    };
    for (const auto& c : cases) {
        if (c.library)
            std::filesystem::copy_file(std::filesystem::read_symlink("/proc/self/exe").parent_path() / c.library, folder + "/rapi.dll",
                                       std::filesystem::copy_options::overwrite_existing);
        setenv("QUIBO_TEST_RAPI_DELAY", c.delay, 1);
        RAPI* rapi = RapiConnectLibrary(u"C:\\bridge\\rapi.dll", c.timeout);
        EXPECT_EQ(rapi != nullptr, c.connects) << (c.library ? c.library : "none") << " after " << c.delay << " ms within " << c.timeout;
        if (!rapi)
            continue;
        // Each slot holds the export of its own name: the order of the names is the fields'.
        EXPECT_EQ(reinterpret_cast<FARPROC>(rapi->pfnCeRapiInvoke), GetProcAddress(rapi->hModule, "CeRapiInvoke"));
        EXPECT_EQ(reinterpret_cast<FARPROC>(rapi->pfnCeRegSetValueEx), GetProcAddress(rapi->hModule, "CeRegSetValueEx"));
        EXPECT_EQ(reinterpret_cast<FARPROC>(rapi->pfnCeOidGetInfoEx), GetProcAddress(rapi->hModule, "CeOidGetInfoEx"));
        EXPECT_EQ(RapiCeGetLastError(rapi), 0u);
        RapiDisconnect(rapi); // one that left the stand-in connected aborts its next connection
    }
    SetManualHostClock(false);
}
