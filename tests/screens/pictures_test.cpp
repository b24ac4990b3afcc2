// Pictures of every screen, for a person to look at: the menu, the options, each tutorial page
// and the high-score screen in each of its modes, in English and in Esperanto, drawn from the
// pack the display chose (QUIBO_DISPLAY picks the size), as test-output/<pack>-<language>-<screen>.png.
#include "cea_graphic.h"
#include "engine_test_util.h"
#include "screens_fixture.h"
#include "screenshot.h"
#include "tutorial.h"

#include <gtest/gtest.h>
#include <string>

TEST_F(Screens, EveryScreenInBothLanguages)
{
    const std::string pack = OpenPackName().c_str();
    EnterHighScore(3, u"Zamenhof Ĉiĉerono Ŭaŭ", 421234); // a new fourth entry as the game makes it: a long name, today's date
    for (LANGID language : {LANGID_ENGLISH, LANGID_ESPERANTO}) {
        ASSERT_TRUE(SetLanguage(language));
        const auto take = [&](const std::string& name) {
            window->PaintNow();
            const std::string file = pack.substr(0, pack.find('.')) + (language == LANGID_ENGLISH ? "-en-" : "-eo-") + name + ".png";
            EXPECT_TRUE(WritePng(TestOutputDir() / file, window->GetWidth(), window->GetHeight(), Pixels(*window->screen)));
        };
        ShowScreen(SCREEN_MENU, false);
        take("menu");
        ShowScreen(SCREEN_OPTIONS, false);
        take("options");
        ShowScreen(SCREEN_TUTORIAL, false);
        for (int page = 0; page < cTUTORIAL_PAGES; ++page, TutorialStep(1))
            take("tutorial" + std::to_string(page));
        for (int mode = 0; mode < 3; ++mode) {
            ShowHighScores(mode, mode == 2 ? 3 : -1);
            take("highscores" + std::to_string(mode));
        }
    }
}
