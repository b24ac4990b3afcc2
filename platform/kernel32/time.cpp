#include "clock.h"
#include "hostclock.h"

#include "windows.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <ctime>
#include <mutex>
#include <sched.h>

namespace {

// Windows machines commonly count at 10 MHz; the same rate keeps callers' arithmetic on raw
// counter values far from overflow.
constexpr LONGLONG kCounterFrequency = 10'000'000;

// The manual clock, and the threads in timed waits that read it.
struct ManualClock {
    std::mutex lock;
    std::condition_variable seen;
    LayerClock::rep now = 0;
    uint64_t moves = 0;
    int waiters = 0;
    int behind = 0; // waiters that have not read the time since the last move
};

ManualClock& manualClock()
{
    static ManualClock* clock = new ManualClock; // read by threads that may outlive static destruction
    return *clock;
}

std::atomic<bool> g_manual{false};

void noteSeen(ManualClock& clock, uint64_t& movesSeen)
{
    if (movesSeen == clock.moves)
        return;
    movesSeen = clock.moves;
    if (--clock.behind == 0)
        clock.seen.notify_all();
}

} // namespace

LayerClock::time_point LayerClock::now()
{
    if (!g_manual)
        return time_point(std::chrono::steady_clock::now().time_since_epoch());
    ManualClock& clock = manualClock();
    std::lock_guard guard(clock.lock);
    return time_point(duration(clock.now));
}

LayerClock::duration WaitSlice(LayerClock::time_point until)
{
    const LayerClock::duration left = until - LayerClock::now();
    return g_manual ? std::min<LayerClock::duration>(left, std::chrono::milliseconds(1)) : left;
}

ClockWatch::ClockWatch(LayerClock::time_point deadline) : deadline_(deadline)
{
    if (!g_manual)
        return;
    ManualClock& clock = manualClock();
    std::lock_guard guard(clock.lock);
    ++clock.waiters;
    movesSeen_ = clock.moves;
    counted_ = true;
}

ClockWatch::~ClockWatch()
{
    if (!counted_)
        return;
    ManualClock& clock = manualClock();
    std::lock_guard guard(clock.lock);
    --clock.waiters;
    noteSeen(clock, movesSeen_); // no move waits for a thread that has stopped waiting
}

bool ClockWatch::passed()
{
    if (!counted_)
        return LayerClock::now() >= deadline_;
    ManualClock& clock = manualClock();
    std::lock_guard guard(clock.lock);
    noteSeen(clock, movesSeen_);
    return LayerClock::time_point(LayerClock::duration(clock.now)) >= deadline_;
}

void SetManualHostClock(bool manual)
{
    ManualClock& clock = manualClock();
    std::lock_guard guard(clock.lock);
    if (manual && !g_manual)
        clock.now = std::chrono::steady_clock::now().time_since_epoch().count(); // time goes on from where it was
    g_manual = manual;
}

void AdvanceHostClock(DWORD milliseconds)
{
    ManualClock& clock = manualClock();
    std::unique_lock guard(clock.lock);
    clock.now += LayerClock::duration(std::chrono::milliseconds(milliseconds)).count();
    ++clock.moves;
    clock.behind = clock.waiters;
    clock.seen.wait(guard, [&] { return clock.behind == 0; });
}

int HostClockWaiters()
{
    ManualClock& clock = manualClock();
    std::lock_guard guard(clock.lock);
    return clock.waiters;
}

DWORD GetTickCount()
{
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(LayerClock::now().time_since_epoch()).count());
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    frequency->QuadPart = kCounterFrequency;
    return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count)
{
    count->QuadPart = LayerClock::now().time_since_epoch().count() / (1'000'000'000 / kCounterFrequency);
    return TRUE;
}

void GetLocalTime(LPSYSTEMTIME time)
{
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local;
    localtime_r(&ts.tv_sec, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec); // no leap seconds in SYSTEMTIME
    time->wMilliseconds = static_cast<WORD>(ts.tv_nsec / 1'000'000);
}

void Sleep(DWORD milliseconds)
{
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    if (g_manual) {
        AdvanceHostClock(milliseconds);
        return;
    }
    timespec left{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1'000'000};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) { }
}
