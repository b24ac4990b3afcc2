#include "windows.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

// Waits until the thread with the given id sleeps in the kernel, so a test knows it has
// entered a blocking wait however loaded the machine is.
void awaitBlocked(const std::atomic<pid_t>& tid)
{
    while (tid.load() == 0)
        std::this_thread::yield();
    const std::string path = "/proc/self/task/" + std::to_string(tid.load()) + "/stat";
    for (;;) {
        std::ifstream stat(path);
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const size_t close = text.rfind(')');
        if (close == std::string::npos || (close + 2 < text.size() && text[close + 2] == 'S'))
            return;
        std::this_thread::yield();
    }
}

DWORD waitInOtherThread(HANDLE object, DWORD milliseconds)
{
    DWORD result = 0;
    std::thread([&] { result = WaitForSingleObject(object, milliseconds); }).join();
    return result;
}

} // namespace

TEST(Events, AutoResetLetsOneWaitThroughAndManualResetStaysSignalled)
{
    for (BOOL manual : {FALSE, TRUE}) {
        HANDLE event = CreateEventW(nullptr, manual, manual, nullptr);
        ASSERT_NE(event, nullptr);
        EXPECT_EQ(WaitForSingleObject(event, 0), manual ? WAIT_OBJECT_0 : static_cast<DWORD>(WAIT_TIMEOUT));
        ASSERT_TRUE(SetEvent(event));
        EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
        EXPECT_EQ(WaitForSingleObject(event, 0), manual ? WAIT_OBJECT_0 : static_cast<DWORD>(WAIT_TIMEOUT));
        ASSERT_TRUE(ResetEvent(event));
        EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_TRUE(CloseHandle(event));
    }
    EXPECT_EQ(CreateEventW(nullptr, FALSE, FALSE, u"Shared"), nullptr); // nothing shares events between processes
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

TEST(Events, WaitTimesOutNoEarlierThanItsTime)
{
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 40), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
    CloseHandle(event);
}

TEST(Handles, BadClosedOrMismatchedHandlesFailWithoutHarm)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, nullptr);
    ASSERT_TRUE(CloseHandle(event));
    for (HANDLE bad : {event, static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE, reinterpret_cast<HANDLE>(0x12345)}) {
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(bad));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        EXPECT_EQ(WaitForSingleObject(bad, 0), WAIT_FAILED);
        EXPECT_FALSE(SetEvent(bad));
    }
    SetLastError(0);
    EXPECT_FALSE(SetEvent(mutex)); // a mutex is not an event
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(ReleaseMutex(event));
    CloseHandle(mutex);
}

TEST(Handles, ClosingAHandleDoesNotPullTheObjectFromUnderAWaiter)
{
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    DWORD result = 0;
    std::atomic<pid_t> waiterId{0};
    std::thread waiter([&] {
        waiterId = gettid();
        result = WaitForSingleObject(event, 300);
    });
    awaitBlocked(waiterId);
    EXPECT_TRUE(CloseHandle(event));
    waiter.join();
    EXPECT_EQ(result, static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(CriticalSections, AreRecursiveAndExcludeOtherThreads)
{
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    const auto otherGetsIn = [&] {
        BOOL in = FALSE;
        std::thread([&] {
            if ((in = TryEnterCriticalSection(&section)))
                LeaveCriticalSection(&section);
        }).join();
        return in;
    };
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);
    LeaveCriticalSection(&section);
    EXPECT_FALSE(otherGetsIn());
    LeaveCriticalSection(&section);
    EXPECT_TRUE(otherGetsIn());
    DeleteCriticalSection(&section);
}

TEST(Mutexes, AreOwnedRecursivelyByOneThread)
{
    HANDLE mutex = CreateMutexW(nullptr, TRUE, nullptr);
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0); // owner again: count 2
    BOOL otherRelease = TRUE;
    DWORD otherError = 0;
    std::thread([&] {
        otherRelease = ReleaseMutex(mutex);
        otherError = GetLastError();
    }).join();
    EXPECT_FALSE(otherRelease);
    EXPECT_EQ(otherError, static_cast<DWORD>(ERROR_NOT_OWNER));
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(waitInOtherThread(mutex, 0), static_cast<DWORD>(WAIT_TIMEOUT)); // still held once

    DWORD otherWait = 0;
    std::atomic<pid_t> waiterId{0};
    std::thread waiter([&] {
        waiterId = gettid();
        otherWait = WaitForSingleObject(mutex, INFINITE);
        ReleaseMutex(mutex);
    });
    awaitBlocked(waiterId);
    EXPECT_TRUE(ReleaseMutex(mutex));
    waiter.join();
    EXPECT_EQ(otherWait, WAIT_OBJECT_0);
    EXPECT_FALSE(ReleaseMutex(mutex)); // no longer the owner
    CloseHandle(mutex);
}

TEST(Mutexes, TheSameNameInOneProcessIsTheSameMutex)
{
    HANDLE first = CreateMutexW(nullptr, TRUE, u"Quibo Test Mutex");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE second = CreateMutexW(nullptr, TRUE, u"Quibo Test Mutex");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_NE(first, second);
    EXPECT_EQ(waitInOtherThread(second, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(ReleaseMutex(second)); // either handle releases it
    DWORD otherWait = 0;
    std::thread([&] {
        otherWait = WaitForSingleObject(second, 0);
        ReleaseMutex(second);
    }).join();
    EXPECT_EQ(otherWait, WAIT_OBJECT_0);
    CloseHandle(first);
    CloseHandle(second);
    HANDLE fresh = CreateMutexW(nullptr, FALSE, u"Quibo Test Mutex");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)); // gone with its last handle
    CloseHandle(fresh);
}
