#include "windows.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

std::atomic<DWORD> g_threadId{0};
std::atomic<bool> g_ended{false};

DWORD WINAPI runUntilGo(LPVOID go)
{
    g_threadId = GetCurrentThreadId();
    WaitForSingleObject(go, INFINITE);
    g_ended = true;
    return 1234;
}

} // namespace

TEST(Threads, RunWithTheirParameterKeepTheirPriorityAndEndWithTheirExitCode)
{
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0, code = 0;
    HANDLE thread = CreateThread(nullptr, 0, runUntilGo, go, 0, &id);
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_NORMAL);
    for (int priority : {THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_LOWEST}) {
        EXPECT_TRUE(SetThreadPriority(thread, priority));
        EXPECT_EQ(GetThreadPriority(thread), priority);
    }
    EXPECT_FALSE(SetThreadPriority(thread, 7));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0); // stays signalled
    EXPECT_EQ(g_threadId, id);
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 1234u);
    CloseHandle(thread);
    EXPECT_FALSE(SetThreadPriority(thread, THREAD_PRIORITY_NORMAL));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    CloseHandle(go);
}

TEST(Threads, OutliveTheirClosedHandleAndRefuseWhatTheyCannotDo)
{
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_ended = false;
    HANDLE thread = CreateThread(nullptr, 64 * 1024, runUntilGo, go, 0, nullptr);
    EXPECT_TRUE(CloseHandle(thread));
    SetEvent(go);
    while (!g_ended)
        std::this_thread::yield();
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(CreateThread(nullptr, 0, runUntilGo, go, CREATE_SUSPENDED, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
    CloseHandle(go);
}
