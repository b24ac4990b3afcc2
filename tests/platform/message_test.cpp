// Message queues: posting, waking a waiting thread, sending across threads, timers, painting.
#include "window_support.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

class MessageTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        hwnd = Make(WS_POPUP, 0, 0, 100, 100);
        ASSERT_TRUE(hwnd);
        PumpReady();
        ClearLog();
    }
    // The timer ids of the next count WM_TIMER messages, dispatching everything on the way.
    std::vector<WPARAM> Ticks(size_t count)
    {
        std::vector<WPARAM> ticks;
        MSG msg;
        while (ticks.size() < count && GetMessageW(&msg, nullptr, 0, 0)) {
            if (msg.message == WM_TIMER)
                ticks.push_back(msg.wParam);
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
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    ASSERT_TRUE(PeekMessageW(&msg, hwnd, WM_USER + 5, WM_USER + 5, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    std::vector<UINT> got;
    while (GetMessageW(&msg, nullptr, 0, 0))
        got.push_back(msg.message);
    EXPECT_EQ(got, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageTest, PostingFromAnotherThreadWakesAWaitingGetMessage)
{
    const auto start = std::chrono::steady_clock::now();
    std::thread poster([&] {
        std::this_thread::sleep_for(80ms);
        PostMessageW(hwnd, WM_USER + 9, 9, 0);
    });
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    poster.join();
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 9));
    EXPECT_EQ(msg.hwnd, hwnd);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 70ms);
}

TEST_F(MessageTest, ThreadMessagesAndSentMessagesCrossThreads)
{
    std::atomic<DWORD> workerId{0};
    std::atomic<WPARAM> got{0};
    std::atomic<LRESULT> result{0};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // makes the queue
        workerId = GetCurrentThreadId();
        if (GetMessageW(&msg, nullptr, 0, 0))
            got = msg.wParam;
        // A message sent to another thread's window runs there.
        result = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
        done = true;
    });
    SetWindowTextW(hwnd, u"four");
    while (!workerId)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(PostThreadMessageW(workerId, WM_APP, 33, 0));
    while (!done) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // handles sent messages
        std::this_thread::sleep_for(1ms);
    }
    worker.join();
    EXPECT_EQ(got, 33u);
    EXPECT_EQ(result, 4);
    EXPECT_EQ(LogOf(WM_GETTEXTLENGTH).size(), 1u);
    EXPECT_FALSE(PostThreadMessageW(workerId, WM_APP, 1, 0)); // its queue went with it
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_THREAD_ID));
}

std::vector<UINT_PTR> g_procTicks;

void CALLBACK TimerProc(HWND, UINT msg, UINT_PTR id, DWORD)
{
    if (msg == WM_TIMER)
        g_procTicks.push_back(id);
}

TEST_F(MessageTest, TimersFireInOrderAndStopWhenKilled)
{
    ASSERT_EQ(SetTimer(hwnd, 1, 30, nullptr), 1u);
    ASSERT_EQ(SetTimer(hwnd, 2, 75, nullptr), 2u);
    EXPECT_EQ(Ticks(4), (std::vector<WPARAM>{1, 1, 2, 1})); // 30, 60, 75, 90 ms
    EXPECT_TRUE(KillTimer(hwnd, 1));
    EXPECT_FALSE(KillTimer(hwnd, 1));
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
    std::this_thread::sleep_for(100ms);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
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
    EXPECT_FALSE(GetUpdateRect(child, &update, FALSE));
}

TEST_F(MessageTest, MessagesOfADestroyedWindowAreDropped)
{
    HWND other = Make(WS_POPUP, 0, 0, 10, 10);
    PostMessageW(other, WM_USER, 0, 0);
    SetTimer(other, 5, 10, nullptr);
    DestroyWindow(other);
    std::this_thread::sleep_for(20ms);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

} // namespace
