// The standard controls on their own: typing and selecting in an edit, a combo box's list,
// a progress bar's range, and message boxes.
#include "window_support.h"

#include <gtest/gtest.h>

namespace {

using Selection = std::pair<DWORD, DWORD>;

class ControlsTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 320, 200);
        ASSERT_TRUE(top);
    }
    HWND Child(LPCWSTR cls, DWORD style, int h, const char16_t* text = nullptr)
    {
        HWND hwnd = Make(WS_CHILD | WS_VISIBLE | style, 10, 10, 200, h, top, 5, cls, text);
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
    Selection Selected(HWND edit)
    {
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    // Presses the keys in turn, holding the modifier if there is one, then types the text.
    void Keys(std::initializer_list<SDL_Keycode> keys, SDL_Keycode modifier = 0, const char* text = nullptr)
    {
        if (modifier)
            PushKey(top, modifier, true);
        for (SDL_Keycode key : keys)
            PushKey(top, key, true);
        if (modifier)
            PushKey(top, modifier, false);
        if (text)
            PushText(top, text);
        PumpReady();
    }
    bool Notified(WORD code)
    {
        for (const Received& r : LogOf(WM_COMMAND))
            if (HIWORD(r.wParam) == code)
                return true;
        return false;
    }
    HWND top = nullptr;
};

TEST_F(ControlsTest, AnEditTakesTypedTextMovesItsCaretAndSelectsWithTheMouse)
{
    HWND edit = Child(u"Edit", WS_BORDER | ES_AUTOHSCROLL, 24);
    SetFocus(edit);
    Keys({}, 0, "Ŝanĝo");
    EXPECT_EQ(std::make_tuple(Text(edit), Selected(edit), Notified(EN_CHANGE)), std::make_tuple(u"Ŝanĝo", Selection(5, 5), true));
    Keys({SDLK_LEFT, SDLK_LEFT, SDLK_BACKSPACE});
    EXPECT_EQ(Text(edit), u"Ŝaĝo");
    Keys({SDLK_HOME, SDLK_DELETE});
    Keys({SDLK_END}, 0, "!");
    EXPECT_EQ(Text(edit), u"aĝo!");
    // Shift extends the selection; typing replaces it.
    Keys({SDLK_LEFT, SDLK_LEFT}, SDLK_LSHIFT);
    EXPECT_EQ(Selected(edit), Selection(2, 4));
    Keys({}, 0, "x");
    EXPECT_EQ(Text(edit), u"aĝx");
    SetFocus(top);
    PushButton(top, true, 13, 20);
    PushMotion(top, 205, 20);
    PushButton(top, false, 205, 20);
    PumpReady();
    EXPECT_EQ(std::make_tuple(GetFocus(), Selected(edit), GetCapture()), std::make_tuple(edit, Selection(0, 3), HWND(nullptr)));
}

TEST_F(ControlsTest, SelectAllCopyPasteAndTheLimit)
{
    HWND edit = Child(u"Edit", WS_BORDER, 24, u"kopio");
    SetFocus(edit);
    Keys({SDLK_a, SDLK_c}, SDLK_LCTRL);
    EXPECT_EQ(Selected(edit), Selection(0, 5));
    Keys({SDLK_END});
    Keys({SDLK_v}, SDLK_LCTRL);
    EXPECT_EQ(Text(edit), u"kopiokopio");
    SendMessageW(edit, EM_LIMITTEXT, 12, 0);
    ClearLog();
    Keys({}, 0, "abc");
    EXPECT_EQ(std::make_pair(Text(edit), Notified(EN_MAXTEXT)), std::make_pair(std::u16string(u"kopiokopioab"), true));
    SetWindowTextW(edit, u"this text is longer than twelve");
    EXPECT_EQ(GetWindowTextLengthW(edit), 12);
}

TEST_F(ControlsTest, AComboBoxDropsItsListAndTakesAChoice)
{
    HWND combo = Child(u"ComboBox", CBS_DROPDOWN, 120);
    for (const char16_t* name : {u"Unu", u"Du", u"Tri"})
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    WCHAR item[8];
    EXPECT_EQ(std::vector<LRESULT>({SendMessageW(combo, CB_GETCURSEL, 0, 0), SendMessageW(combo, CB_SETCURSEL, 2, 0), Text(combo) == u"Tri",
                                    SendMessageW(combo, CB_SETCURSEL, 3, 0),
                                    SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(u"du")),
                                    SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item))}),
              std::vector<LRESULT>({CB_ERR, 2, 1, CB_ERR, 1, 2}));
    EXPECT_EQ(std::u16string(item), u"Du");

    RECT rect;
    GetWindowRect(combo, &rect);
    EXPECT_LT(rect.bottom - rect.top, 40); // the edit's height, not the list's
    PushButton(top, true, rect.right - 5, 15);
    PushButton(top, false, rect.right - 5, 15);
    PumpReady();
    HWND list = FindWindowW(u"ComboLBox", nullptr);
    RECT listRect;
    GetWindowRect(list, &listRect);
    EXPECT_EQ(listRect.top, rect.bottom);
    SaveWindowPng(list, "combo_list.png");
    // The list holds the mouse: a click on its first row picks that item.
    ClearLog();
    PushButton(list, true, 20, 5);
    PushButton(list, false, 20, 5);
    PumpReady();
    EXPECT_EQ(std::make_tuple(FindWindowW(u"ComboLBox", nullptr), Text(combo), Notified(CBN_SELCHANGE)),
              std::make_tuple(HWND(nullptr), u"Unu", true));
    // The arrow keys step through the items from the edit; typing tells the parent.
    SetFocus(combo);
    Keys({SDLK_DOWN});
    EXPECT_EQ(Text(combo), u"Du");
    ClearLog();
    Keys({}, 0, "x");
    EXPECT_TRUE(Notified(CBN_EDITCHANGE));
}

