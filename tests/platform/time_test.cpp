#include "trace.h"

#include "windows.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>
#include <vector>

TEST(Clocks, TickCountCounterAndLocalTimeReadTheHostsClocksAndSleepLetsTimePass)
{
    using namespace std::chrono;
    const auto msNow = [] { return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count(); };
    LARGE_INTEGER frequency, counter;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    const long long before = msNow();
    const DWORD ticks = GetTickCount();
    QueryPerformanceCounter(&counter);
    Sleep(30);
    const DWORD slept = GetTickCount() - ticks;
    const long long after = msNow();
    // The same clock, so both readings fall between the two around them, whatever the load.
    EXPECT_LE(DWORD(ticks - DWORD(before)), DWORD(after - before));
    const long long counterMs = counter.QuadPart / (frequency.QuadPart / 1000);
    EXPECT_GE(counterMs, before);
    EXPECT_LE(counterMs, after);
    EXPECT_GE(slept, 30u);

    SYSTEMTIME now;
    const time_t seconds = time(nullptr);
    GetLocalTime(&now);
    tm local;
    localtime_r(&seconds, &local);
    EXPECT_EQ(std::vector<int>({now.wYear, now.wMonth, now.wDayOfWeek}),
              std::vector<int>({local.tm_year + 1900, local.tm_mon + 1, local.tm_wday}));
}

TEST(Locale, TimeSeparatorComesFromTheUsersLocale)
{
    setenv("LC_ALL", "C", 1);
    WCHAR separator[8] = {};
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, nullptr, 0), 2);
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 8), 2);
    EXPECT_EQ(std::u16string(separator), u":");
    WCHAR tooSmall[1] = {u'x'};
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, tooSmall, 1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(tooSmall[0], u'x');
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, 0x1F, separator, 8), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
    unsetenv("LC_ALL");
}

namespace {
std::vector<std::string> g_traced;
} // namespace

TEST(DebugOutput, GoesThroughTheTraceCallOneLineEach)
{
    TraceSink previous = SetTraceSink([](const char* line) { g_traced.push_back(line); });
    OutputDebugStringA("setuplib: constructing library\n");
    OutputDebugStringW(u"rapi: \u0109\u011d\r\n");
    OutputDebugStringA(nullptr);
    SetTraceSink(previous);
    EXPECT_EQ(g_traced, (std::vector<std::string>{"setuplib: constructing library", "rapi: \u0109\u011d"}));
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
