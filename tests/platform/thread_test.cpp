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

TEST(Threads, RunWithTheirParameterTakeAPriorityInRangeSignalTheirEndAndOutliveTheirHandle)
{
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, runUntilGo, go, 0, &id);
    EXPECT_EQ(std::vector<DWORD>({DWORD(SetThreadPriority(thread, THREAD_PRIORITY_LOWEST)), DWORD(SetThreadPriority(thread, 7)),
                                  GetLastError(), WaitForSingleObject(thread, 0), DWORD(SetEvent(go)),
                                  WaitForSingleObject(thread, INFINITE), WaitForSingleObject(thread, 0), DWORD(g_threadId == id),
                                  DWORD(CloseHandle(thread)), DWORD(SetThreadPriority(thread, THREAD_PRIORITY_NORMAL)), GetLastError()}),
              std::vector<DWORD>({TRUE, FALSE, ERROR_INVALID_PARAMETER, WAIT_TIMEOUT, TRUE, WAIT_OBJECT_0, WAIT_OBJECT_0, 1, TRUE, FALSE,
                                  ERROR_INVALID_HANDLE})); // stays signalled until closed
    ResetEvent(go);
    g_ended = false;
    EXPECT_TRUE(CloseHandle(CreateThread(nullptr, 64 * 1024, runUntilGo, go, 0, nullptr)));
    SetEvent(go);
    while (!g_ended)
        std::this_thread::yield();
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    CloseHandle(go);
}
