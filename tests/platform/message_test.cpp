// Message queues: posting, waking a waiting thread, sending across threads, timers, painting.
#include "wait_support.h"
#include "window_support.h"

#include <gtest/gtest.h>

namespace {

class MessageTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        hwnd = Make(WS_POPUP, 0, 0, 100, 100);
        PumpReady();
        ClearLog();
    }
    // Dispatches every message that is ready and returns them.
    static std::vector<MSG> Drain()
    {
        std::vector<MSG> read;
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); DispatchMessageW(&msg))
            read.push_back(msg);
        return read;
    }
    // Moves the manual clock on and drains the queue: the wParam of each message, so the timer
    // ids when only timers fire.
    static std::vector<WPARAM> TicksAfter(DWORD milliseconds)
    {
        AdvanceHostClock(milliseconds);
        std::vector<WPARAM> ticks;
        for (const MSG& msg : Drain())
            ticks.push_back(msg.message == WM_TIMER ? msg.wParam : msg.message);
        return ticks;
    }
    HWND hwnd = nullptr;
};

TEST_F(MessageTest, PostedMessagesComeInOrderFilteredAndQuitEndsTheLoop)
{
    for (UINT message : {WM_USER + 1, WM_USER + 5, WM_USER + 2})
        PostMessageW(hwnd, message, message - WM_USER, 0);
    PostQuitMessage(7);
    MSG msg, first;
    ASSERT_TRUE(PeekMessageW(&first, nullptr, 0, 0, PM_NOREMOVE) && PeekMessageW(&msg, hwnd, WM_USER + 5, WM_USER + 5, PM_REMOVE));
    EXPECT_EQ(std::make_pair(first.message, msg.wParam), std::make_pair(UINT(WM_USER + 1), WPARAM(5)));
    std::vector<WPARAM> got;
    while (GetMessageW(&msg, nullptr, 0, 0))
        got.push_back(msg.wParam);
    EXPECT_EQ(got, (std::vector<WPARAM>{1, 2}));
    EXPECT_EQ(std::pair(msg.message, msg.wParam), std::pair(UINT(WM_QUIT), WPARAM(7)));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageTest, MessagesCrossThreadsAndWakeAWaitingGetMessage)
{
    std::atomic<pid_t> mainThread{gettid()};
    std::atomic<DWORD> workerId{0};
    std::atomic<WPARAM> got{0};
    std::atomic<LRESULT> result{0};
    std::thread worker([&] {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // makes the queue
        workerId = GetCurrentThreadId();
        if (GetMessageW(&msg, nullptr, 0, 0))
            got = msg.wParam;
        // A message sent to another thread's window runs there, once that thread looks at its queue.
        result = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
        PostMessageW(hwnd, WM_USER + 9, 9, 0);
    });
    SetWindowTextW(hwnd, u"four");
    while (!workerId)
        std::this_thread::yield();
    ASSERT_TRUE(PostThreadMessageW(workerId, WM_APP, 33, 0));
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    worker.join();
    EXPECT_EQ(std::tuple(msg.message, msg.hwnd, got.load(), result.load(), LogOf(WM_GETTEXTLENGTH).size()),
              std::tuple(UINT(WM_USER + 9), hwnd, WPARAM(33), LRESULT(4), size_t(1)));

    // Posting from another thread wakes a GetMessage that is already asleep.
    std::thread poster([&] {
        AwaitBlocked(mainThread);
        PostMessageW(hwnd, WM_USER + 3, 3, 0);
    });
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    poster.join();
    EXPECT_EQ(msg.message, UINT(WM_USER + 3));
}

using Ticks = std::vector<WPARAM>;

TEST_F(MessageTest, TimersFireWhenDueEarliestFirstAndStopWhenKilledOrTheirWindowIsGone)
{
    ManualClock clock;
    const DWORD start = GetTickCount();
    ASSERT_EQ(SetTimer(hwnd, 1, 30, nullptr), 1u);
    ASSERT_EQ(SetTimer(hwnd, 2, 75, nullptr), 2u);
    // Each period runs from when the last tick was taken, however late: the tick due at 60 is
    // taken at 75, so the next falls at 105 rather than 90.
    const std::pair<DWORD, Ticks> steps[] = {{29, {}}, {1, {1}}, {45, {1, 2}}, {15, {}}, {15, {1}}};
    for (const auto& [milliseconds, ticks] : steps)
        EXPECT_EQ(TicksAfter(milliseconds), ticks) << "at " << GetTickCount() - start;
    EXPECT_TRUE(KillTimer(hwnd, 1));
    EXPECT_FALSE(KillTimer(hwnd, 1));
    // Replaces the timer due at 150, and fires no faster than every 10 ms.
    ASSERT_EQ(SetTimer(hwnd, 2, 1, nullptr), 2u);
    EXPECT_EQ(TicksAfter(9), Ticks{});
    EXPECT_EQ(TicksAfter(1), Ticks{2});
    EXPECT_EQ(TicksAfter(40), Ticks{2});
    KillTimer(hwnd, 2);

    // Nothing comes from a destroyed window, its timers included.
    HWND other = Make(WS_POPUP, 0, 0, 10, 10);
    PostMessageW(other, WM_USER, 0, 0);
    SetTimer(other, 5, 10, nullptr);
    DestroyWindow(other);
    EXPECT_EQ(TicksAfter(20), Ticks{});

    // GetMessage sleeps until a timer falls due.
    ASSERT_EQ(SetTimer(hwnd, 3, 20, nullptr), 3u);
    std::atomic<pid_t> me{gettid()};
    std::thread mover([&] {
        AwaitBlocked(me);
        AdvanceHostClock(20);
    });
    MSG msg;
    EXPECT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    mover.join();
    EXPECT_EQ(std::make_tuple(msg.hwnd, msg.message, msg.wParam, msg.time), std::make_tuple(hwnd, UINT(WM_TIMER), WPARAM(3), start + 195));
}

TEST_F(MessageTest, PaintingComesWhenNothingElseWaitsParentsFirst)
{
    HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, hwnd);
    ShowWindow(hwnd, SW_SHOWNA);
    PumpReady();
    ClearLog();
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    RECT part{0, 0, 15, 15};
    InvalidateRect(hwnd, &part, TRUE);
    PostMessageW(hwnd, WM_USER, 0, 0);
    std::vector<std::pair<HWND, UINT>> order;
    for (const MSG& read : Drain())
        order.emplace_back(read.hwnd, read.message);
    EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{{hwnd, WM_USER}, {hwnd, WM_PAINT}, {child, WM_PAINT}}));
    InvalidateRect(child, nullptr, FALSE);
    UpdateWindow(hwnd);
    EXPECT_EQ(LogOf(WM_PAINT).size(), 3u);
}

} // namespace
