#include "child_process.h"
#include "wait_support.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace {

// Something to wait on: made unsignalled, and signalled by the time `signal` returns.
struct WaitCase {
    const char* kind;
    std::function<HANDLE()> make;
    std::function<void(HANDLE)> signal;
};

} // namespace

TEST(Waits, TimeOutExactlyAtTheirTimeAndTakeWhatIsSignalledBefore)
{
    ManualClock clock;
    HANDLE go = nullptr;
    std::optional<ChildProcess> holder;
    const WaitCase cases[] = {
        {"event", [] { return CreateEventW(nullptr, FALSE, FALSE, nullptr); }, SetEvent},
        {"mutex", [] { return CreateMutexW(nullptr, TRUE, nullptr); }, ReleaseMutex},
        {"thread",
         [&] {
             go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
             return CreateThread(
                 nullptr, 0, [](LPVOID event) { return WaitForSingleObject(event, INFINITE); }, go, 0, nullptr);
         },
         [&](HANDLE thread) {
             SetEvent(go);
             WaitForSingleObject(thread, INFINITE);
             CloseHandle(go);
         }},
        // Its initial owner is ignored, and its holder ends without releasing it.
        {"mutex another process holds",
         [&] {
             holder.emplace("mutex_helper", std::vector<std::string>{"Quibo Wait Mutex"});
             EXPECT_EQ(holder->readLine(), "existed=0 taken=1");
             return CreateMutexW(nullptr, TRUE, u"Quibo Wait Mutex");
         },
         [&](HANDLE) { holder.reset(); }},
    };
    for (const WaitCase& c : cases)
        for (DWORD signalledAt : {39u, 40u}) {
            SCOPED_TRACE(std::string(c.kind) + " signalled at " + std::to_string(signalledAt));
            HANDLE object = c.make();
            std::future<DWORD> wait = TimedWaitInOtherThread(object, 40);
            AdvanceHostClock(signalledAt);
            c.signal(object);
            AdvanceHostClock(1); // the wait has ended by then either way
            EXPECT_EQ(wait.get(), signalledAt < 40 ? WAIT_OBJECT_0 : DWORD(WAIT_TIMEOUT));
            CloseHandle(object);
        }
}

TEST(EventsAndHandles, AutoResetLetsOneWaitThroughManualStaysSignalledAndBadHandlesFailButClosingSparesAWaiter)
{
    for (DWORD manual : {FALSE, TRUE}) {
        HANDLE event = CreateEventW(nullptr, manual, manual, nullptr);
        const DWORD second = manual ? WAIT_OBJECT_0 : DWORD(WAIT_TIMEOUT);
        EXPECT_EQ(std::vector<DWORD>({WaitForSingleObject(event, 0), DWORD(SetEvent(event)), WaitForSingleObject(event, 0),
                                      WaitForSingleObject(event, 0), DWORD(ResetEvent(event)), WaitForSingleObject(event, 0),
                                      DWORD(CloseHandle(event))}),
                  std::vector<DWORD>({second, TRUE, WAIT_OBJECT_0, second, TRUE, WAIT_TIMEOUT, TRUE}));
    }
    // Nothing shares events between processes.
    EXPECT_EQ((std::pair<HANDLE, DWORD>{CreateEventW(nullptr, FALSE, FALSE, u"Shared"), GetLastError()}),
              std::make_pair(HANDLE(nullptr), DWORD(ERROR_NOT_SUPPORTED)));
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr), mutex = CreateMutexW(nullptr, FALSE, nullptr);
    ASSERT_TRUE(CloseHandle(event));
    for (HANDLE bad : {event, HANDLE{}, INVALID_HANDLE_VALUE, reinterpret_cast<HANDLE>(0x12345), mutex}) { // a mutex is not an event either
        SetLastError(0);
        EXPECT_EQ(std::vector<DWORD>({DWORD(SetEvent(bad)), GetLastError(),
                                      bad == mutex || (!CloseHandle(bad) && WaitForSingleObject(bad, 0) == WAIT_FAILED)}),
                  std::vector<DWORD>({FALSE, ERROR_INVALID_HANDLE, TRUE}));
    }
    EXPECT_FALSE(ReleaseMutex(event));
    CloseHandle(mutex);

    ManualClock clock;
    std::future<DWORD> wait = TimedWaitInOtherThread(event = CreateEventW(nullptr, FALSE, FALSE, nullptr), 300);
    EXPECT_TRUE(CloseHandle(event));
    AdvanceHostClock(300);
    EXPECT_EQ(wait.get(), DWORD(WAIT_TIMEOUT));
}

