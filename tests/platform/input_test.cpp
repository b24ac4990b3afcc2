// Host input becomes messages for the right window: the child under the pointer, the capture
// holder, the focus; activation and closing.
#include "window_support.h"

#include <gtest/gtest.h>

namespace {

class InputTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        top = Make(WS_POPUP | WS_VISIBLE, 40, 30, 200, 150);
        left = Make(WS_CHILD | WS_VISIBLE, 10, 10, 80, 100, top, 1);
        right = Make(WS_CHILD | WS_VISIBLE, 100, 10, 80, 100, top, 2);
        ASSERT_TRUE(top && left && right);
        ASSERT_NE(HostId(top), 0u);
        PumpReady();
        ClearLog();
    }
    // Where the messages of one kind went and with which position (or wParam), after pumping.
    std::vector<std::pair<HWND, LPARAM>> Got(UINT msg, bool wParam = false)
    {
        PumpReady();
        std::vector<std::pair<HWND, LPARAM>> got;
        for (const Received& r : LogOf(msg))
            got.emplace_back(r.hwnd, wParam ? LPARAM(r.wParam) : r.lParam);
        ClearLog();
        return got;
    }
    void PushWindowEvent(HWND hwnd, Uint8 event)
    {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = event;
        e.window.windowID = HostId(hwnd);
        SDL_PushEvent(&e);
    }
    using Got_ = std::vector<std::pair<HWND, LPARAM>>;
    HWND top = nullptr, left = nullptr, right = nullptr;
};

TEST_F(InputTest, MouseMessagesGoToTheChildUnderThePointerOrTheCapture)
{
    PushButton(top, true, 120, 30);
    EXPECT_EQ(Got(WM_LBUTTONDOWN, true), (Got_{{right, MK_LBUTTON}}));
    PushButton(top, false, 120, 30);
    EXPECT_EQ(Got(WM_LBUTTONUP), (Got_{{right, MAKELPARAM(20, 20)}}));
    PushMotion(top, 5, 5);
    EXPECT_EQ(Got(WM_MOUSEMOVE), (Got_{{top, MAKELPARAM(5, 5)}}));
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(MAKELPARAM(cursor.x, cursor.y), MAKELPARAM(45, 35));
    // Double clicks reach classes that ask for them.
    PushButton(top, true, 20, 20, SDL_BUTTON_LEFT, 2);
    EXPECT_EQ(Got(WM_LBUTTONDBLCLK), (Got_{{left, MAKELPARAM(10, 10)}}));

    SetCapture(left);
    PushMotion(top, 150, 50);
    EXPECT_EQ(Got(WM_MOUSEMOVE), (Got_{{left, MAKELPARAM(140, 40)}}));
    ReleaseCapture();
    EXPECT_EQ(Got(WM_CAPTURECHANGED), (Got_{{left, 0}}));
    PushMotion(top, 150, 50);
    EXPECT_EQ(Got(WM_MOUSEMOVE), (Got_{{right, MAKELPARAM(50, 40)}}));

    // Disabled and hidden children let the parent have the click.
    EnableWindow(right, FALSE);
    PushButton(top, true, 120, 30);
    PumpReady();
    ShowWindow(left, SW_HIDE);
    PushButton(top, true, 20, 30);
    EXPECT_EQ(Got(WM_LBUTTONDOWN), (Got_{{top, MAKELPARAM(120, 30)}, {top, MAKELPARAM(20, 30)}}));
    // A disabled top-level window gets no input.
    EnableWindow(top, FALSE);
    PushButton(top, true, 120, 30);
    PushKey(top, SDLK_a, true);
    PumpReady();
    EXPECT_TRUE(LogOf(WM_LBUTTONDOWN).empty() && LogOf(WM_KEYDOWN).empty());
    EnableWindow(top, TRUE);

    // The message position is where the pointer was for that message, not where it is now.
    ShowWindow(left, SW_SHOW);
    PushButton(top, true, 20, 20, SDL_BUTTON_RIGHT);
    PushMotion(top, 150, 100);
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(std::make_pair(msg.hwnd, msg.message), std::make_pair(left, UINT(WM_RBUTTONDOWN)));
    EXPECT_EQ(GetMessagePos(), DWORD(MAKELONG(60, 50)));
}

TEST_F(InputTest, KeysAndTextGoToTheFocusHostFocusChangesActivateAndTheCloseButtonCloses)
{
    SetFocus(right);
    PushKey(top, SDLK_LSHIFT, true);
    PushKey(top, SDLK_LEFT, true);
    PushText(top, "Ŝĝ");
    PushKey(top, SDLK_RETURN, true);
    PushKey(top, SDLK_LSHIFT, false);
    PumpReady();
    std::vector<std::tuple<HWND, UINT, WPARAM>> got;
    for (const Received& r : Log())
        if (r.msg == WM_KEYDOWN || r.msg == WM_CHAR)
            got.emplace_back(r.hwnd, r.msg, r.wParam);
    EXPECT_EQ(got, (decltype(got){{right, WM_KEYDOWN, VK_SHIFT},
                                  {right, WM_KEYDOWN, VK_LEFT},
                                  {right, WM_CHAR, 0x15C},
                                  {right, WM_CHAR, 0x11D},
                                  {right, WM_KEYDOWN, VK_RETURN},
                                  {right, WM_CHAR, 13}}));
    HWND other = Make(WS_POPUP | WS_VISIBLE, 300, 30, 50, 50);
    EXPECT_EQ(GetActiveWindow(), other);
    PumpReady();
    ClearLog();
    PushWindowEvent(other, SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(top, SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(Got(WM_ACTIVATE, true), (Got_{{other, WA_INACTIVE}, {top, WA_ACTIVE}}));
    EXPECT_EQ(GetActiveWindow(), top);
    PushWindowEvent(other, SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(Got(WM_CLOSE), (Got_{{other, 0}}));
    EXPECT_FALSE(IsWindow(other));
}

} // namespace
