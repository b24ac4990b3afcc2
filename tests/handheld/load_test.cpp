// librapi as the installer uses it: loaded for a connection and unloaded after. This program
// does not link it, so FreeLibrary really unloads it, and the leak checker sees what is left.
#include "device_support.h"

#include "rapi.h"

#include <gtest/gtest.h>

// What librapi borrows from the program that loads it, kept in this program as the installer
// keeps it: a new borrowing that the installer does not provide fails this test.
[[gnu::used]] const FARPROC kBorrowed[] = {
    reinterpret_cast<FARPROC>(&CreateEventW), reinterpret_cast<FARPROC>(&SetEvent),  reinterpret_cast<FARPROC>(&CloseHandle),
    reinterpret_cast<FARPROC>(&LocalAlloc),   reinterpret_cast<FARPROC>(&LocalFree), reinterpret_cast<FARPROC>(&SetLastError),
};

TEST(LibrapiModule, LoadsAndUnloadsAroundEachConnection)
{
    RunningDevice device;
    ASSERT_TRUE(device.started());
    for (int round = 0; round < 2; ++round) {
        HMODULE library = LoadLibraryW(u"rapi.dll");
        ASSERT_NE(library, nullptr);
        auto initEx = reinterpret_cast<HRESULT (*)(RAPIINIT*)>(GetProcAddress(library, "CeRapiInitEx"));
        auto uninit = reinterpret_cast<HRESULT (*)()>(GetProcAddress(library, "CeRapiUninit"));
        ASSERT_TRUE(initEx && uninit);
        RAPIINIT init{sizeof(RAPIINIT), nullptr, E_FAIL};
        ASSERT_EQ(initEx(&init), S_OK);
        EXPECT_EQ(WaitForSingleObject(init.heRapiInit, 5000), WAIT_OBJECT_0);
        EXPECT_EQ(init.hrRapiInit, S_OK);
        EXPECT_EQ(uninit(), S_OK);
        EXPECT_TRUE(FreeLibrary(library));
    }
}
