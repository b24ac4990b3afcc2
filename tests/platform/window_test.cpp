// Window classes and windows: creation and destruction order, geometry, window data, lookup.
#include "last_error.h"
#include "window_support.h"

#include <gtest/gtest.h>

namespace {

class WindowTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        ClearLog();
    }
};

// The messages one window got, in order, or only those of the given kinds.
std::vector<UINT> Messages(HWND hwnd, std::vector<UINT> only = {})
{
    std::vector<UINT> list;
    for (const Received& r : Log())
        if (r.hwnd == hwnd && r.msg != WM_NCHITTEST && r.msg != WM_GETTEXT
            && (only.empty() || std::find(only.begin(), only.end(), r.msg) != only.end()))
            list.push_back(r.msg);
    return list;
}

TEST_F(WindowTest, CreationSizingAndDestructionArriveInOrder)
{
    HWND top = Make(WS_POPUP, 10, 20, 300, 200);
    EXPECT_EQ(Messages(top), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
    HWND child = Make(WS_CHILD | WS_VISIBLE, 5, 5, 50, 40, top, 7);
    ClearLog();
    ShowWindow(top, SW_SHOW);
    EXPECT_EQ(Messages(top, {WM_SHOWWINDOW, WM_ACTIVATE, WM_SETFOCUS}), (std::vector<UINT>{WM_SHOWWINDOW, WM_ACTIVATE, WM_SETFOCUS}));
    EXPECT_EQ(GetFocus(), top);
    ClearLog();
    ASSERT_TRUE(SetWindowPos(top, nullptr, 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER));
    EXPECT_EQ(Messages(top, {WM_SIZE, WM_MOVE}), std::vector<UINT>{WM_SIZE});
    EXPECT_EQ(LogOf(WM_SIZE)[0].lParam, MAKELPARAM(320, 240));

    ClearLog();
    ASSERT_TRUE(DestroyWindow(top));
    std::vector<std::pair<HWND, UINT>> order;
    for (const Received& r : Log())
        if (r.msg == WM_DESTROY || r.msg == WM_NCDESTROY)
            order.emplace_back(r.hwnd, r.msg);
    EXPECT_EQ(order,
              (std::vector<std::pair<HWND, UINT>>{{top, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {top, WM_NCDESTROY}}));
    // A destroyed or forged handle is refused.
    RECT r;
    EXPECT_EQ(std::vector<bool>({IsWindow(child) != 0, GetFocus() != nullptr, GetActiveWindow() != nullptr, SetWindowTextW(top, u"x") != 0,
                                 PostMessageW(top, WM_USER, 0, 0) != 0, GetClientRect(reinterpret_cast<HWND>(uintptr_t{0xDEAD}), &r) != 0}),
              std::vector<bool>(6, false));
}

LRESULT CALLBACK RefusingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return msg == WM_CREATE ? -1 : DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST_F(WindowTest, ClassesAreNamedWithoutRegardToCaseAndRegisteredOnce)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = RefusingProc;
    wc.lpszClassName = u"recordingwindow";
    EXPECT_EQ(ErrorOf(RegisterClassW(&wc)), DWORD(ERROR_CLASS_ALREADY_EXISTS));
    WNDCLASSW info{};
    ASSERT_TRUE(GetClassInfoW(nullptr, u"RECORDINGWINDOW", &info));
    EXPECT_EQ(info.lpfnWndProc, &RecordingProc);
    HWND top = Make(WS_POPUP, 0, 0, 10, 10);
    WCHAR name[8];
    EXPECT_EQ(GetClassNameW(top, name, 8), 7);
    EXPECT_EQ(std::u16string(name), u"Recordi");
    EXPECT_FALSE(UnregisterClassW(u"RecordingWindow", nullptr)); // it has a window

    // A window that refuses creation is gone.
    wc.lpszClassName = u"RefusingWindow";
    ASSERT_TRUE(RegisterClassW(&wc));
    const auto create
        = [](LPCWSTR cls) { return CreateWindowExW(0, cls, nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr); };
    EXPECT_EQ(std::vector<HWND>({create(u"refusingwindow"), FindWindowW(u"RefusingWindow", nullptr)}), std::vector<HWND>(2, nullptr));
    EXPECT_TRUE(UnregisterClassW(u"RefusingWindow", nullptr));
    EXPECT_EQ(ErrorOf(create(u"NoSuchClass") != nullptr), DWORD(ERROR_CLASS_DOES_NOT_EXIST));
}

TEST_F(WindowTest, ChildrenConvertCoordinatesThroughTheirParents)
{
    HWND top = Make(WS_POPUP, 100, 50, 300, 200);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 20, 100, 80, top, 1);
    HWND inner = Make(WS_CHILD | WS_VISIBLE, 5, 6, 30, 30, child, 2);
    POINT screen{0, 0}, mapped{0, 0};
    ClientToScreen(inner, &screen);
    POINT back = screen;
    ScreenToClient(child, &back);
    RECT window, client;
    GetWindowRect(child, &window);
    GetClientRect(child, &client);
    EXPECT_EQ(std::vector<LONG>({screen.x, screen.y, back.x, back.y, window.left, window.bottom, client.right, client.bottom}),
              std::vector<LONG>({115, 76, 5, 6, 110, 150, 100, 80}));
    ASSERT_TRUE(MoveWindow(child, 20, 30, 60, 50, TRUE));
    GetWindowRect(inner, &window);
    MapWindowPoints(inner, top, &mapped, 1);
    EXPECT_EQ(std::vector<LONG>({window.left, window.top, mapped.x, mapped.y}), std::vector<LONG>({125, 86, 25, 36}));
}