TEST(CriticalSections, AreRecursiveAndExcludeOtherThreads)
{
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    const auto otherGetsIn = [&] {
        return std::async(std::launch::async, [&] { return TryEnterCriticalSection(&section) && (LeaveCriticalSection(&section), true); })
            .get();
    };
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);
    LeaveCriticalSection(&section);
    EXPECT_EQ(std::vector<bool>({otherGetsIn(), (LeaveCriticalSection(&section), otherGetsIn())}), std::vector<bool>({false, true}));
    DeleteCriticalSection(&section);
}

TEST(Mutexes, AreOwnedRecursivelyByOneThreadAndSharedByNameWithinTheProcessAndWithOthers)
{
    auto elsewhere = [](auto call) { return std::async(std::launch::async, call).get(); };
    HANDLE mutex = CreateMutexW(nullptr, TRUE, u"Quibo Test Mutex"), second = nullptr;
    // Owner again through either handle, count 2; released once, still held.
    EXPECT_EQ(
        std::vector<DWORD>({GetLastError(), (second = CreateMutexW(nullptr, TRUE, u"Quibo Test Mutex"), GetLastError()),
                            WaitForSingleObject(second, 0), elsewhere([&] { return ReleaseMutex(mutex) ? DWORD(0) : GetLastError(); }),
                            DWORD(ReleaseMutex(second)), elsewhere([&] { return WaitForSingleObject(mutex, 0); })}),
        std::vector<DWORD>({ERROR_SUCCESS, ERROR_ALREADY_EXISTS, WAIT_OBJECT_0, ERROR_NOT_OWNER, TRUE, WAIT_TIMEOUT}));

    std::atomic<pid_t> waiterId{0};
    std::future<DWORD> otherWait = std::async(std::launch::async, [&] {
        waiterId = gettid();
        const DWORD result = WaitForSingleObject(second, INFINITE);
        ReleaseMutex(second);
        return result;
    });
    AwaitBlocked(waiterId);
    // Then no longer the owner.
    EXPECT_EQ(std::vector<DWORD>({DWORD(ReleaseMutex(mutex)), otherWait.get(), DWORD(ReleaseMutex(mutex))}),
              std::vector<DWORD>({TRUE, WAIT_OBJECT_0, FALSE}));
    CloseHandle(mutex);
    CloseHandle(second);
    CloseHandle(CreateMutexW(nullptr, FALSE, u"Quibo Test Mutex"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS)); // gone with its last handle
    const auto probe = [] { return ChildProcess("mutex_helper", {"Quibo/Probe \\ Mutex"}).readLine(); };
    EXPECT_EQ(probe(), "existed=0 taken=1"); // separators in the name do not become folders
    HANDLE named = CreateMutexW(nullptr, TRUE, u"Quibo/Probe \\ Mutex");
    EXPECT_EQ(probe(), "existed=1 taken=0");
    ASSERT_TRUE(ReleaseMutex(named));
    EXPECT_EQ(probe(), "existed=1 taken=1");
    CloseHandle(named);
    EXPECT_EQ(probe(), "existed=0 taken=1");

    const std::u16string overlong(300, u'\u0109');
    EXPECT_EQ(CreateMutexW(nullptr, FALSE, overlong.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILENAME_EXCED_RANGE));
}
