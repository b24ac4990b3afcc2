#include <gtest/gtest.h>

#include <cstring>

#include "cea_window.h"
#include "frame.h"
#include "game.h"
#include "language.h"
#include "layout.h"
#include "media.h"
#include "records.h"
#include "registry.h"
#include "screens.h"

namespace {

// One start-up for the suite, as the program does it once per run; each test gets a fresh
// main window on the first screen of a later run.
class Frame : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        GameKey().erase();
        ASSERT_TRUE(StartUp(nullptr));
        ASSERT_TRUE(LoadImages());
    }

    void SetUp() override
    {
        m_main = CreateMainWindow();
        ASSERT_TRUE(m_main);
        ShowFirstScreen();
    }

    void TearDown() override
    {
        if (IsWindow(m_main))
            DestroyWindow(m_main);
        pump();
    }

    static void pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    void send(WORD command) { SendMessageW(m_main, WM_COMMAND, command, 0); }

    HWND m_main = nullptr;
};

} // namespace

TEST_F(Frame, TheMainWindowTakesTheLayoutSizeWithTheAnimationWindowFillingIt)
{
    RECT window;
    GetWindowRect(m_main, &window);
    EXPECT_EQ(window.left, 0);
    EXPECT_EQ(window.top, 0);
    EXPECT_EQ(window.right - window.left, LayoutNumber("cxWINDOW"));
    EXPECT_EQ(window.bottom - window.top, LayoutNumber("cyWINDOW"));
    RECT control;
    GetClientRect(GetDlgItem(m_main, 1001), &control);
    EXPECT_EQ(control.right, window.right - window.left);
    EXPECT_EQ(control.bottom, window.bottom - window.top);
    WCHAR title[32] = {};
    GetWindowTextW(m_main, title, 32);
    EXPECT_EQ(std::u16string(title), u"Quibo");
}

// The first run of the suite shows the tutorial; its Done starts the first game.
TEST_F(Frame, CommandsMoveBetweenScreensAndPauseTheGame)
{
    const struct {
        WORD command;
        int screen;
        bool active;
        bool paused;
    } steps[] = {
        {1022, SCREEN_PLAY, true, false},   // tutorial done after a first start: a game
        {1002, SCREEN_MENU, true, true},    // the menu pauses it
        {1008, SCREEN_TUTORIAL, true, true},
        {1022, SCREEN_MENU, true, true},    // a game is on: back to the menu
        {1009, SCREEN_OPTIONS, true, true},
        {1019, SCREEN_MENU, true, true},
        {1010, SCREEN_HIGHSCORES, true, true},
        {1023, SCREEN_MENU, true, true},    // a game is on: back to the menu
        {1013, SCREEN_PLAY, true, false},   // and it resumes
        {1003, SCREEN_PLAY, true, true},
        {1003, SCREEN_PLAY, true, false},
        {1004, SCREEN_PLAY, true, false},
        {1024, SCREEN_PLAY, true, false},
    };
    ASSERT_EQ(CurrentScreen(), SCREEN_TUTORIAL);
    for (const auto& step : steps) {
        send(step.command);
        EXPECT_EQ(CurrentScreen(), step.screen) << step.command;
        EXPECT_EQ(g_game.fActive != 0, step.active) << step.command;
        EXPECT_EQ(g_game.fPaused != 0, step.paused) << step.command;
    }
}

TEST_F(Frame, DeactivationPausesARunningGameAndActivationDoesNotResumeIt)
{
    send(1004);
    SendMessageW(m_main, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_TRUE(g_game.fPaused);
    SendMessageW(m_main, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(g_game.fPaused);
    send(1003);
    EXPECT_FALSE(g_game.fPaused);
}

TEST_F(Frame, OptionCommandsChangeAndStoreTheSettings)
{
    const SETTINGS before = g_settings;
    send(1014);
    send(1015);
    send(1016);
    send(1017);
    EXPECT_EQ(g_settings.iEffects, (before.iEffects + 1) % 3);
    EXPECT_EQ(g_settings.fSmoothAnimation, !before.fSmoothAnimation);
    EXPECT_EQ(g_settings.fSoundEffects, !before.fSoundEffects);
    EXPECT_EQ(g_settings.fMusic, !before.fMusic);
    SETTINGS stored{};
    ASSERT_TRUE(registry::value(GameKey(), u"Settings").readVersioned(RECORD_VERSION, &stored, sizeof stored));
    EXPECT_EQ(std::memcmp(&stored, &g_settings, sizeof stored), 0);

    send(1018);
    EXPECT_EQ(CurrentLanguageId(), LANGID_ESPERANTO);
    send(1018);
    EXPECT_EQ(CurrentLanguageId(), LANGID_ENGLISH);
}

TEST_F(Frame, ClosingTheWindowWritesBothRecords)
{
    send(1004);
    g_settings.dwReserved = 0x1234;
    send(1005);
    EXPECT_FALSE(IsWindow(m_main));
    ShutDown();
    SETTINGS stored{};
    ASSERT_TRUE(registry::value(GameKey(), u"Settings").readVersioned(RECORD_VERSION, &stored, sizeof stored));
    EXPECT_EQ(stored.dwReserved, 0x1234u);
    ASSERT_TRUE(ChoosePack()); // for the tests that follow
    ASSERT_TRUE(LoadImages());
}