WNDPROC g_previous = nullptr;

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(g_previous, hwnd, msg, wParam + 1, lParam);
}

TEST_F(WindowTest, ExtraWordsStylesAndProceduresAreKeptApart)
{
    HWND top = Make(WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(std::vector<LONG>({SetWindowLongW(top, 0, 0x12345678), SetWindowLongW(top, 4, -5), GetWindowLongW(top, 0),
                                 GetWindowLongW(top, 4), GetWindowLongW(top, GWL_STYLE)}),
              std::vector<LONG>({0, 0, 0x12345678, -5, LONG(WS_POPUP)}));
    for (int index : {5, -100, GWL_WNDPROC}) { // past the 8 extra bytes, or a pointer that does not fit
        SetLastError(0);
        const LONG value = GetWindowLongW(top, index);
        EXPECT_EQ(std::make_pair(value, GetLastError()), std::make_pair(LONG(0), DWORD(ERROR_INVALID_INDEX))) << index;
    }
    // Subclassing chains to the previous procedure.
    g_previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    EXPECT_EQ(g_previous, &RecordingProc);
    ClearLog();
    SendMessageW(top, WM_USER + 1, 3, 4);
    ASSERT_EQ(LogOf(WM_USER + 1).size(), 1u);
    EXPECT_EQ(LogOf(WM_USER + 1)[0].wParam, 4u);
}

TEST_F(WindowTest, TextRelationsEnablingAndLookup)
{
    HWND top = Make(WS_POPUP, 0, 0, 100, 100), second = Make(WS_POPUP, 0, 0, 10, 10, nullptr, 0, nullptr, u"second");
    HWND a = Make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top, 101);
    HWND b = Make(WS_CHILD | WS_VISIBLE, 20, 0, 10, 10, top, 102);
    EXPECT_EQ(std::vector<HWND>({GetDlgItem(top, 102), GetParent(a), GetWindow(a, GW_HWNDNEXT)}), std::vector<HWND>({b, top, b}));
    EXPECT_EQ(std::vector<int>({GetDlgCtrlID(a), IsChild(top, b), IsChild(a, b)}), std::vector<int>({101, 1, 0}));

    ASSERT_TRUE(SetWindowTextW(a, u"Ŝanĝo"));
    WCHAR text[4];
    EXPECT_EQ(std::make_pair(GetWindowTextW(a, text, 4), GetWindowTextLengthW(a)), std::make_pair(3, 5));
    EXPECT_EQ(std::u16string(text), u"Ŝan");
    SetFocus(a);
    // EnableWindow says whether the window was disabled; disabling takes the focus away.
    EXPECT_EQ(std::vector<int>({EnableWindow(a, FALSE), IsWindowEnabled(a), GetFocus() != nullptr, EnableWindow(a, TRUE)}),
              std::vector<int>({0, 0, 0, 1}));
    EXPECT_EQ(std::vector<HWND>({FindWindowW(u"recordingwindow", u"second"), FindWindowW(nullptr, u"second"),
                                 FindWindowW(u"RecordingWindow", u"nothing")}),
              std::vector<HWND>({second, second, nullptr}));
    std::vector<HWND> seen;
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen, (std::vector<HWND>{top, second}));
}

} // namespace
