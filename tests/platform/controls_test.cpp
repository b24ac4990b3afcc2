// The standard controls on their own: typing and selecting in an edit, a combo box's list,
// a progress bar's range, and message boxes.
#include "last_error.h"
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
    HWND top = nullptr;
};

TEST_F(ControlsTest, AnEditTakesTypedTextMovesItsCaretSelectsWithMouseAndKeysCopiesAndPastes)
{
    HWND edit = Child(u"Edit", WS_BORDER | ES_AUTOHSCROLL, 24);
    SetFocus(edit);
    Keys({}, 0, "Ŝanĝo");
    const Selection typed = Selected(edit);
    Keys({SDLK_LEFT, SDLK_LEFT, SDLK_BACKSPACE});
    const std::u16string removed = Text(edit);
    Keys({SDLK_HOME, SDLK_DELETE});
    Keys({SDLK_END}, 0, "!");
    const std::u16string appended = Text(edit);
    // Shift extends the selection; typing replaces it.
    Keys({SDLK_LEFT, SDLK_LEFT}, SDLK_LSHIFT);
    const Selection selected = Selected(edit);
    Keys({}, 0, "x");
    EXPECT_EQ(std::make_tuple(typed, removed, appended, selected, Text(edit)),
              std::make_tuple(Selection(5, 5), u"Ŝaĝo", u"aĝo!", Selection(2, 4), u"aĝx"));
    SetFocus(top);
    PushButton(top, true, 13, 20);
    PushMotion(top, 205, 20);
    PushButton(top, false, 205, 20);
    PumpReady();
    EXPECT_EQ(std::make_tuple(GetFocus(), Selected(edit), GetCapture()), std::make_tuple(edit, Selection(0, 3), HWND(nullptr)));
    HWND copy = Child(u"Edit", WS_BORDER, 24, u"kopio");
    SetFocus(copy);
    Keys({SDLK_a, SDLK_c}, SDLK_LCTRL);
    const Selection all = Selected(copy);
    Keys({SDLK_END});
    Keys({SDLK_v}, SDLK_LCTRL);
    EXPECT_EQ(std::make_pair(all, Text(copy)), std::make_pair(Selection(0, 5), std::u16string(u"kopiokopio")));
}

TEST_F(ControlsTest, AComboBoxDropsItsListAndTakesAChoice)
{
    HWND combo = Child(u"ComboBox", CBS_DROPDOWN, 120);
    for (const char16_t* name : {u"Unu", u"Du", u"Tri"})
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    EXPECT_EQ(
        std::vector<LRESULT>({SendMessageW(combo, CB_SETCURSEL, 2, 0), Text(combo) == u"Tri", SendMessageW(combo, CB_SETCURSEL, 3, 0)}),
        std::vector<LRESULT>({2, 1, CB_ERR}));

    RECT rect, listRect;
    GetWindowRect(combo, &rect);
    PushButton(top, true, rect.right - 5, 15);
    PushButton(top, false, rect.right - 5, 15);
    PumpReady();
    HWND list = FindWindowW(u"ComboLBox", nullptr);
    GetWindowRect(list, &listRect);
    EXPECT_TRUE(rect.bottom - rect.top < 40 && listRect.top == rect.bottom); // the edit's height, not the list's
    SaveWindowPng(list, "combo_list.png");
    // The list holds the mouse: a click on its first row picks that item. The arrow keys step
    // through the items from the edit.
    PushButton(list, true, 20, 5);
    PushButton(list, false, 20, 5);
    PumpReady();
    const std::u16string picked = Text(combo);
    SetFocus(combo);
    Keys({SDLK_DOWN});
    EXPECT_EQ(std::make_tuple(FindWindowW(u"ComboLBox", nullptr), picked, Text(combo)), std::make_tuple(HWND(nullptr), u"Unu", u"Du"));
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
    // Owner, type, answer.
    const std::tuple<HWND, UINT, int> boxes[]
        = {{top, MB_OK | MB_ICONINFORMATION, IDOK}, {top, MB_OKCANCEL | MB_ICONHAND, IDOK}, {nullptr, MB_OKCANCEL, IDCANCEL}};
    for (const auto& [owner, type, answer] : boxes) {
        SetTimer(nullptr, 0, 20, AnswerBox);
        EXPECT_EQ((std::pair<int, BOOL>{MessageBoxW(owner, u"Quibo was unable to load graphics.", u"Box", type), IsWindowEnabled(top)}),
                  std::make_pair(answer, TRUE));
    }
}

TEST(ClipboardTest, EmptyingNeedsTheClipboardOpen)
{
    SDL_SetClipboardText("left over");
    // Not opened twice, nor closed twice.
    EXPECT_EQ(std::vector<DWORD>({ErrorOf(EmptyClipboard()), DWORD(OpenClipboard(nullptr)), DWORD(OpenClipboard(nullptr)),
                                  DWORD(EmptyClipboard()), DWORD(CloseClipboard()), DWORD(CloseClipboard())}),
              std::vector<DWORD>({ERROR_CLIPBOARD_NOT_OPEN, TRUE, FALSE, TRUE, TRUE, FALSE}));
    char* text = SDL_GetClipboardText();
    EXPECT_STREQ(text, "");
    SDL_free(text);
}

} // namespace
