// The standard controls on their own: typing and selecting in an edit, a combo box's list,
// a progress bar's range, and message boxes.
#include <gtest/gtest.h>

#include "aygshell.h"
#include "window_support.h"

namespace {

class ControlsTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterRecordingClass();
        top = CreateWindowExW(0, u"RecordingWindow", u"controls", WS_POPUP | WS_VISIBLE, 0, 0, 320, 200, nullptr,
                              nullptr, nullptr, nullptr);
        ASSERT_TRUE(top);
    }
    void TearDown() override
    {
        DestroyWindow(top);
        PumpReady();
    }
    HWND Child(LPCWSTR cls, DWORD style, int x, int y, int w, int h, int id)
    {
        HWND hwnd = CreateWindowExW(0, cls, nullptr, WS_CHILD | WS_VISIBLE | style, x, y, w, h, top,
                                    reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
        PumpReady();
        ClearLog();
        return hwnd;
    }
    std::u16string Text(HWND hwnd)
    {
        WCHAR text[256];
        GetWindowTextW(hwnd, text, 256);
        return text;
    }
    std::pair<DWORD, DWORD> Selection(HWND edit)
    {
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    void Keys(std::initializer_list<SDL_Keycode> keys)
    {
        for (SDL_Keycode key : keys)
            PushKey(top, key, true);
        PumpReady();
    }
    std::vector<WORD> Notifications()
    {
        std::vector<WORD> codes;
        for (const Received& r : LogOf(WM_COMMAND))
            codes.push_back(HIWORD(r.wParam));
        return codes;
    }
    HWND top = nullptr;
};

TEST_F(ControlsTest, AnEditTakesTypedTextAndMovesItsCaret)
{
    HWND edit = Child(u"Edit", WS_BORDER | ES_AUTOHSCROLL, 10, 10, 200, 24, 5);
    SetFocus(edit);
    PushText(top, "Ŝanĝo");
    PumpReady();
    EXPECT_EQ(Text(edit), u"Ŝanĝo");
    EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{5, 5}));
    EXPECT_EQ(Notifications().back(), EN_CHANGE);

    Keys({SDLK_LEFT, SDLK_LEFT, SDLK_BACKSPACE});
    EXPECT_EQ(Text(edit), u"Ŝaĝo");
    Keys({SDLK_HOME, SDLK_DELETE});
    EXPECT_EQ(Text(edit), u"aĝo");
    Keys({SDLK_END});
    PushText(top, "!");
    PumpReady();
    EXPECT_EQ(Text(edit), u"aĝo!");

    // Shift extends the selection; typing replaces it.
    PushKey(top, SDLK_LSHIFT, true);
    Keys({SDLK_LEFT, SDLK_LEFT});
    PushKey(top, SDLK_LSHIFT, false);
    PumpReady();
    EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{2, 4}));
    PushText(top, "x");
    PumpReady();
    EXPECT_EQ(Text(edit), u"aĝx");
}

TEST_F(ControlsTest, SelectAllCopyPasteAndTheLimit)
{
    HWND edit = Child(u"Edit", WS_BORDER, 10, 10, 200, 24, 5);
    SetWindowTextW(edit, u"kopio");
    SetFocus(edit);
    PushKey(top, SDLK_LCTRL, true);
    Keys({SDLK_a, SDLK_c});
    PushKey(top, SDLK_LCTRL, false);
    PumpReady();
    EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{0, 5}));
    Keys({SDLK_END});
    PushKey(top, SDLK_LCTRL, true);
    Keys({SDLK_v});
    PushKey(top, SDLK_LCTRL, false);
    PumpReady();
    EXPECT_EQ(Text(edit), u"kopiokopio");

    SendMessageW(edit, EM_LIMITTEXT, 12, 0);
    ClearLog();
    PushText(top, "abc");
    PumpReady();
    EXPECT_EQ(Text(edit), u"kopiokopioab");
    const std::vector<WORD> codes = Notifications();
    EXPECT_NE(std::find(codes.begin(), codes.end(), EN_MAXTEXT), codes.end());
    SetWindowTextW(edit, u"this text is longer than twelve");
    EXPECT_EQ(GetWindowTextLengthW(edit), 12);
}

