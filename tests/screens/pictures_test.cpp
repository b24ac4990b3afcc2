// Pictures of every screen, for a person to look at: the menu, the options, each tutorial page
// and the high-score screen in each of its modes, in English and in Esperanto, drawn from the
// pack the display chose (QUIBO_DISPLAY picks the size). Each language also gets one sheet of
// all its screens side by side.
#include "cea_graphic.h"
#include "cea_main.h"
#include "cea_window.h"
#include "display.h"
#include "engine_test_util.h"
#include "game.h"
#include "highscores.h"
#include "language.h"
#include "layout.h"
#include "media.h"
#include "records.h"
#include "screens.h"
#include "screenshot.h"
#include "tutorial.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct SHOT {
    std::string name;
    std::vector<uint32_t> pixels;
};

// Each shot on its own, then all of them on one sheet, four across.
void WriteShots(const std::string& prefix, int w, int h, const std::vector<SHOT>& shots)
{
    const int gap = 6, across = 4, rows = (int(shots.size()) + across - 1) / across;
    const int cx = across * (w + gap) - gap, cy = rows * (h + gap) - gap;
    std::vector<uint32_t> sheet(size_t(cx) * size_t(cy), 0x606060);
    for (size_t i = 0; i < shots.size(); ++i) {
        EXPECT_TRUE(WritePng(TestOutputDir() / (prefix + "-" + shots[i].name + ".png"), w, h, shots[i].pixels));
        const int x0 = int(i % across) * (w + gap), y0 = int(i / across) * (h + gap);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                sheet[size_t(y0 + y) * size_t(cx) + size_t(x0 + x)] = shots[i].pixels[size_t(y * w + x)];
    }
    EXPECT_TRUE(WritePng(TestOutputDir() / (prefix + "-sheet.png"), cx, cy, sheet));
}

TEST(ScreenPictures, EveryScreenInBothLanguages)
{
    ASSERT_TRUE(InitAnimEngine(nullptr, 0));
    SelectLanguage("Quibo", 1);
    ASSERT_TRUE(ChoosePack());
    ASSERT_TRUE(LoadImages());
    const std::string pack = OpenPackName().c_str();
    HWND hwnd = CreateWindowExW(0, u"AnimWindow", u"screens", WS_POPUP | WS_VISIBLE, 0, 0, LayoutNumber("cxWINDOW"),
                                LayoutNumber("cyWINDOW"), nullptr, nullptr, nullptr, nullptr);
    AnimWindow* window = AnimWindow::FromWindow(hwnd);
    ASSERT_NE(window, nullptr);
    SetDisplayWindow(window, hwnd);
    DefaultSettings();
    g_settings.iEffects = EFFECTS_NONE; // every element at its place at once
    DefaultHighScores();
    // A new entry as the game makes it: a long name, today's date.
    EnterHighScore(3, u"Zamenhof Ĉiĉerono Ŭaŭ", 301234);

    for (LANGID language : {LANGID_ENGLISH, LANGID_ESPERANTO}) {
        ASSERT_TRUE(SetLanguage(language));
        std::vector<SHOT> shots;
        const auto take = [&](const std::string& name) {
            window->PaintNow();
            shots.push_back({name, Pixels(*window->screen)});
        };
        ShowScreen(SCREEN_MENU, false);
        take("menu");
        ShowScreen(SCREEN_OPTIONS, false);
        take("options");
        ShowScreen(SCREEN_TUTORIAL, false);
        for (int page = 0; page < cTUTORIAL_PAGES; ++page) {
            take("tutorial" + std::to_string(page));
            TutorialStep(1);
        }
        for (int mode = 0; mode < 3; ++mode) {
            ShowHighScores(mode, mode == 2 ? 3 : -1);
            take("highscores" + std::to_string(mode));
        }
        ShowScreen(SCREEN_NONE, false);
        WriteShots(pack.substr(0, pack.find('.')) + (language == LANGID_ENGLISH ? "-en" : "-eo"), window->GetWidth(), window->GetHeight(),
                   shots);
    }
    DestroyWindow(hwnd);
    FreeImages();
    ClosePack();
}

} // namespace
