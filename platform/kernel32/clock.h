// The layer's time: the host's monotonic clock, or the manual one tests drive (hostclock.h).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>

struct LayerClock {
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<LayerClock>;
    static constexpr bool is_steady = true;
    static time_point now();
};

// When a timed wait gives up; none for a wait without end.
using Deadline = std::optional<LayerClock::time_point>;

// How long a thread waiting for `until` blocks before it reads the clock again: all the way on
// the host's clock, at most a millisecond on the manual one, which another thread moves.
LayerClock::duration WaitSlice(LayerClock::time_point until);

// One thread's timed wait. On the manual clock the thread counts as a waiter meanwhile, and a
// move of the clock is complete only once it has read the new time through `passed`.
class ClockWatch {
public:
    explicit ClockWatch(LayerClock::time_point deadline);
    ~ClockWatch();
    ClockWatch(const ClockWatch&) = delete;
    ClockWatch& operator=(const ClockWatch&) = delete;
    bool passed();

private:
    LayerClock::time_point deadline_;
    bool counted_ = false;
    uint64_t movesSeen_ = 0;
};

// Waits on `changed` until `ready` holds or the deadline passes; what `ready` says at the end.
template<class Ready>
bool WaitUntil(std::condition_variable& changed, std::unique_lock<std::mutex>& guard, const Deadline& deadline, Ready ready)
{
    if (!deadline) {
        changed.wait(guard, ready);
        return true;
    }
    if (ready())
        return true;
    ClockWatch watch(*deadline); // only a thread that waits counts as a waiter
    do {
        if (watch.passed())
            return false;
        changed.wait_for(guard, WaitSlice(*deadline));
    } while (!ready());
    return true;
}