TEST_F(ControlsTest, TheMouseSelectsInAnEdit)
{
    HWND edit = Child(u"Edit", WS_BORDER, 10, 10, 200, 24, 5);
    SetWindowTextW(edit, u"muso");
    PushButton(top, true, 13, 20);
    PushMotion(top, 205, 20);
    PushButton(top, false, 205, 20);
    PumpReady();
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{0, 4}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ControlsTest, AComboBoxDropsItsListAndTakesAChoice)
{
    HWND combo = Child(u"ComboBox", CBS_DROPDOWN, 10, 10, 150, 120, 7);
    for (const char16_t* name : {u"Unu", u"Du", u"Tri"})
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(Text(combo), u"Tri");
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 5, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(u"du")), 1);
    WCHAR item[8];
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXTLEN, 1, 0), 2);
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item)), 2);
    EXPECT_EQ(std::u16string(item), u"Du");
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(item)), CB_ERR);

    RECT rect;
    GetWindowRect(combo, &rect);
    EXPECT_LT(rect.bottom - rect.top, 40); // the edit's height, not the list's
    PushButton(top, true, rect.right - 5, 15);
    PushButton(top, false, rect.right - 5, 15);
    PumpReady();
    ASSERT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    HWND list = FindWindowW(u"ComboLBox", nullptr);
    ASSERT_TRUE(list);
    RECT listRect;
    GetWindowRect(list, &listRect);
    EXPECT_EQ(listRect.top, rect.bottom);
    SaveWindowPng(list, "combo_list.png");

    // The list holds the mouse: a click on its first row picks that item.
    ClearLog();
    PushButton(list, true, 20, 5);
    PushButton(list, false, 20, 5);
    PumpReady();
    EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(FindWindowW(u"ComboLBox", nullptr), nullptr);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Text(combo), u"Unu");
    std::vector<WORD> codes = Notifications();
    EXPECT_NE(std::find(codes.begin(), codes.end(), CBN_SELCHANGE), codes.end());

    // The arrow keys step through the items from the edit.
    SetFocus(combo);
    Keys({SDLK_DOWN});
    EXPECT_EQ(Text(combo), u"Du");
    // Typing goes to the edit and tells the parent.
    ClearLog();
    PushText(top, "x");
    PumpReady();
    codes = Notifications();
    EXPECT_NE(std::find(codes.begin(), codes.end(), CBN_EDITCHANGE), codes.end());
}

TEST_F(ControlsTest, AProgressBarKeepsItsPositionWithinItsRange)
{
    HWND bar = Child(u"msctls_progress32", 0, 10, 10, 200, 16, 8);
    EXPECT_EQ(SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 50)), MAKELONG(0, 100));
    EXPECT_EQ(SendMessageW(bar, PBM_SETPOS, 25, 0), 0);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 25);
    SendMessageW(bar, PBM_SETPOS, 80, 0);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 50);
    SendMessageW(bar, PBM_SETSTEP, 10, 0);
    SendMessageW(bar, PBM_STEPIT, 0, 0);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 10); // past the end starts again
    SendMessageW(bar, PBM_SETPOS, 25, 0);
    UpdateWindow(top);
    // Half the bar is filled with the highlight colour, the other half is not.
    EXPECT_EQ(WindowPixel(top, 15, 18), GetSysColor(COLOR_HIGHLIGHT) >> 16 | (GetSysColor(COLOR_HIGHLIGHT) & 0xFF00) |
                                            (GetSysColor(COLOR_HIGHLIGHT) & 0xFF) << 16);
    EXPECT_NE(WindowPixel(top, 200, 18), WindowPixel(top, 15, 18));
}

int g_step = 0;

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND box = FindWindowW(u"#32770", u"Box");
    if (!box || !IsWindowVisible(box))
        return;
    KillTimer(nullptr, id);
    if (g_step == 0)
        SaveWindowPng(box, "message_box.png");
    PushKey(box, g_step == 2 ? SDLK_ESCAPE : SDLK_RETURN, true);
    ++g_step;
}

TEST_F(ControlsTest, MessageBoxesAreAnsweredByTheirButtons)
{
    g_step = 0;
    SetTimer(nullptr, 0, 20, AnswerBox);
    EXPECT_EQ(MessageBoxW(top, u"Quibo was unable to load graphics.", u"Box", MB_OK | MB_ICONINFORMATION), IDOK);
    EXPECT_TRUE(IsWindowEnabled(top));
    SetTimer(nullptr, 0, 20, AnswerBox);
    EXPECT_EQ(MessageBoxW(top, u"Continue?", u"Box", MB_OKCANCEL | MB_ICONHAND), IDOK);
    SetTimer(nullptr, 0, 20, AnswerBox);
    EXPECT_EQ(MessageBoxW(nullptr, u"Continue?", u"Box", MB_OKCANCEL), IDCANCEL);
}

} // namespace

namespace {

TEST(ClipboardTest, EmptyingNeedsTheClipboardOpen)
{
    SDL_SetClipboardText("left over");
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr)); // already open
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());
    char* text = SDL_GetClipboardText();
    EXPECT_STREQ(text, "");
    SDL_free(text);
}

TEST(AygShellTest, TheHandheldShellCallsSucceedAndDoNothing)
{
    SHINITDLGINFO init{SHIDIM_FLAGS, nullptr, SHIDIF_FULLSCREENNOMENUBAR};
    EXPECT_TRUE(SHInitDialog(&init));
    EXPECT_TRUE(SHFullScreen(nullptr, SHFS_HIDESIPBUTTON | SHFS_SHOWTASKBAR | SHFS_SHOWSTARTICON));
    EXPECT_TRUE(SipShowIM(SIPF_OFF));
    SHMENUBARINFO bar{};
    bar.hwndMB = reinterpret_cast<HWND>(1);
    EXPECT_TRUE(SHCreateMenuBar(&bar));
    EXPECT_EQ(bar.hwndMB, nullptr);
}

} // namespace
