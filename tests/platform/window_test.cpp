// Window classes and windows: creation and destruction order, geometry, window data, lookup.
#include <gtest/gtest.h>

#include "window_support.h"

namespace {

class WindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterRecordingClass();
        ClearLog();
    }
    void TearDown() override
    {
        for (HWND hwnd : created)
            if (IsWindow(hwnd))
                DestroyWindow(hwnd);
        PumpReady();
    }
    HWND Make(DWORD style, int x, int y, int w, int h, HWND parent = nullptr, int id = 0)
    {
        HWND hwnd = CreateWindowExW(0, u"RecordingWindow", u"title", style, x, y, w, h, parent,
                                    reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
        created.push_back(hwnd);
        return hwnd;
    }
    std::vector<HWND> created;
};

std::vector<UINT> Messages(HWND hwnd)
{
    std::vector<UINT> list;
    for (const Received& r : Log())
        if (r.hwnd == hwnd && r.msg != WM_NCHITTEST && r.msg != WM_GETTEXT)
            list.push_back(r.msg);
    return list;
}

TEST_F(WindowTest, CreationSizingAndDestructionArriveInOrder)
{
    HWND top = Make(WS_POPUP, 10, 20, 300, 200);
    ASSERT_TRUE(top);
    EXPECT_EQ(Messages(top), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
    EXPECT_EQ(LogOf(WM_SIZE)[0].lParam, MAKELPARAM(300, 200));
    HWND child = Make(WS_CHILD | WS_VISIBLE, 5, 5, 50, 40, top, 7);
    ASSERT_TRUE(child);

    ClearLog();
    ShowWindow(top, SW_SHOW);
    const std::vector<UINT> shown = Messages(top);
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[0], static_cast<UINT>(WM_SHOWWINDOW));
    EXPECT_EQ(shown[1], static_cast<UINT>(WM_ACTIVATE));
    EXPECT_EQ(shown[2], static_cast<UINT>(WM_SETFOCUS));
    EXPECT_EQ(GetActiveWindow(), top);
    EXPECT_EQ(GetFocus(), top);

    ClearLog();
    ASSERT_TRUE(SetWindowPos(top, nullptr, 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER));
    ASSERT_EQ(LogOf(WM_SIZE).size(), 1u);
    EXPECT_EQ(LogOf(WM_SIZE)[0].lParam, MAKELPARAM(320, 240));
    EXPECT_TRUE(LogOf(WM_MOVE).empty());

    ClearLog();
    ASSERT_TRUE(DestroyWindow(top));
    std::vector<std::pair<HWND, UINT>> order;
    for (const Received& r : Log())
        if (r.msg == WM_DESTROY || r.msg == WM_NCDESTROY)
            order.emplace_back(r.hwnd, r.msg);
    EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{
                         {top, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {top, WM_NCDESTROY}}));
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

LRESULT CALLBACK RefusingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return msg == WM_CREATE ? -1 : DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST_F(WindowTest, AWindowThatRefusesCreationIsGone)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = RefusingProc;
    wc.lpszClassName = u"RefusingWindow";
    ASSERT_TRUE(RegisterClassW(&wc));
    EXPECT_EQ(CreateWindowExW(0, u"refusingwindow", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(FindWindowW(u"RefusingWindow", nullptr), nullptr);
    EXPECT_TRUE(UnregisterClassW(u"RefusingWindow", nullptr));
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
}

TEST_F(WindowTest, ClassesAreNamedWithoutRegardToCaseAndRegisteredOnce)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = u"recordingwindow";
    EXPECT_FALSE(RegisterClassW(&wc));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    WNDCLASSW info{};
    ASSERT_TRUE(GetClassInfoW(nullptr, u"RECORDINGWINDOW", &info));
    EXPECT_EQ(info.lpfnWndProc, &RecordingProc);
    EXPECT_EQ(info.cbWndExtra, 8);
    EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));

    HWND top = Make(WS_POPUP, 0, 0, 10, 10);
    WCHAR name[8];
    EXPECT_EQ(GetClassNameW(top, name, 8), 7);
    EXPECT_EQ(std::u16string(name), u"Recordi");
    EXPECT_FALSE(UnregisterClassW(u"RecordingWindow", nullptr)); // it has a window
}

TEST_F(WindowTest, ChildrenConvertCoordinatesThroughTheirParents)
{
    HWND top = Make(WS_POPUP, 100, 50, 300, 200);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 20, 100, 80, top, 1);
    HWND inner = Make(WS_CHILD | WS_VISIBLE, 5, 6, 30, 30, child, 2);
    POINT p{0, 0};
    ASSERT_TRUE(ClientToScreen(inner, &p));
    EXPECT_EQ(p.x, 115);
    EXPECT_EQ(p.y, 76);
    ASSERT_TRUE(ScreenToClient(child, &p));
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 6);
    RECT r;
    ASSERT_TRUE(GetWindowRect(child, &r));
    EXPECT_EQ(r.left, 110);
    EXPECT_EQ(r.bottom, 150);
    ASSERT_TRUE(GetClientRect(child, &r));
    EXPECT_EQ(r.right, 100);
    EXPECT_EQ(r.bottom, 80);
    ASSERT_TRUE(MoveWindow(child, 20, 30, 60, 50, TRUE));
    ASSERT_TRUE(GetWindowRect(inner, &r));
    EXPECT_EQ(r.left, 125);
    EXPECT_EQ(r.top, 86);
    POINT q{0, 0};
    MapWindowPoints(inner, top, &q, 1);
    EXPECT_EQ(q.x, 25);
    EXPECT_EQ(q.y, 36);
}

