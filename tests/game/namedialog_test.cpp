#include "namedialog.h"

#include "game_reset.h"
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

// How a dialog is answered: a name typed and Return, or set and OK, or set and Escape.
enum CLOSE { TYPED_RETURN, SET_OK, SET_ESCAPE };
struct ANSWER {
    LANGID language;
    const char16_t* recent;
    CLOSE close;
    std::u16string entered, name, recentAfter;
    std::u16string seen; // title, the prompt's start, the names offered, the one selected, the main window off
};
const ANSWER* g_answer = nullptr;
std::u16string g_seen;
HWND g_main = nullptr;

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
    HWND combo = GetDlgItem(dialog, IDC_PLAYER_NAME);
    g_seen = windowText(dialog) + u"|" + windowText(GetDlgItem(dialog, -1)).substr(0, 9) + u"|";
    for (LRESULT i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
        WCHAR item[256] = {};
        SendMessageW(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(item));
        g_seen += item + std::u16string(u",");
    }
    g_seen += Utf8ToUtf16(std::to_string(SendMessageW(combo, CB_GETCURSEL, 0, 0))) + (IsWindowEnabled(g_main) ? u"|on" : u"|off");
    const ANSWER& a = *g_answer;
    a.close == TYPED_RETURN ? PushText(dialog, Utf16ToUtf8(a.entered).c_str())
                            : (void)SetDlgItemTextW(dialog, IDC_PLAYER_NAME, a.entered.c_str());
    EXPECT_TRUE(a.language != LANGID_ESPERANTO || SaveWindowPng(dialog, "name_dialog_eo.png"));
    a.close == SET_OK ? (void)SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0)
                      : PushKey(dialog, a.close == SET_ESCAPE ? SDLK_ESCAPE : SDLK_RETURN, true);
}

} // namespace

// A name already in the list moves to its front, once; Escape takes the text too, at most 255
// characters of it. The main window is off while the dialog runs.
TEST(NameDialog, OffersTheRecentNamesAndTakesTheNameHoweverItCloses)
{
    ResetGameState();
    ASSERT_TRUE(RegisterGuiLibDialogClass() && RegisterGuiLibDialogClass()); // a second start-up registration is harmless
    RegisterRecordingClass();
    g_main = CreateWindowExW(0, u"RecordingWindow", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(g_main);
    const std::u16string z255(255, u'z'), english = u"New High Score!|Congratul|";
    const ANSWER cases[]
        = {{LANGID_ENGLISH, u"Ada;Bea;Cy;", TYPED_RETURN, u"Ŝanĝo", u"Ŝanĝo", u"Ŝanĝo;Ada;Bea;Cy;", english + u"Ada,Bea,Cy,0|off"},
           {LANGID_ESPERANTO, u"Ada;Bea;Cy;", SET_OK, u"Bea", u"Bea", u"Bea;Ada;Cy;", u"Nova Alta Trafo!|Gratulon!|Ada,Bea,Cy,0|off"},
           {LANGID_ENGLISH, u"Ada;", SET_ESCAPE, std::u16string(300, u'z'), z255, z255 + u";Ada;", english + u"Ada,0|off"},
           {LANGID_ENGLISH, u"", SET_OK, u"Eve", u"Eve", u"Eve;", english + u"-1|off"}};
    for (const ANSWER& c : cases) {
        ASSERT_TRUE(SetLanguage(c.language));
        std::fill(std::begin(g_settings.szRecentNames), std::end(g_settings.szRecentNames), u'\0');
        std::u16string_view(c.recent).copy(g_settings.szRecentNames, cchRECENT_NAMES - 1);
        g_answer = &c;
        SetTimer(nullptr, 0, 30, answerFromTimer);
        EXPECT_EQ(AskPlayerName(g_main), c.name);
        EXPECT_EQ(std::u16string(g_settings.szRecentNames) + u" " + g_seen + (IsWindowEnabled(g_main) ? u"|on" : u"|off"),
                  c.recentAfter + u" " + c.seen + u"|on");
    }
    DestroyWindow(g_main);
    SetLanguage(LANGID_ENGLISH);
    PumpReady();
}
