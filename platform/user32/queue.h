// Message queues: one per thread, made when the thread first needs one.
#pragma once

#include "../kernel32/clock.h"

#include "windows.h"

#include <array>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

using Clock = LayerClock;

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT interval = 0;
    TIMERPROC proc = nullptr;
    Clock::time_point due;
};

// A message sent from another thread: the sender waits until `done`.
struct SentMessage {
    MSG msg{};
    LRESULT result = 0;
    bool done = false;
};

struct MessageQueue {
    DWORD thread = 0;
    std::mutex lock;
    std::condition_variable changed;
    std::deque<MSG> posted; // posted messages and input, in arrival order
    std::deque<SentMessage*> sent;
    std::vector<Timer> timers;
    bool quit = false;
    int quitCode = 0;
    bool hostEvents = false; // this thread reads the host's input events
    // State of the message last read, for GetMessagePos, GetMessageTime and GetKeyState.
    DWORD lastPos = 0;
    DWORD lastTime = 0;
    std::array<BYTE, 256> keys{};
};

// The calling thread's queue, made on first use.
MessageQueue& CurrentQueue();
// The queue of a thread, or null when that thread has none.
std::shared_ptr<MessageQueue> QueueOfThread(DWORD thread);
DWORD CurrentThreadId();

// Adds a message and wakes the thread if it waits.
void Post(MessageQueue& queue, const MSG& msg);
// Drops what waits for a window that goes away.
void ForgetWindow(MessageQueue& queue, HWND hwnd);

// Milliseconds of the message clock, and the cursor packed as a message position.
DWORD MessageTime();
DWORD PackedCursorPos();
void SetTrackedCursor(POINT screen);
POINT TrackedCursor();
