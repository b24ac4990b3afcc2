#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "../platform/window_support.h"
#include "guilib.h"
#include "language.h"
#include "namedialog.h"
#include "records.h"
#include "registry.h"

namespace {

struct SEEN {
    std::u16string className;
    std::u16string title;
    std::u16string prompt;
    std::vector<std::u16string> items;
    int selected = -2;
    bool mainDisabled = false;
};

SEEN g_seen;
HWND g_main = nullptr;
void (*g_answer)(HWND dialog) = nullptr;

std::u16string windowText(HWND hwnd)
{
    WCHAR text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

HWND findNameDialog()
{
    for (const char16_t* title : {u"New High Score!", u"Nova Alta Trafo!"})
        if (HWND dialog = FindWindowW(nullptr, title))
            return dialog;
    return nullptr;
}

// Looks at the running dialog, then answers it as the test says.
void CALLBACK answerFromTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    HWND dialog = findNameDialog();
    ASSERT_TRUE(dialog);
    WCHAR name[64] = {};
    GetClassNameW(dialog, name, 64);
    g_seen.className = name;
    g_seen.title = windowText(dialog);
    g_seen.prompt = windowText(GetDlgItem(dialog, -1));
    HWND combo = GetDlgItem(dialog, IDC_PLAYER_NAME);
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        WCHAR item[256] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        g_seen.items.push_back(item);
    }
    g_seen.selected = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    g_seen.mainDisabled = g_main && !IsWindowEnabled(g_main);
    g_answer(dialog);
}

void setRecentNames(std::u16string_view list)
{
    std::fill(std::begin(g_settings.szRecentNames), std::end(g_settings.szRecentNames), u'\0');
    list.copy(g_settings.szRecentNames, cchRECENT_NAMES - 1);
}

std::u16string recentNames()
{
    return g_settings.szRecentNames;
}

std::u16string ask(void (*answer)(HWND dialog), HWND mainWindow = nullptr)
{
    g_answer = answer;
    g_main = mainWindow;
    SetTimer(nullptr, 0, 30, answerFromTimer);
    return AskPlayerName(mainWindow);
}

class NameDialog : public testing::Test {
protected:
    void SetUp() override
    {
        registry::key(u"HKLM\\Software\\Zelnor\\NLS").erase();
        SelectLanguage("Quibo", 1);
        ASSERT_TRUE(RegisterGuiLibDialogClass());
        ASSERT_TRUE(RegisterGuiLibDialogClass()); // a second start-up registration is harmless
        g_seen = {};
        setRecentNames(u"Ada;Bea;Cy;");
    }
    void TearDown() override
    {
        SetLanguage(LANGID_ENGLISH);
        PumpReady();
    }
};

} // namespace

TEST_F(NameDialog, OffersTheRecentNamesAndReturnsTheNameTyped)
{
    const std::u16string name = ask([](HWND dialog) {
        PushText(dialog, "Ŝanĝo");
        PushKey(dialog, SDLK_RETURN, true);
    });
    EXPECT_EQ(name, u"Ŝanĝo");
    EXPECT_EQ(recentNames(), u"Ŝanĝo;Ada;Bea;Cy;");
    EXPECT_EQ(g_seen.className, u"GuiLibDefDlgClass");
    EXPECT_EQ(g_seen.title, u"New High Score!");
    EXPECT_EQ(g_seen.items, (std::vector<std::u16string>{u"Ada", u"Bea", u"Cy"}));
    EXPECT_EQ(g_seen.selected, 0);
}

TEST_F(NameDialog, InEsperantoTheEsperantoTemplateAsksAndTheMainWindowWaits)
{
    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    RegisterRecordingClass();
    HWND main = CreateWindowExW(0, u"RecordingWindow", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_TRUE(main);
    const std::u16string name = ask(
        [](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_PLAYER_NAME, u"Bea");
            EXPECT_TRUE(SaveWindowPng(dialog, "name_dialog_eo.png"));
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        },
        main);
    EXPECT_EQ(g_seen.title, u"Nova Alta Trafo!");
    EXPECT_EQ(g_seen.prompt.substr(0, 9), u"Gratulon!");
    EXPECT_TRUE(g_seen.mainDisabled);
    EXPECT_TRUE(IsWindowEnabled(main));
    DestroyWindow(main);
    // A name already in the list moves to its front, once.
    EXPECT_EQ(name, u"Bea");
    EXPECT_EQ(recentNames(), u"Bea;Ada;Cy;");
}

TEST_F(NameDialog, CancelTakesTheTextToo)
{
    const std::u16string name = ask([](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_PLAYER_NAME, std::u16string(300, u'z').c_str());
        PushKey(dialog, SDLK_ESCAPE, true);
    });
    // At most 255 characters are taken.
    EXPECT_EQ(name, std::u16string(255, u'z'));
    EXPECT_EQ(recentNames(), std::u16string(255, u'z') + u";Ada;Bea;Cy;");
}

TEST_F(NameDialog, AnEmptyListOffersNothing)
{
    setRecentNames(u"");
    const std::u16string name = ask([](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_PLAYER_NAME, u"Eve");
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    EXPECT_TRUE(g_seen.items.empty());
    EXPECT_EQ(name, u"Eve");
    EXPECT_EQ(recentNames(), u"Eve;");
}
