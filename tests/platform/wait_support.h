// For tests of waits and timers: the manual clock, and knowing that a thread waits.
#pragma once

#include "hostclock.h"

#include "windows.h"

#include <atomic>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <thread>
#include <unistd.h>

// The manual clock for the life of the object.
struct ManualClock {
    ManualClock() { SetManualHostClock(true); }
    ~ManualClock() { SetManualHostClock(false); }
};

// WaitForSingleObject in another thread, handed back once that thread waits on the manual clock.
inline std::future<DWORD> TimedWaitInOtherThread(HANDLE object, DWORD milliseconds)
{
    const int waiters = HostClockWaiters();
    std::future<DWORD> result = std::async(std::launch::async, WaitForSingleObject, object, milliseconds);
    while (HostClockWaiters() == waiters && result.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        std::this_thread::yield();
    return result;
}

// Waits until a thread sleeps in the kernel, so a test knows it has entered a wait without end
// however loaded the machine is. tid is 0 until the thread stores its gettid().
inline void AwaitBlocked(const std::atomic<pid_t>& tid)
{
    while (tid.load() == 0)
        std::this_thread::yield();
    const std::string path = "/proc/self/task/" + std::to_string(tid.load()) + "/stat";
    for (;;) {
        std::ifstream stat(path);
        const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const size_t close = text.rfind(')');
        if (close == std::string::npos || (close + 2 < text.size() && text[close + 2] == 'S'))
            return;
        std::this_thread::yield();
    }
}
