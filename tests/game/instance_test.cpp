#include "instance.h"

#include "window_support.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <thread>

namespace {

struct SingleInstance : testing::Test {
    void SetUp() override
    {
        RegisterRecordingClass();
        main = CreateWindowExW(0, u"RecordingWindow", u"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(main);
        ClearLog();
    }
    void TearDown() override { ReleaseSingleInstance(), DestroyWindow(main); }

    // Commands with id 1000 that reached the main window.
    size_t broughtToFront()
    {
        PumpReady();
        return std::ranges::count_if(LogOf(WM_COMMAND),
                                     [&](const Received& r) { return r.hwnd == main && LOWORD(r.wParam) == 1000 && !r.lParam; });
    }

    HWND main = nullptr;
};

} // namespace

// As another start would see it: the first start's window stays where it is.
TEST_F(SingleInstance, ALaterStartAsksTheMainWindowToComeForward)
{
    ASSERT_TRUE(ClaimSingleInstance(nullptr));
    PublishMainWindow(main);
    EXPECT_FALSE(ClaimSingleInstance(nullptr));
    EXPECT_EQ(broughtToFront(), 1u);
}

// A first start between taking the mutex and making its window.
TEST_F(SingleInstance, AStartThatFindsTheMutexHeldWaitsForTheFirstStartsWindow)
{
    HANDLE held = CreateMutexW(nullptr, TRUE, u"Quibo Mutex");
    ASSERT_TRUE(held);
    bool first = true;
    std::thread second([&] { first = ClaimSingleInstance(nullptr); });
    Sleep(100);
    const WNDCLASSW wc{CS_PUBLISHED, DefWindowProcW, 0, 4, nullptr, nullptr, nullptr, nullptr, nullptr, u"Quibo IPC"};
    RegisterClassW(&wc);
    HWND ipc = CreateWindowExW(0, u"quibo ipc", u"", WS_POPUP, -10, -10, 5, 5, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(ipc);
    SetWindowLongW(ipc, 0, static_cast<LONG>(reinterpret_cast<uintptr_t>(main)));
    ReleaseMutex(held);
    second.join();
    EXPECT_FALSE(first);
    EXPECT_EQ(broughtToFront(), 1u);
    DestroyWindow(ipc);
    CloseHandle(held);
}
