// Host input becomes messages for the right window: the child under the pointer, the capture
// holder, the focus; activation and closing.
#include <gtest/gtest.h>

#include "window_support.h"

namespace {

class InputTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterRecordingClass();
        top = CreateWindowExW(0, u"RecordingWindow", u"input", WS_POPUP | WS_VISIBLE, 40, 30, 200, 150, nullptr,
                              nullptr, nullptr, nullptr);
        left = CreateWindowExW(0, u"RecordingWindow", nullptr, WS_CHILD | WS_VISIBLE, 10, 10, 80, 100, top,
                               reinterpret_cast<HMENU>(1), nullptr, nullptr);
        right = CreateWindowExW(0, u"RecordingWindow", nullptr, WS_CHILD | WS_VISIBLE, 100, 10, 80, 100, top,
                                reinterpret_cast<HMENU>(2), nullptr, nullptr);
        ASSERT_TRUE(top && left && right);
        ASSERT_NE(HostId(top), 0u);
        PumpReady();
        ClearLog();
    }
    void TearDown() override
    {
        DestroyWindow(top);
        PumpReady();
    }
    HWND top = nullptr, left = nullptr, right = nullptr;
};

TEST_F(InputTest, MouseMessagesGoToTheChildUnderThePointer)
{
    PushButton(top, true, 120, 30);
    PushButton(top, false, 120, 30);
    PushMotion(top, 5, 5);
    PumpReady();
    const auto downs = LogOf(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].hwnd, right);
    EXPECT_EQ(downs[0].lParam, MAKELPARAM(20, 20));
    EXPECT_EQ(downs[0].wParam & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
    ASSERT_EQ(LogOf(WM_LBUTTONUP).size(), 1u);
    EXPECT_EQ(LogOf(WM_LBUTTONUP)[0].hwnd, right);
    ASSERT_EQ(LogOf(WM_MOUSEMOVE).size(), 1u);
    EXPECT_EQ(LogOf(WM_MOUSEMOVE)[0].hwnd, top);
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 45);
    EXPECT_EQ(cursor.y, 35);
}

TEST_F(InputTest, TheMessagePositionIsWhereThePointerWasForThatMessage)
{
    PushButton(top, true, 20, 20, SDL_BUTTON_RIGHT);
    PushMotion(top, 150, 100);
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_RBUTTONDOWN));
    EXPECT_EQ(msg.hwnd, left);
    const DWORD pos = GetMessagePos();
    EXPECT_EQ(GET_X_LPARAM(pos), 60);
    EXPECT_EQ(GET_Y_LPARAM(pos), 50);
    PumpReady();
}

TEST_F(InputTest, CaptureTakesEveryMouseMessageUntilReleased)
{
    SetCapture(left);
    EXPECT_EQ(GetCapture(), left);
    PushMotion(top, 150, 50);
    PumpReady();
    ASSERT_EQ(LogOf(WM_MOUSEMOVE).size(), 1u);
    EXPECT_EQ(LogOf(WM_MOUSEMOVE)[0].hwnd, left);
    EXPECT_EQ(LogOf(WM_MOUSEMOVE)[0].lParam, MAKELPARAM(140, 40));
    ClearLog();
    ReleaseCapture();
    ASSERT_EQ(LogOf(WM_CAPTURECHANGED).size(), 1u);
    EXPECT_EQ(LogOf(WM_CAPTURECHANGED)[0].hwnd, left);
    PushMotion(top, 150, 50);
    PumpReady();
    ASSERT_EQ(LogOf(WM_MOUSEMOVE).size(), 1u);
    EXPECT_EQ(LogOf(WM_MOUSEMOVE)[0].hwnd, right);
}

TEST_F(InputTest, DisabledAndHiddenChildrenLetTheParentHaveTheClick)
{
    EnableWindow(right, FALSE);
    PushButton(top, true, 120, 30);
    ShowWindow(left, SW_HIDE);
    PumpReady();
    PushButton(top, true, 20, 30);
    PumpReady();
    const auto downs = LogOf(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].hwnd, top);
    EXPECT_EQ(downs[1].hwnd, top);
}

TEST_F(InputTest, ADisabledTopLevelWindowGetsNoInput)
{
    EnableWindow(top, FALSE);
    PushButton(top, true, 120, 30);
    PushKey(top, SDLK_a, true);
    PumpReady();
    EXPECT_TRUE(LogOf(WM_LBUTTONDOWN).empty());
    EXPECT_TRUE(LogOf(WM_KEYDOWN).empty());
    EnableWindow(top, TRUE);
}

TEST_F(InputTest, DoubleClicksReachClassesThatAskForThem)
{
    PushButton(top, true, 20, 20, SDL_BUTTON_LEFT, 2);
    PumpReady();
    ASSERT_EQ(LogOf(WM_LBUTTONDBLCLK).size(), 1u);
    EXPECT_EQ(LogOf(WM_LBUTTONDBLCLK)[0].hwnd, left);
}

TEST_F(InputTest, KeysAndTextGoToTheFocus)
{
    SetFocus(right);
    PushKey(top, SDLK_LSHIFT, true);
    PushKey(top, SDLK_LEFT, true);
    PushText(top, "Ŝĝ");
    PushKey(top, SDLK_RETURN, true);
    MSG msg;
    std::vector<std::pair<UINT, WPARAM>> got;
    bool shiftSeen = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_LEFT)
            shiftSeen = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        EXPECT_EQ(msg.hwnd, right);
        got.emplace_back(msg.message, msg.wParam);
    }
    EXPECT_TRUE(shiftSeen);
    EXPECT_EQ(got, (std::vector<std::pair<UINT, WPARAM>>{{WM_KEYDOWN, VK_SHIFT},
                                                          {WM_KEYDOWN, VK_LEFT},
                                                          {WM_CHAR, 0x15C},
                                                          {WM_CHAR, 0x11D},
                                                          {WM_KEYDOWN, VK_RETURN},
                                                          {WM_CHAR, 13}}));
    PushKey(top, SDLK_LSHIFT, false);
    PumpReady();
    EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
}

TEST_F(InputTest, TheHostsCloseButtonClosesTheWindow)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    event.window.windowID = HostId(top);
    SDL_PushEvent(&event);
    PumpReady();
    EXPECT_EQ(LogOf(WM_CLOSE).size(), 1u);
    EXPECT_FALSE(IsWindow(top));
}

TEST_F(InputTest, HostFocusChangesActivateAndDeactivate)
{
    HWND other = CreateWindowExW(0, u"RecordingWindow", nullptr, WS_POPUP | WS_VISIBLE, 300, 30, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    EXPECT_EQ(GetActiveWindow(), other);
    PumpReady();
    ClearLog();
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    event.window.windowID = HostId(other);
    SDL_PushEvent(&event);
    event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    event.window.windowID = HostId(top);
    SDL_PushEvent(&event);
    PumpReady();
    const auto activations = LogOf(WM_ACTIVATE);
    ASSERT_EQ(activations.size(), 2u);
    EXPECT_EQ(activations[0].hwnd, other);
    EXPECT_EQ(activations[0].wParam, static_cast<WPARAM>(WA_INACTIVE));
    EXPECT_EQ(activations[1].hwnd, top);
    EXPECT_EQ(activations[1].wParam, static_cast<WPARAM>(WA_ACTIVE));
    EXPECT_EQ(GetActiveWindow(), top);
    DestroyWindow(other);
}

} // namespace
