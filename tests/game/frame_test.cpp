#include "frame.h"

#include "game.h"
#include "language.h"
#include "layout.h"
#include "media.h"
#include "records.h"
#include "screens.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

void send(HWND main, UINT message, WPARAM wParam)
{
    SendMessageW(main, message, wParam, 0);
}

SETTINGS storedSettings()
{
    SETTINGS stored{};
    registry::value(GameKey(), u"Settings").readVersioned(RECORD_VERSION, &stored, sizeof stored);
    return stored;
}

} // namespace

// A first start (no records) up to its first screen, the intro left out; then the main window's
// commands, as its buttons send them.
TEST(Frame, AFirstStartThenTheCommandsOfTheMainWindow)
{
    GameKey().erase();
    ASSERT_TRUE(StartUp(nullptr));
    ASSERT_TRUE(LoadImages());
    HWND main = CreateMainWindow();
    ASSERT_TRUE(main);
    ShowFirstScreen();
    EXPECT_EQ(CurrentScreen(), SCREEN_TUTORIAL);

    RECT window;
    GetWindowRect(main, &window);
    const RECT layout{0, 0, LayoutNumber("cxWINDOW"), LayoutNumber("cyWINDOW")};
    EXPECT_TRUE(EqualRect(&window, &layout));
    RECT control;
    GetClientRect(GetDlgItem(main, 1001), &control);
    EXPECT_TRUE(EqualRect(&control, &layout));

    const struct {
        UINT message;
        WPARAM wParam;
        int screen;
        bool active, paused;
    } steps[] = {
        {WM_COMMAND, 1022, SCREEN_PLAY, true, false}, // the first tutorial's Done starts a game
        {WM_COMMAND, 1002, SCREEN_MENU, true, true}, // the menu pauses it
        {WM_COMMAND, 1008, SCREEN_TUTORIAL, true, true},     {WM_COMMAND, 1022, SCREEN_MENU, true, true}, // a game is on: back to the menu
        {WM_COMMAND, 1009, SCREEN_OPTIONS, true, true},      {WM_COMMAND, 1019, SCREEN_MENU, true, true},
        {WM_COMMAND, 1010, SCREEN_HIGHSCORES, true, true},   {WM_COMMAND, 1023, SCREEN_MENU, true, true},
        {WM_COMMAND, 1013, SCREEN_PLAY, true, false}, // leaving the menu resumes
        {WM_COMMAND, 1003, SCREEN_PLAY, true, true},         {WM_COMMAND, 1003, SCREEN_PLAY, true, false},
        {WM_ACTIVATE, WA_INACTIVE, SCREEN_PLAY, true, true}, // deactivation pauses
        {WM_ACTIVATE, WA_ACTIVE, SCREEN_PLAY, true, true}, // and activation does not resume
        {WM_COMMAND, 1004, SCREEN_PLAY, true, false},        {WM_COMMAND, 1024, SCREEN_PLAY, true, false},
    };
    for (const auto& step : steps) {
        send(main, step.message, step.wParam);
        EXPECT_EQ(CurrentScreen(), step.screen) << step.wParam;
        EXPECT_EQ(g_game.fActive != 0, step.active) << step.wParam;
        EXPECT_EQ(g_game.fPaused != 0, step.paused) << step.wParam;
    }

    // Options change and are stored at once.
    const SETTINGS before = g_settings;
    for (WPARAM option : {1014, 1015, 1016, 1017})
        send(main, WM_COMMAND, option);
    const SETTINGS stored = storedSettings();
    EXPECT_EQ(stored.iEffects, (before.iEffects + 1) % 3);
    EXPECT_EQ(stored.fSmoothAnimation, !before.fSmoothAnimation);
    EXPECT_EQ(stored.fSoundEffects, !before.fSoundEffects);
    EXPECT_EQ(stored.fMusic, !before.fMusic);
    send(main, WM_COMMAND, 1018);
    EXPECT_EQ(CurrentLanguageId(), LANGID_ESPERANTO);
    send(main, WM_COMMAND, 1018);
    EXPECT_EQ(CurrentLanguageId(), LANGID_ENGLISH);

    // Exit closes the window; the shutdown writes the records back.
    g_settings.dwReserved = 0x1234;
    send(main, WM_COMMAND, 1005);
    EXPECT_FALSE(IsWindow(main));
    ShutDown();
    EXPECT_EQ(storedSettings().dwReserved, 0x1234u);
}