TEST_F(WindowTest, ExtraWordsStylesAndPointersAreKeptApart)
{
    HWND top = Make(WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(SetWindowLongW(top, 0, 0x12345678), 0);
    EXPECT_EQ(SetWindowLongW(top, 4, -5), 0);
    EXPECT_EQ(GetWindowLongW(top, 0), 0x12345678);
    EXPECT_EQ(GetWindowLongW(top, 4), -5);
    SetLastError(0);
    EXPECT_EQ(GetWindowLongW(top, 5), 0); // would read past the 8 extra bytes
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    EXPECT_EQ(GetWindowLongW(top, -100), 0);
    EXPECT_EQ(GetWindowLongW(top, GWL_STYLE), static_cast<LONG>(WS_POPUP));
    EXPECT_EQ(GetWindowLongW(top, GWL_WNDPROC), 0); // a pointer does not fit
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    EXPECT_EQ(GetWindowLongPtrW(top, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&RecordingProc));
    SetWindowLongPtrW(top, GWLP_USERDATA, 42);
    EXPECT_EQ(GetWindowLongPtrW(top, GWLP_USERDATA), 42);
}

WNDPROC g_previous = nullptr;
int g_subclassed = 0;

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_USER + 1)
        ++g_subclassed;
    return CallWindowProcW(g_previous, hwnd, msg, wParam, lParam);
}

TEST_F(WindowTest, SubclassingChainsToThePreviousProcedure)
{
    HWND top = Make(WS_POPUP, 0, 0, 10, 10);
    g_previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    EXPECT_EQ(g_previous, &RecordingProc);
    ClearLog();
    SendMessageW(top, WM_USER + 1, 3, 4);
    EXPECT_EQ(g_subclassed, 1);
    ASSERT_EQ(LogOf(WM_USER + 1).size(), 1u);
    EXPECT_EQ(LogOf(WM_USER + 1)[0].wParam, 3u);
}

TEST_F(WindowTest, TextRelationsAndEnabling)
{
    HWND top = Make(WS_POPUP, 0, 0, 100, 100);
    HWND a = Make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top, 101);
    HWND b = Make(WS_CHILD | WS_VISIBLE, 20, 0, 10, 10, top, 102);
    EXPECT_EQ(GetDlgItem(top, 102), b);
    EXPECT_EQ(GetDlgItem(top, 103), nullptr);
    EXPECT_EQ(GetDlgCtrlID(a), 101);
    EXPECT_EQ(GetParent(a), top);
    EXPECT_EQ(GetParent(top), nullptr);
    EXPECT_TRUE(IsChild(top, b));
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);

    ASSERT_TRUE(SetWindowTextW(a, u"Ŝanĝo"));
    WCHAR text[4];
    EXPECT_EQ(GetWindowTextW(a, text, 4), 3);
    EXPECT_EQ(std::u16string(text), u"Ŝan");
    EXPECT_EQ(GetWindowTextLengthW(a), 5);

    SetFocus(a);
    EXPECT_EQ(GetFocus(), a);
    EXPECT_FALSE(EnableWindow(a, FALSE)); // it was enabled
    EXPECT_FALSE(IsWindowEnabled(a));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_TRUE(EnableWindow(a, TRUE)); // it was disabled
    EXPECT_TRUE(IsWindowEnabled(a));
}

TEST_F(WindowTest, FindAndEnumerateTopLevelWindows)
{
    HWND first = Make(WS_POPUP, 0, 0, 10, 10);
    HWND second = Make(WS_POPUP, 0, 0, 10, 10);
    SetWindowTextW(second, u"second");
    Make(WS_CHILD, 0, 0, 5, 5, first, 1);
    EXPECT_EQ(FindWindowW(u"recordingwindow", u"second"), second);
    EXPECT_EQ(FindWindowW(nullptr, u"second"), second);
    EXPECT_EQ(FindWindowW(u"RecordingWindow", u"nothing"), nullptr);
    std::vector<HWND> seen;
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen, (std::vector<HWND>{first, second}));
}

TEST_F(WindowTest, ForgedHandlesAreRefused)
{
    HWND top = Make(WS_POPUP, 0, 0, 10, 10);
    DestroyWindow(top);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(SetWindowTextW(top, u"x"));
    EXPECT_FALSE(ShowWindow(top, SW_SHOW));
    EXPECT_FALSE(PostMessageW(top, WM_USER, 0, 0));
    EXPECT_EQ(GetWindowLongW(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7)), GWL_STYLE), 0);
    RECT r;
    EXPECT_FALSE(GetClientRect(reinterpret_cast<HWND>(static_cast<uintptr_t>(0xDEAD)), &r));
}

} // namespace
