// Window classes and windows: creation and destruction order, geometry, window data, lookup.
#include "last_error.h"
#include "window_support.h"

#include <gtest/gtest.h>

namespace {

using WindowTest = WindowFixture;

// The messages windows got, in order: one window's, or those of the given kinds.
std::vector<std::pair<HWND, UINT>> Messages(HWND hwnd, std::vector<UINT> only = {})
{
    std::vector<std::pair<HWND, UINT>> list;
    for (const Received& r : Log())
        if ((r.hwnd == hwnd || !hwnd) && r.msg != WM_NCHITTEST && r.msg != WM_GETTEXT
            && (only.empty() || std::find(only.begin(), only.end(), r.msg) != only.end()))
            list.emplace_back(r.hwnd, r.msg);
    return list;
}

using Order = std::vector<std::pair<HWND, UINT>>;

TEST_F(WindowTest, CreationSizingAndDestructionArriveInOrder)
{
    ClearLog();
    HWND top = Make(WS_POPUP, 10, 20, 300, 200);
    EXPECT_EQ(Messages(top), (Order{{top, WM_NCCREATE}, {top, WM_CREATE}, {top, WM_SIZE}, {top, WM_MOVE}}));
    HWND child = Make(WS_CHILD | WS_VISIBLE, 5, 5, 50, 40, top, 7);
    ClearLog();
    ShowWindow(top, SW_SHOW);
    EXPECT_EQ(Messages(top, {WM_SHOWWINDOW, WM_ACTIVATE, WM_SETFOCUS}),
              (Order{{top, WM_SHOWWINDOW}, {top, WM_ACTIVATE}, {top, WM_SETFOCUS}}));
    EXPECT_EQ(GetFocus(), top);
    ClearLog();
    ASSERT_TRUE(SetWindowPos(top, nullptr, 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER));
    EXPECT_EQ(std::make_pair(Messages(top, {WM_SIZE, WM_MOVE}), LogOf(WM_SIZE)[0].lParam),
              std::make_pair(Order{{top, WM_SIZE}}, MAKELPARAM(320, 240)));
    ClearLog();
    ASSERT_TRUE(DestroyWindow(top));
    EXPECT_EQ(Messages(nullptr, {WM_DESTROY, WM_NCDESTROY}),
              (Order{{top, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {top, WM_NCDESTROY}}));
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
    WCHAR name[8];
    // It has a window: it stays registered.
    EXPECT_EQ(std::vector<int>({GetClassInfoW(nullptr, u"RECORDINGWINDOW", &info) && info.lpfnWndProc == &RecordingProc,
                                GetClassNameW(Make(WS_POPUP, 0, 0, 10, 10), name, 8), UnregisterClassW(u"RecordingWindow", nullptr)}),
              std::vector<int>({1, 7, 0}));
    EXPECT_EQ(std::u16string(name), u"Recordi");

    // A window that refuses creation is gone.
    wc.lpszClassName = u"RefusingWindow";
    ASSERT_TRUE(RegisterClassW(&wc));
    const auto create
        = [](LPCWSTR cls) { return CreateWindowExW(0, cls, nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr); };
    EXPECT_EQ(std::vector<HWND>({create(u"refusingwindow"), FindWindowW(u"RefusingWindow", nullptr)}), std::vector<HWND>(2, nullptr));
    EXPECT_TRUE(UnregisterClassW(u"RefusingWindow", nullptr));
    EXPECT_EQ(ErrorOf(create(u"NoSuchClass") != nullptr), DWORD(ERROR_CLASS_DOES_NOT_EXIST));
}

TEST_F(WindowTest, ChildrenConvertCoordinatesThroughTheirParentsAndTextExtraWordsStylesRelationsAndEnablingAreKept)
{
    HWND top = Make(WS_POPUP, 100, 50, 300, 200);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 20, 100, 80, top, 1);
    HWND inner = Make(WS_CHILD | WS_VISIBLE, 5, 6, 30, 30, child, 2);
    POINT back{115, 76};
    ScreenToClient(child, &back);
    RECT window, client;
    GetWindowRect(child, &window);
    GetClientRect(child, &client);
    EXPECT_EQ(std::vector<LONG>({back.x, back.y, window.left, window.bottom, client.right, client.bottom}),
              std::vector<LONG>({5, 6, 110, 150, 100, 80}));
    ASSERT_TRUE(MoveWindow(child, 20, 30, 60, 50, TRUE));
    GetWindowRect(inner, &window);
    EXPECT_EQ(std::make_pair(window.left, window.top), std::make_pair(LONG(125), LONG(86)));
    HWND other = Make(WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(std::vector<LONG>({SetWindowLongW(other, 0, 0x12345678), SetWindowLongW(other, 4, -5), GetWindowLongW(other, 0),
                                 GetWindowLongW(other, 4), GetWindowLongW(other, GWL_STYLE)}),
              std::vector<LONG>({0, 0, 0x12345678, -5, LONG(WS_POPUP)}));
    for (int index : {5, -100, GWL_WNDPROC}) { // past the 8 extra bytes, or a pointer that does not fit
        SetLastError(0);
        EXPECT_EQ((std::pair<LONG, DWORD>{GetWindowLongW(other, index), GetLastError()}),
                  std::make_pair(LONG(0), DWORD(ERROR_INVALID_INDEX)))
            << index;
    }
    HWND owner = Make(WS_POPUP, 0, 0, 100, 100), third = Make(WS_POPUP, 0, 0, 10, 10, nullptr, 0, nullptr, u"third");
    HWND first = Make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, owner, 101);
    HWND next = Make(WS_CHILD | WS_VISIBLE, 20, 0, 10, 10, owner, 102);
    EXPECT_EQ(std::vector<HWND>({GetDlgItem(owner, 102), GetParent(first), GetWindow(first, GW_HWNDNEXT)}),
              std::vector<HWND>({next, owner, next}));
    EXPECT_EQ(std::vector<int>({GetDlgCtrlID(first), IsChild(owner, next), IsChild(first, next)}), std::vector<int>({101, 1, 0}));

    ASSERT_TRUE(SetWindowTextW(first, u"Ŝanĝo"));
    WCHAR text[4];
    EXPECT_EQ(std::make_pair(GetWindowTextW(first, text, 4), GetWindowTextLengthW(first)), std::make_pair(3, 5));
    EXPECT_EQ(std::u16string(text), u"Ŝan");
    SetFocus(first);
    // EnableWindow says whether the window was disabled; disabling takes the focus away.
    EXPECT_EQ(std::vector<int>({EnableWindow(first, FALSE), IsWindowEnabled(first), GetFocus() != nullptr, EnableWindow(first, TRUE)}),
              std::vector<int>({0, 0, 0, 1}));
    std::vector<HWND> seen;
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen, (std::vector<HWND>{top, other, owner, third}));
}

} // namespace
