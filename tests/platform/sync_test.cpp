#include "blocked_thread.h"

#include "windows.h"

#include <chrono>
#include <gtest/gtest.h>

namespace {

DWORD waitInOtherThread(HANDLE object, DWORD milliseconds)
{
    DWORD result = 0;
    std::thread([&] { result = WaitForSingleObject(object, milliseconds); }).join();
    return result;
}

} // namespace

TEST(Events, AutoResetLetsOneWaitThroughManualResetStaysSignalledAndWaitsTimeOutNoEarlier)
{
    for (BOOL manual : {FALSE, TRUE}) {
        HANDLE event = CreateEventW(nullptr, manual, manual, nullptr);
        EXPECT_EQ(WaitForSingleObject(event, 0), manual ? WAIT_OBJECT_0 : DWORD(WAIT_TIMEOUT));
        ASSERT_TRUE(SetEvent(event));
        EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
        EXPECT_EQ(WaitForSingleObject(event, 0), manual ? WAIT_OBJECT_0 : DWORD(WAIT_TIMEOUT));
        ASSERT_TRUE(ResetEvent(event));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(WaitForSingleObject(event, 40), DWORD(WAIT_TIMEOUT));
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
        EXPECT_TRUE(CloseHandle(event));
    }
    EXPECT_EQ(CreateEventW(nullptr, FALSE, FALSE, u"Shared"), nullptr); // nothing shares events between processes
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
}

TEST(Handles, BadClosedOrMismatchedHandlesFailAndClosingDoesNotPullTheObjectFromAWaiter)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr), mutex = CreateMutexW(nullptr, FALSE, nullptr);
    ASSERT_TRUE(CloseHandle(event));
    for (HANDLE bad : {event, HANDLE{}, INVALID_HANDLE_VALUE, reinterpret_cast<HANDLE>(0x12345), mutex}) {
        SetLastError(0);
        EXPECT_FALSE(SetEvent(bad)); // a mutex is not an event either
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_TRUE(bad == mutex || (!CloseHandle(bad) && WaitForSingleObject(bad, 0) == WAIT_FAILED));
    }
    EXPECT_FALSE(ReleaseMutex(event));
    CloseHandle(mutex);

    event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    DWORD result = 0;
    std::atomic<pid_t> waiterId{0};
    std::thread waiter([&] {
        waiterId = gettid();
        result = WaitForSingleObject(event, 300);
    });
    AwaitBlocked(waiterId);
    EXPECT_TRUE(CloseHandle(event));
    waiter.join();
    EXPECT_EQ(result, DWORD(WAIT_TIMEOUT));
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

TEST(Mutexes, AreOwnedRecursivelyByOneThreadAndShareANameWithinTheProcess)
{
    HANDLE mutex = CreateMutexW(nullptr, TRUE, u"Quibo Test Mutex");
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    HANDLE second = CreateMutexW(nullptr, TRUE, u"Quibo Test Mutex");
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0); // owner again through either handle: count 2
    BOOL otherRelease = TRUE;
    DWORD otherError = 0;
    std::thread([&] {
        otherRelease = ReleaseMutex(mutex);
        otherError = GetLastError();
    }).join();
    EXPECT_FALSE(otherRelease);
    EXPECT_EQ(otherError, DWORD(ERROR_NOT_OWNER));
    EXPECT_TRUE(ReleaseMutex(second));
    EXPECT_EQ(waitInOtherThread(mutex, 0), DWORD(WAIT_TIMEOUT)); // still held once

    DWORD otherWait = 0;
    std::atomic<pid_t> waiterId{0};
    std::thread waiter([&] {
        waiterId = gettid();
        otherWait = WaitForSingleObject(second, INFINITE);
        ReleaseMutex(second);
    });
    AwaitBlocked(waiterId);
    EXPECT_TRUE(ReleaseMutex(mutex));
    waiter.join();
    EXPECT_EQ(otherWait, WAIT_OBJECT_0);
    EXPECT_FALSE(ReleaseMutex(mutex)); // no longer the owner
    CloseHandle(mutex);
    CloseHandle(second);
    CloseHandle(CreateMutexW(nullptr, FALSE, u"Quibo Test Mutex"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS)); // gone with its last handle
}
