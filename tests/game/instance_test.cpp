#include "instance.h"

#include "window_support.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <thread>

namespace {

class SingleInstance : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterRecordingClass();
        m_main = CreateWindowExW(0, u"RecordingWindow", u"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(m_main);
        ClearLog();
    }
    void TearDown() override
    {
        ReleaseSingleInstance();
        DestroyWindow(m_main);
    }

    // Commands with id 1000 that reached the main window.
    size_t broughtToFront()
    {
        PumpReady();
        size_t count = 0;
        for (const Received& r : LogOf(WM_COMMAND))
            count += r.hwnd == m_main && LOWORD(r.wParam) == 1000 && r.lParam == 0 ? 1 : 0;
        return count;
    }

    HWND m_main = nullptr;
};

} // namespace

TEST_F(SingleInstance, ALaterStartAsksTheMainWindowToComeForward)
{
    ASSERT_TRUE(ClaimSingleInstance(nullptr));
    PublishMainWindow(m_main);
    // As another start would see it: the first start's window stays where it is.
    EXPECT_FALSE(ClaimSingleInstance(nullptr));
    EXPECT_EQ(broughtToFront(), 1u);
}

TEST_F(SingleInstance, AStartThatFindsTheMutexHeldWaitsForTheFirstStartsWindow)
{
    // A first start between taking the mutex and making its window.
    HANDLE held = CreateMutexW(nullptr, TRUE, u"Quibo Mutex");
    ASSERT_TRUE(held);
    bool first = true;
    std::thread second([&] { first = ClaimSingleInstance(nullptr); });
    Sleep(100);

    WNDCLASSW wc{};
    if (!GetClassInfoW(nullptr, u"Quibo IPC", &wc)) {
        wc.lpfnWndProc = DefWindowProcW;
        wc.cbWndExtra = 4;
        wc.lpszClassName = u"Quibo IPC";
        wc.style = CS_PUBLISHED;
        ASSERT_TRUE(RegisterClassW(&wc));
    }
    HWND ipc = CreateWindowExW(0, u"quibo ipc", u"", WS_POPUP, -10, -10, 5, 5, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(ipc);
    SetWindowLongW(ipc, 0, static_cast<LONG>(reinterpret_cast<uintptr_t>(m_main)));
    ReleaseMutex(held);
    second.join();

    EXPECT_FALSE(first);
    EXPECT_EQ(broughtToFront(), 1u);
    DestroyWindow(ipc);
    CloseHandle(held);
}
