// What the screen suites share: the pack the display chose (QUIBO_DISPLAY picks the size, the
// large one unless set) loaded once, one window the screens are built on, and per test English,
// the default settings and high scores, every element placed at once, and a board of twelve
// tiles in three rows of four without objects.
#pragma once

#include "cea_main.h"
#include "cea_window.h"
#include "display.h"
#include "game.h"
#include "highscores.h"
#include "language.h"
#include "layout.h"
#include "media.h"
#include "records.h"
#include "screens.h"
#include "sequencer.h"

#include <cstdlib>
#include <gtest/gtest.h>

class Screens : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("QUIBO_DISPLAY", "1024x768", 0);
        ASSERT_TRUE(InitAnimEngine(nullptr, 0));
        SelectLanguage("Quibo", 1);
        ASSERT_TRUE(ChoosePack() && LoadImages());
        hwnd = CreateWindowExW(0, u"AnimWindow", u"screens", WS_POPUP | WS_VISIBLE, 0, 0, LayoutNumber("cxWINDOW"),
                               LayoutNumber("cyWINDOW"), nullptr, nullptr, nullptr, nullptr);
        window = AnimWindow::FromWindow(hwnd);
        window->SetCallback(CountEvents);
        SetDisplayWindow(window, hwnd);
    }

    static void TearDownTestSuite()
    {
        DestroyWindow(hwnd);
        FreeImages();
        ClosePack();
    }

    void SetUp() override
    {
        SetLanguage(LANGID_ENGLISH);
        DefaultSettings();
        g_settings.iEffects = EFFECTS_NONE;
        DefaultHighScores();
        g_game = {};
        g_game.fActive = 1;
        BuildDeck();
        for (int i = 0; i < 12; ++i)
            g_game.rgBoard[i / 4][i % 4] = g_game.rgDeck[g_game.iNextTile++];
    }

    void TearDown() override { ShowScreen(SCREEN_NONE, false); }

    // The main window's part: count the events and hand the sequencer its own.
    static LRESULT CountEvents(AnimWindow*, UINT code, WPARAM a, LPARAM b)
    {
        return code == kAnimEvent ? (++events, SequencerEvent(DWORD(a), reinterpret_cast<ANIMOBJECT*>(b)), 1) : 1;
    }

    static inline HWND hwnd = nullptr;
    static inline AnimWindow* window = nullptr;
    static inline int events = 0;
};
