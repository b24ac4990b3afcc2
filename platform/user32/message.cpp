// Reading, posting, sending and dispatching messages.
#include "hostevents.h"
#include "paint.h"
#include "published.h"
#include "queue.h"
#include "window.h"

#include <algorithm>

namespace {

// Timers fire no faster than this, as on Win32.
constexpr UINT kMinimumInterval = 10;

bool MatchesFilter(const MSG& msg, HWND filter, UINT first, UINT last)
{
    if (first != 0 || last != 0)
        if (msg.message < first || msg.message > last)
            return false;
    if (filter == reinterpret_cast<HWND>(-1))
        return msg.hwnd == nullptr;
    return !filter || msg.hwnd == filter || IsChild(filter, msg.hwnd);
}

void RunSentMessages(MessageQueue& queue)
{
    for (;;) {
        SentMessage* sent;
        {
            std::lock_guard guard(queue.lock);
            if (queue.sent.empty())
                return;
            sent = queue.sent.front();
            queue.sent.pop_front();
        }
        const LRESULT result = CallProcedure(sent->msg.hwnd, sent->msg.message, sent->msg.wParam, sent->msg.lParam);
        {
            std::lock_guard guard(queue.lock);
            sent->result = result;
            sent->done = true;
        }
        queue.changed.notify_all();
    }
}

void NoteRead(MessageQueue& queue, const MSG& msg)
{
    queue.lastPos = static_cast<DWORD>(MAKELONG(static_cast<SHORT>(msg.pt.x), static_cast<SHORT>(msg.pt.y)));
    queue.lastTime = msg.time;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)
        queue.keys[msg.wParam & 0xFF] = 0x80;
    else if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP)
        queue.keys[msg.wParam & 0xFF] = 0;
    else if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
        queue.keys[VK_LBUTTON] = (msg.wParam & MK_LBUTTON) ? 0x80 : 0;
        queue.keys[VK_RBUTTON] = (msg.wParam & MK_RBUTTON) ? 0x80 : 0;
    }
}

MSG Make(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg{};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = MessageTime();
    msg.pt = TrackedCursor();
    return msg;
}

// One message if one is ready: posted and input first, then quit, painting and timers.
bool TakeReady(MessageQueue& queue, MSG* out, HWND filter, UINT first, UINT last, bool remove)
{
    std::lock_guard guard(queue.lock);
    const auto it
        = std::find_if(queue.posted.begin(), queue.posted.end(), [&](const MSG& m) { return MatchesFilter(m, filter, first, last); });
    if (it != queue.posted.end()) {
        *out = *it;
        if (remove)
            queue.posted.erase(it);
    } else if (queue.quit && MatchesFilter(Make(nullptr, WM_QUIT, 0, 0), filter, first, last)) {
        *out = Make(nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0);
        if (remove)
            queue.quit = false;
    } else if (HWND dirty = NextWindowToPaint(queue.thread, filter);
               dirty && MatchesFilter(Make(dirty, WM_PAINT, 0, 0), filter, first, last)) {
        *out = Make(dirty, WM_PAINT, 0, 0);
    } else {
        const Clock::time_point now = Clock::now();
        Timer* due = nullptr;
        for (Timer& timer : queue.timers)
            if (timer.due <= now && (!due || timer.due < due->due) && MatchesFilter(Make(timer.hwnd, WM_TIMER, 0, 0), filter, first, last))
                due = &timer;
        if (!due)
            return false;
        *out = Make(due->hwnd, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->proc));
        if (remove)
            due->due = now + std::chrono::milliseconds(due->interval);
    }
    if (remove)
        NoteRead(queue, *out);
    return true;
}

// How long the thread may sleep before a timer falls due; -1 for no timer.
int MillisecondsToNextTimer(MessageQueue& queue)
{
    std::lock_guard guard(queue.lock);
    if (queue.timers.empty())
        return -1;
    Clock::time_point next = queue.timers.front().due;
    for (const Timer& timer : queue.timers)
        next = std::min(next, timer.due);
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(WaitSlice(next)).count();
    return static_cast<int>(std::clamp<long long>(wait + 1, 0, 1 << 30));
}

void WaitForMore(MessageQueue& queue)
{
    const int timeout = MillisecondsToNextTimer(queue);
    if (queue.hostEvents) {
        PumpHostEvents(timeout);
        return;
    }
    std::unique_lock guard(queue.lock);
    const auto ready = [&] { return !queue.posted.empty() || !queue.sent.empty() || queue.quit; };
    if (timeout < 0)
        queue.changed.wait(guard, ready);
    else
        queue.changed.wait_for(guard, std::chrono::milliseconds(timeout), ready);
}

bool NextMessage(MSG* out, HWND filter, UINT first, UINT last, bool remove, bool wait)
{
    MessageQueue& queue = CurrentQueue();
    for (;;) {
        RunSentMessages(queue);
        if (queue.hostEvents)
            PumpHostEvents(0);
        if (TakeReady(queue, out, filter, first, last, remove))
            return true;
        if (!wait)
            return false;
        // What was drawn reaches the screen before the thread sleeps.
        FlushHostSurfaces();
        WaitForMore(queue);
    }
}

bool PostToWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD thread;
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return false;
        hwnd = window->handle;
        thread = window->thread;
    }
    std::shared_ptr<MessageQueue> queue = QueueOfThread(thread);
    if (!queue) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    Post(*queue, Make(hwnd, message, wParam, lParam));
    return true;
}

} // namespace

