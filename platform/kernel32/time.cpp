#include "windows.h"

#include <cerrno>
#include <ctime>
#include <sched.h>

namespace {

// Windows machines commonly count at 10 MHz; the same rate keeps callers' arithmetic on raw
// counter values far from overflow.
constexpr LONGLONG kCounterFrequency = 10'000'000;

timespec now(clockid_t clock)
{
    timespec ts;
    clock_gettime(clock, &ts);
    return ts;
}

} // namespace

DWORD GetTickCount()
{
    const timespec ts = now(CLOCK_MONOTONIC);
    return static_cast<DWORD>(static_cast<uint64_t>(ts.tv_sec) * 1000 + static_cast<uint64_t>(ts.tv_nsec) / 1'000'000);
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    frequency->QuadPart = kCounterFrequency;
    return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count)
{
    const timespec ts = now(CLOCK_MONOTONIC);
    count->QuadPart = static_cast<LONGLONG>(ts.tv_sec) * kCounterFrequency + ts.tv_nsec / (1'000'000'000 / kCounterFrequency);
    return TRUE;
}

void GetLocalTime(LPSYSTEMTIME time)
{
    const timespec ts = now(CLOCK_REALTIME);
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
    timespec left{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1'000'000};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) { }
}
