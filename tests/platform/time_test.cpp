#include "trace.h"
#include "wait_support.h"

#include "windows.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>
#include <vector>

TEST(Clocks, ReadTheHostsClocksSleepLetsTimePassAndTheManualClockMovesOnlyWhenAdvancedOrSlept)
{
    using namespace std::chrono;
    const auto msNow = [] { return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count(); };
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    const long long before = msNow();
    const DWORD ticks = GetTickCount();
    QueryPerformanceCounter(&counter);
    Sleep(20);
    const DWORD slept = GetTickCount() - ticks;
    const long long after = msNow();
    // Readings of the host's clock fall between the two around them, whatever the load.
    EXPECT_LE(DWORD(ticks - DWORD(before)), DWORD(after - before));
    EXPECT_LE(uint64_t(counter.QuadPart / (frequency.QuadPart / 1000) - before), uint64_t(after - before));
    EXPECT_GE(slept, 20u);

    SYSTEMTIME now;
    const time_t seconds = time(nullptr);
    GetLocalTime(&now);
    tm local;
    localtime_r(&seconds, &local);
    EXPECT_EQ(std::vector<int>({now.wYear, now.wMonth, now.wDayOfWeek}),
              std::vector<int>({local.tm_year + 1900, local.tm_mon + 1, local.tm_wday}));

    const DWORD host = GetTickCount();
    ManualClock clock;
    LARGE_INTEGER counts[2];
    const DWORD start = GetTickCount();
    QueryPerformanceCounter(&counts[0]);
    Sleep(30); // at once
    AdvanceHostClock(12);
    QueryPerformanceCounter(&counts[1]);
    EXPECT_LE(start - host, 1000u);
    EXPECT_EQ(GetTickCount() - start, 42u);
    EXPECT_EQ((counts[1].QuadPart - counts[0].QuadPart) * 1000 / frequency.QuadPart, 42);
}

TEST(Locale, TimeSeparatorComesFromTheUsersLocale)
{
    setenv("LC_ALL", "C", 1);
    WCHAR separator[8] = {}, tooSmall[1] = {u'x'};
    EXPECT_EQ(std::vector<int>({GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, nullptr, 0),
                                GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 8), separator[0], separator[1],
                                GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, tooSmall, 1), int(GetLastError()), tooSmall[0],
                                GetLocaleInfoW(LOCALE_USER_DEFAULT, 0x1F, separator, 8), int(GetLastError())}),
              std::vector<int>({2, 2, u':', 0, 0, ERROR_INSUFFICIENT_BUFFER, u'x', 0, ERROR_INVALID_FLAGS}));
    unsetenv("LC_ALL");
}

TEST(LocalHeap, GivesFixedBlocksZeroedOnRequest)
{
    auto* block = static_cast<unsigned char*>(LocalAlloc(LPTR, 1040));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::count(block, block + 1040, 0), 1040);
    EXPECT_EQ(LocalFree(block), nullptr);
    LocalFree(LocalAlloc(LMEM_FIXED, 0));
    EXPECT_EQ(LocalAlloc(LMEM_MOVEABLE, 16), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}
