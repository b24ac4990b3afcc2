// Message queues: posting, waking a waiting thread, sending across threads, timers, painting.
#include "blocked_thread.h"
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
    // The timer ids of the next count WM_TIMER messages, dispatching everything on the way;
    // every other message retrieved goes to `others`.
    std::vector<WPARAM> Ticks(size_t count, std::vector<MSG>* others = nullptr)
    {
        std::vector<WPARAM> ticks;
        MSG msg;
        while (ticks.size() < count && GetMessageW(&msg, nullptr, 0, 0)) {
            if (msg.message == WM_TIMER)
                ticks.push_back(msg.wParam);
            else if (others)
                others->push_back(msg);
            DispatchMessageW(&msg);
        }
        return ticks;
    }
    HWND hwnd = nullptr;
};

TEST_F(MessageTest, PostedMessagesComeInOrderFilteredAndQuitEndsTheLoop)
{
    PostMessageW(hwnd, WM_USER + 1, 1, 0);
    PostMessageW(hwnd, WM_USER + 5, 2, 0);
    PostMessageW(hwnd, WM_USER + 2, 3, 0);
    PostQuitMessage(7);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 1));
    ASSERT_TRUE(PeekMessageW(&msg, hwnd, WM_USER + 5, WM_USER + 5, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    std::vector<UINT> got;
    while (GetMessageW(&msg, nullptr, 0, 0))
        got.push_back(msg.message);
    EXPECT_EQ(got, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
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
    EXPECT_EQ(msg.message, UINT(WM_USER + 9));
    EXPECT_EQ(msg.hwnd, hwnd);
    EXPECT_EQ(got, 33u);
    EXPECT_EQ(result, 4);
    EXPECT_EQ(LogOf(WM_GETTEXTLENGTH).size(), 1u);
    EXPECT_FALSE(PostThreadMessageW(workerId, WM_APP, 1, 0)); // its queue went with it
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_THREAD_ID));

    // Posting from another thread wakes a GetMessage that is already asleep.
    std::thread poster([&] {
        AwaitBlocked(mainThread);
        PostMessageW(hwnd, WM_USER + 3, 3, 0);
    });
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    poster.join();
    EXPECT_EQ(msg.message, UINT(WM_USER + 3));
}

std::vector<UINT_PTR> g_procTicks;

void CALLBACK TimerProc(HWND, UINT msg, UINT_PTR id, DWORD)
{
    if (msg == WM_TIMER)
        g_procTicks.push_back(id);
}

TEST_F(MessageTest, TimersFireInOrderAndStopWhenKilledOrTheirWindowIsGone)
{
    // Each period runs from when the last tick was taken: nine of every 100 ms before the first of
    // 1000 ms, allowing for a loaded machine.
    ASSERT_EQ(SetTimer(hwnd, 1, 100, nullptr), 1u);
    ASSERT_EQ(SetTimer(hwnd, 2, 1000, nullptr), 2u);
    std::vector<WPARAM> ticks = Ticks(1);
    while (ticks.back() == 1)
        ticks.push_back(Ticks(1)[0]);
    EXPECT_GE(ticks.size(), 8u);
    EXPECT_TRUE(KillTimer(hwnd, 1));
    EXPECT_FALSE(KillTimer(hwnd, 1));
    ASSERT_EQ(SetTimer(hwnd, 2, 30, nullptr), 2u); // replaces the slow one
    EXPECT_EQ(Ticks(2), (std::vector<WPARAM>{2, 2}));
    KillTimer(hwnd, 2);
    // A timer procedure is called by dispatch instead of the window's.
    g_procTicks.clear();
    ClearLog();
    const UINT_PTR id = SetTimer(nullptr, 0, 20, TimerProc);
    ASSERT_NE(id, 0u);
    Ticks(2);
    EXPECT_EQ(g_procTicks, (std::vector<UINT_PTR>{id, id}));
    EXPECT_TRUE(KillTimer(nullptr, id));
    EXPECT_TRUE(LogOf(WM_TIMER).empty());

    // Until a slower timer fires, nothing comes from the killed timers or a destroyed window.
    HWND other = Make(WS_POPUP, 0, 0, 10, 10);
    PostMessageW(other, WM_USER, 0, 0);
    SetTimer(other, 5, 10, nullptr);
    DestroyWindow(other);
    SetTimer(hwnd, 3, 100, nullptr);
    std::vector<MSG> others;
    EXPECT_EQ(Ticks(1, &others), std::vector<WPARAM>{3});
    EXPECT_TRUE(others.empty());
    EXPECT_EQ(g_procTicks.size(), 2u);
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
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        order.emplace_back(msg.hwnd, msg.message);
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{{hwnd, WM_USER}, {hwnd, WM_PAINT}, {child, WM_PAINT}}));
    RECT update;
    EXPECT_FALSE(GetUpdateRect(child, &update, FALSE));
    InvalidateRect(child, nullptr, FALSE);
    ValidateRect(child, nullptr);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    InvalidateRect(child, nullptr, FALSE);
    UpdateWindow(hwnd);
    EXPECT_EQ(LogOf(WM_PAINT).size(), 3u);
}

} // namespace