TEST_F(ControlsTest, AProgressBarKeepsItsPositionWithinItsRange)
{
    HWND bar = Child(u"msctls_progress32", 0, 16);
    // Stepping past the end starts again.
    EXPECT_EQ(std::vector<LRESULT>({SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 50)), SendMessageW(bar, PBM_SETPOS, 80, 0),
                                    SendMessageW(bar, PBM_GETPOS, 0, 0), SendMessageW(bar, PBM_SETSTEP, 10, 0),
                                    SendMessageW(bar, PBM_STEPIT, 0, 0), SendMessageW(bar, PBM_GETPOS, 0, 0)}),
              std::vector<LRESULT>({MAKELONG(0, 100), 0, 50, 10, 50, 10}));
    SendMessageW(bar, PBM_SETPOS, 25, 0);
    UpdateWindow(top);
    // Half the bar is filled with the highlight colour, the other half is not.
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(WindowPixel(top, 15, 18), uint32_t(GetRValue(highlight) << 16 | GetGValue(highlight) << 8 | GetBValue(highlight)));
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
    const struct {
        HWND owner;
        UINT type;
        int answer;
    } boxes[] = {{top, MB_OK | MB_ICONINFORMATION, IDOK}, {top, MB_OKCANCEL | MB_ICONHAND, IDOK}, {nullptr, MB_OKCANCEL, IDCANCEL}};
    for (const auto& box : boxes) {
        SetTimer(nullptr, 0, 20, AnswerBox);
        EXPECT_EQ(MessageBoxW(box.owner, u"Quibo was unable to load graphics.", u"Box", box.type), box.answer);
        EXPECT_TRUE(IsWindowEnabled(top));
    }
}

TEST(ClipboardTest, EmptyingNeedsTheClipboardOpen)
{
    SDL_SetClipboardText("left over");
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
    // Not opened twice, nor closed twice.
    EXPECT_EQ(std::vector<BOOL>({OpenClipboard(nullptr), OpenClipboard(nullptr), EmptyClipboard(), CloseClipboard(), CloseClipboard()}),
              std::vector<BOOL>({TRUE, FALSE, TRUE, TRUE, FALSE}));
    char* text = SDL_GetClipboardText();
    EXPECT_STREQ(text, "");
    SDL_free(text);
}

} // namespace
