#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "trace.h"
#include "windows.h"

TEST(Clocks, TickCountAndCounterFollowRealTime)
{
    LARGE_INTEGER frequency, before, after;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    ASSERT_GT(frequency.QuadPart, 0);
    const DWORD ticks = GetTickCount();
    QueryPerformanceCounter(&before);
    Sleep(30);
    QueryPerformanceCounter(&after);
    const DWORD elapsedTicks = GetTickCount() - ticks;
    const LONGLONG elapsedCounter = (after.QuadPart - before.QuadPart) * 1000 / frequency.QuadPart;
    EXPECT_GE(elapsedTicks, 29u);
    EXPECT_LT(elapsedTicks, 2000u);
    EXPECT_GE(elapsedCounter, 30);
    EXPECT_LT(elapsedCounter, 2000);
}

TEST(Clocks, LocalTimeIsTheHostsLocalDate)
{
    SYSTEMTIME now;
    const time_t before = time(nullptr);
    GetLocalTime(&now);
    tm local;
    localtime_r(&before, &local);
    EXPECT_EQ(now.wYear, local.tm_year + 1900);
    EXPECT_EQ(now.wMonth, local.tm_mon + 1);
    EXPECT_GE(now.wDay, 1);
    EXPECT_LE(now.wDay, 31);
    EXPECT_LE(now.wDayOfWeek, 6);
    EXPECT_LE(now.wMilliseconds, 999);
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
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(tooSmall[0], u'x');
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, 0x1F, separator, 8), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
    unsetenv("LC_ALL");
}

namespace {
std::vector<std::string> g_traced;
void keepLine(const char* line)
{
    g_traced.push_back(line);
}
} // namespace

TEST(DebugOutput, GoesThroughTheTraceCallOneLineEach)
{
    g_traced.clear();
    TraceSink previous = SetTraceSink(keepLine);
    OutputDebugStringA("setuplib: constructing library\n");
    OutputDebugStringW(u"rapi: \u0109\u011d\r\n");
    OutputDebugStringA(nullptr);
    SetTraceSink(previous);
    ASSERT_EQ(g_traced.size(), 2u);
    EXPECT_EQ(g_traced[0], "setuplib: constructing library");
    EXPECT_EQ(g_traced[1], "rapi: \u0109\u011d");
}

TEST(LocalHeap, GivesFixedBlocksZeroedOnRequest)
{
    auto* block = static_cast<unsigned char*>(LocalAlloc(LPTR, 1040));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 1040; ++i)
        ASSERT_EQ(block[i], 0);
    EXPECT_EQ(LocalFree(block), nullptr);
    void* empty = LocalAlloc(LMEM_FIXED, 0);
    EXPECT_NE(empty, nullptr);
    LocalFree(empty);
    EXPECT_EQ(LocalAlloc(LMEM_MOVEABLE, 16), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}