BOOL GetMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    NextMessage(msg, hwnd, filterMin, filterMax, true, true);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    MSG local;
    return NextMessage(msg ? msg : &local, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0, false);
}

BOOL WaitMessage()
{
    MSG msg;
    NextMessage(&msg, nullptr, 0, 0, false, true);
    return TRUE;
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || msg->message != WM_KEYDOWN)
        return FALSE;
    // Printable text arrives as WM_CHAR from the host's text input; the keys that make control
    // characters are translated here.
    WPARAM ch = 0;
    switch (msg->wParam) {
    case VK_RETURN: ch = 13; break;
    case VK_ESCAPE: ch = 27; break;
    case VK_BACK: ch = 8; break;
    case VK_TAB: ch = 9; break;
    default:
        if ((GetKeyState(VK_CONTROL) & 0x8000) && msg->wParam >= 'A' && msg->wParam <= 'Z')
            ch = msg->wParam - 'A' + 1;
    }
    if (!ch)
        return FALSE;
    MSG translated = *msg;
    translated.message = WM_CHAR;
    translated.wParam = ch;
    MessageQueue& queue = CurrentQueue();
    std::lock_guard guard(queue.lock);
    queue.posted.push_front(translated);
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg)
{
    if (!msg)
        return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, MessageTime());
        return 0;
    }
    if (!msg->hwnd)
        return 0;
    return CallProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!hwnd)
        return PostThreadMessageW(CurrentThreadId(), msg, wParam, lParam);
    if (!IsLocalHandle(hwnd))
        return PostToPublished(hwnd, msg, wParam, lParam) ? TRUE : FALSE;
    return PostToWindow(hwnd, msg, wParam, lParam) ? TRUE : FALSE;
}

BOOL PostThreadMessageW(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<MessageQueue> queue = QueueOfThread(threadId);
    if (!queue) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    Post(*queue, Make(nullptr, msg, wParam, lParam));
    return TRUE;
}

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DWORD thread;
    {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return 0;
        hwnd = window->handle;
        thread = window->thread;
    }
    if (thread == CurrentThreadId())
        return CallProcedure(hwnd, msg, wParam, lParam);
    std::shared_ptr<MessageQueue> queue = QueueOfThread(thread);
    if (!queue)
        return 0;
    SentMessage sent;
    sent.msg = Make(hwnd, msg, wParam, lParam);
    std::unique_lock guard(queue->lock);
    queue->sent.push_back(&sent);
    const bool host = queue->hostEvents;
    queue->changed.notify_all();
    if (host)
        WakeHostThread();
    queue->changed.wait(guard, [&] { return sent.done; });
    return sent.result;
}

void PostQuitMessage(int exitCode)
{
    MessageQueue& queue = CurrentQueue();
    std::lock_guard guard(queue.lock);
    queue.quit = true;
    queue.quitCode = exitCode;
}

DWORD GetMessagePos()
{
    return CurrentQueue().lastPos;
}

LONG GetMessageTime()
{
    return static_cast<LONG>(CurrentQueue().lastTime);
}

SHORT GetKeyState(int virtKey)
{
    if (virtKey < 0 || virtKey > 255)
        return 0;
    MessageQueue& queue = CurrentQueue();
    std::lock_guard guard(queue.lock);
    return static_cast<SHORT>(queue.keys[static_cast<size_t>(virtKey)] ? 0x8000 : 0);
}

SHORT GetAsyncKeyState(int virtKey)
{
    return GetKeyState(virtKey);
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR idEvent, UINT elapse, TIMERPROC timerFunc)
{
    DWORD thread = CurrentThreadId();
    if (hwnd) {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return 0;
        hwnd = window->handle;
        thread = window->thread;
    }
    std::shared_ptr<MessageQueue> queue = hwnd ? QueueOfThread(thread) : nullptr;
    MessageQueue& target = queue ? *queue : CurrentQueue();
    {
        std::lock_guard guard(target.lock);
        if (!hwnd) {
            // A timer without a window gets an id of its own.
            UINT_PTR id = 1;
            while (std::any_of(target.timers.begin(), target.timers.end(), [&](const Timer& t) { return !t.hwnd && t.id == id; }))
                ++id;
            idEvent = id;
        }
        std::erase_if(target.timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == idEvent; });
        Timer timer;
        timer.hwnd = hwnd;
        timer.id = idEvent;
        timer.interval = std::max(elapse, kMinimumInterval);
        timer.proc = timerFunc;
        timer.due = Clock::now() + std::chrono::milliseconds(timer.interval);
        target.timers.push_back(timer);
    }
    target.changed.notify_all();
    if (target.hostEvents && &target != &CurrentQueue())
        WakeHostThread();
    return idEvent ? idEvent : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR idEvent)
{
    DWORD thread = CurrentThreadId();
    if (hwnd) {
        UserGuard guard(UserLock());
        Window* window = FindWindowData(hwnd);
        if (!window)
            return FALSE;
        hwnd = window->handle;
        thread = window->thread;
    }
    std::shared_ptr<MessageQueue> queue = QueueOfThread(thread);
    if (!queue)
        return FALSE;
    std::lock_guard guard(queue->lock);
    const size_t removed = std::erase_if(queue->timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == idEvent; });
    return removed ? TRUE : FALSE;
}
