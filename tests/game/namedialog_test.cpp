#include "namedialog.h"

#include "guilib.h"
#include "language.h"
#include "records.h"
#include "registry.h"
#include "utf.h"
#include "window_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace {

// What the running dialog showed.
struct SEEN {
    std::u16string title;
    std::u16string prompt;
    std::vector<std::u16string> items;
    int selected = -2;
    bool mainDisabled = false;
};

SEEN g_seen;
HWND g_main = nullptr;

// How a dialog is answered: a name typed and Return, or set and OK, or set and Escape.
enum CLOSE { TYPED_RETURN, SET_OK, SET_ESCAPE };
struct ANSWER {
    LANGID language;
    const char16_t* recent;
    CLOSE close;
    std::u16string entered, name, recentAfter;
    std::vector<std::u16string> items;
};
const ANSWER* g_answer = nullptr;

std::u16string windowText(HWND hwnd)
{
    WCHAR text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

// Looks at the running dialog, then answers it as the test says.
void CALLBACK answerFromTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    HWND dialog = FindWindowW(u"GuiLibDefDlgClass", nullptr);
    ASSERT_TRUE(dialog);
    g_seen.title = windowText(dialog);
    g_seen.prompt = windowText(GetDlgItem(dialog, -1));
    HWND combo = GetDlgItem(dialog, IDC_PLAYER_NAME);
    for (LRESULT i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
        WCHAR item[256] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        g_seen.items.push_back(item);
    }
    g_seen.selected = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    g_seen.mainDisabled = !IsWindowEnabled(g_main);
    const ANSWER& a = *g_answer;
    if (a.close == TYPED_RETURN)
        PushText(dialog, Utf16ToUtf8(a.entered).c_str());
    else
        SetDlgItemTextW(dialog, IDC_PLAYER_NAME, a.entered.c_str());
    if (a.language == LANGID_ESPERANTO) {
        EXPECT_TRUE(SaveWindowPng(dialog, "name_dialog_eo.png"));
    }
    if (a.close == SET_OK)
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    else
        PushKey(dialog, a.close == SET_ESCAPE ? SDLK_ESCAPE : SDLK_RETURN, true);
}

class NameDialog : public testing::Test {
protected:
    void SetUp() override
    {
        registry::key(u"HKLM\\Software\\Zelnor\\NLS").erase();
        SelectLanguage("Quibo", 1);
        ASSERT_TRUE(RegisterGuiLibDialogClass());
        ASSERT_TRUE(RegisterGuiLibDialogClass()); // a second start-up registration is harmless
        RegisterRecordingClass();
        g_main = CreateWindowExW(0, u"RecordingWindow", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(g_main);
    }
    void TearDown() override
    {
        DestroyWindow(g_main);
        SetLanguage(LANGID_ENGLISH);
        PumpReady();
    }
};

} // namespace

// A name already in the list moves to its front, once; Escape takes the text too, at most 255
// characters of it.
TEST_F(NameDialog, OffersTheRecentNamesAndTakesTheNameHoweverItCloses)
{
    const std::u16string z255(255, u'z');
    const ANSWER cases[]
        = {{LANGID_ENGLISH, u"Ada;Bea;Cy;", TYPED_RETURN, u"Ŝanĝo", u"Ŝanĝo", u"Ŝanĝo;Ada;Bea;Cy;", {u"Ada", u"Bea", u"Cy"}},
           {LANGID_ESPERANTO, u"Ada;Bea;Cy;", SET_OK, u"Bea", u"Bea", u"Bea;Ada;Cy;", {u"Ada", u"Bea", u"Cy"}},
           {LANGID_ENGLISH, u"Ada;", SET_ESCAPE, std::u16string(300, u'z'), z255, z255 + u";Ada;", {u"Ada"}},
           {LANGID_ENGLISH, u"", SET_OK, u"Eve", u"Eve", u"Eve;", {}}};
    for (const ANSWER& c : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << (&c - cases));
        ASSERT_TRUE(SetLanguage(c.language));
        std::fill(std::begin(g_settings.szRecentNames), std::end(g_settings.szRecentNames), u'\0');
        std::u16string_view(c.recent).copy(g_settings.szRecentNames, cchRECENT_NAMES - 1);
        g_seen = {};
        g_answer = &c;
        SetTimer(nullptr, 0, 30, answerFromTimer);
        EXPECT_EQ(AskPlayerName(g_main), c.name);
        EXPECT_EQ(std::u16string(g_settings.szRecentNames), c.recentAfter);
        EXPECT_EQ(g_seen.items, c.items);
        EXPECT_EQ(g_seen.selected, c.items.empty() ? -1 : 0);
        EXPECT_EQ(g_seen.title, c.language == LANGID_ENGLISH ? u"New High Score!" : u"Nova Alta Trafo!");
        EXPECT_EQ(g_seen.prompt.substr(0, 9), c.language == LANGID_ENGLISH ? u"Congratul" : u"Gratulon!");
        EXPECT_TRUE(g_seen.mainDisabled);
        EXPECT_TRUE(IsWindowEnabled(g_main));
    }
}
