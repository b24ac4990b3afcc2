// Per-thread message queues and the shared message clock.
#include "queue.h"

#include "hostevents.h"

#include <SDL.h>
#include <atomic>
#include <map>

namespace {

struct QueueTable {
    std::mutex lock;
    std::map<DWORD, std::shared_ptr<MessageQueue>> queues;
};

QueueTable& Queues()
{
    static QueueTable* table = new QueueTable; // outlives every thread's last look-up
    return *table;
}

// Removes the thread's queue when the thread ends.
struct QueueHolder {
    std::shared_ptr<MessageQueue> queue;
    ~QueueHolder()
    {
        if (!queue)
            return;
        QueueTable& table = Queues();
        std::lock_guard guard(table.lock);
        table.queues.erase(queue->thread);
    }
};

thread_local QueueHolder t_queue;

std::atomic<int64_t> g_cursor{0};

} // namespace

DWORD CurrentThreadId()
{
    return GetCurrentThreadId();
}

MessageQueue& CurrentQueue()
{
    if (!t_queue.queue) {
        auto queue = std::make_shared<MessageQueue>();
        queue->thread = CurrentThreadId();
        QueueTable& table = Queues();
        std::lock_guard guard(table.lock);
        table.queues[queue->thread] = queue;
        t_queue.queue = std::move(queue);
    }
    return *t_queue.queue;
}

std::shared_ptr<MessageQueue> QueueOfThread(DWORD thread)
{
    QueueTable& table = Queues();
    std::lock_guard guard(table.lock);
    const auto it = table.queues.find(thread);
    return it == table.queues.end() ? nullptr : it->second;
}

void Post(MessageQueue& queue, const MSG& msg)
{
    bool host;
    {
        std::lock_guard guard(queue.lock);
        queue.posted.push_back(msg);
        host = queue.hostEvents;
    }
    queue.changed.notify_all();
    if (host)
        WakeHostThread();
}

void ForgetWindow(MessageQueue& queue, HWND hwnd)
{
    std::lock_guard guard(queue.lock);
    std::erase_if(queue.posted, [&](const MSG& msg) { return msg.hwnd == hwnd; });
    std::erase_if(queue.timers, [&](const Timer& timer) { return timer.hwnd == hwnd; });
}

DWORD MessageTime()
{
    return GetTickCount();
}

void SetTrackedCursor(POINT screen)
{
    g_cursor = (static_cast<int64_t>(screen.x) << 32) | static_cast<uint32_t>(screen.y);
}

POINT TrackedCursor()
{
    const int64_t packed = g_cursor;
    return POINT{static_cast<LONG>(packed >> 32), static_cast<LONG>(static_cast<int32_t>(packed & 0xFFFFFFFF))};
}

DWORD PackedCursorPos()
{
    const POINT pt = TrackedCursor();
    return static_cast<DWORD>(MAKELONG(static_cast<SHORT>(pt.x), static_cast<SHORT>(pt.y)));
}

BOOL GetCursorPos(LPPOINT point)
{
    if (!point) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *point = TrackedCursor();
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    SetTrackedCursor(POINT{x, y});
    return TRUE;
}
