// The screen switch and the screens around the play screen, on the large layout: the menu, the
// options, the tutorial's pages and the high-score table.
#include "screens.h"

#include "aux_control.h"
#include "cea_graphic.h"
#include "cea_main.h"
#include "cea_object.h"
#include "cea_window.h"
#include "display.h"
#include "game.h"
#include "highscores.h"
#include "language.h"
#include "layout.h"
#include "media.h"
#include "records.h"
#include "screens_fixture.h"
#include "sequencer.h"
#include "tile.h"
#include "tutorial.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

extern int g_newGames;

// What one screen puts in the window.
struct SEEN {
    std::set<int> commands;
    std::vector<ANIMTEXT*> texts;
    std::vector<ANIMOBJECT*> pictures;
    std::vector<ANIMOBJECT*> tiles;
    std::u16string Texts() const // in the order they were made
    {
        std::u16string joined;
        for (ANIMTEXT* text : texts)
            joined += std::u16string(text->GetText().Wide()) + u"|";
        return joined;
    }
};

class ScreenSwitch : public Screens {
protected:
    static SEEN Seen()
    {
        SEEN seen;
        for (ANIMOBJECT* o = window->FirstObject(); o; o = o->next) {
            ANIMCONTROL* control = ANIMCONTROL::FromObject(o);
            if (control && control->Kind() == kControlButton)
                seen.commands.insert(control->GetId());
            else if (control)
                seen.texts.push_back(static_cast<ANIMTEXT*>(control));
            else
                (TileOf(o) ? seen.tiles : seen.pictures).push_back(o);
        }
        return seen;
    }
};

TEST_F(ScreenSwitch, EachSwitchLeavesOnlyTheNewScreensElements)
{
    const std::set<int> commands[6]
        = {{},          {1002, 1003, 1004, 1006, 1007}, {1008, 1009, 1010, 1011, 1012, 1013}, {1014, 1015, 1016, 1018, 1019}, {1021, 1022},
           {1023, 1025}};
    for (int from = SCREEN_PLAY; from <= SCREEN_HIGHSCORES; ++from) {
        for (int to = SCREEN_PLAY; to <= SCREEN_HIGHSCORES; ++to) {
            ShowScreen(from, false);
            ShowScreen(to, false);
            ASSERT_EQ(std::pair(CurrentScreen(), OpenPackName()), std::pair(to, string("quibo-l-hi.res")));
            const SEEN seen = Seen();
            // The board's tiles have objects on the play screen only; the tutorial has its samples.
            const size_t tiles = to == SCREEN_PLAY ? 12 : to == SCREEN_TUTORIAL ? 3 : 0, texts[6] = {0, seen.texts.size(), 5, 8, 1, 36};
            EXPECT_EQ(std::tuple(seen.commands, seen.tiles.size(), seen.texts.size()), std::tuple(commands[to], tiles, texts[to]))
                << from << " to " << to;
        }
    }
    ShowScreen(SCREEN_NONE, false);
    EXPECT_TRUE(Seen().commands.empty() && Seen().texts.empty() && Seen().tiles.empty());
}

TEST_F(ScreenSwitch, ASwitchCompletesWhatIsStillScheduled)
{
    ShowScreen(SCREEN_PLAY, false);
    const DWORD later = window->GetCurrentFrame() + 100;
    ASSERT_TRUE(window->ScheduleAppEvent(later, 4242, 0));
    ASSERT_TRUE(window->ScheduleObjectEvent(later, g_game.rgBoard[0][0].pObject, 0, nullptr));
    events = 0;
    ShowScreen(SCREEN_MENU, false);
    EXPECT_TRUE(events == 1 && window->GetCurrentFrame() >= later);

    const int games = g_newGames;
    ShowScreen(SCREEN_MENU, false);
    ShowScreen(SCREEN_PLAY, true);
    EXPECT_EQ(g_newGames, games + 1);
}

// Each option row shows its prompt and its value in the language chosen (the large layout has no
// music row); a stored effects level beyond the three reads as the highest.
TEST_F(ScreenSwitch, EachOptionShowsItsValueInTheLanguageChosen)
{
    const struct {
        LANGID language;
        uint32_t effects, smooth, sounds;
        const char16_t* shown;
    } cases[] = {
        {LANGID_ENGLISH, 0, 0, 0, u"Effects:|None|Animation:|Off|Sound effects:|Off|Language:|English|"},
        {LANGID_ENGLISH, 1, 1, 1, u"Effects:|Some|Animation:|On|Sound effects:|On|Language:|English|"},
        {LANGID_ENGLISH, 2, 0, 0, u"Effects:|All|Animation:|Off|Sound effects:|Off|Language:|English|"},
        {LANGID_ENGLISH, 7, 0, 1, u"Effects:|All|Animation:|Off|Sound effects:|On|Language:|English|"},
        {LANGID_ESPERANTO, 0, 1, 0, u"Efektoj:|Neniuj|Animacio:|Ŝaltite|Sonefektoj:|Malŝaltite|Lingvo:|Esperanto|"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetLanguage(c.language));
        ShowScreen(SCREEN_OPTIONS, false);
        g_settings.iEffects = c.effects, g_settings.fSmoothAnimation = c.smooth, g_settings.fSoundEffects = c.sounds;
        RefreshTexts(false);
        EXPECT_EQ(Seen().Texts(), c.shown);
        g_settings.iEffects = EFFECTS_NONE;
    }
}

// Back from the first page stays there, Next on the last page too; each page shows its text and
// its sample tiles, a quibo but where the page asks for its third tile, in a row at their places.
TEST_F(ScreenSwitch, TheTutorialPagesThroughItsTwelvePages)
{
    const UINT texts[cTUTORIAL_PAGES] = {50, 56, 62, 68, 72, 84, 96, 100, 112, 118, 124, 128};
    ShowScreen(SCREEN_TUTORIAL, false);
    const int step = TileSize().cx + LayoutNumber("cxTILES_SPACING");
    const int x = LayoutNumber("object-tutorial xTILES"), y = LayoutNumber("object-tutorial yTILES");
    int page = 0;
    for (int direction : {-1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, -1, 1}) {
        TutorialStep(direction);
        page = std::clamp(page + direction, 0, cTUTORIAL_PAGES - 1);
        ASSERT_EQ(TutorialPage(), page);
        const SEEN seen = Seen();
        const std::set<int> commands = page == 0 ? std::set{1021, 1022} : page == 11 ? std::set{1020, 1022} : std::set{1020, 1021, 1022};
        ASSERT_TRUE(TutorialGuide() && seen.texts.size() == 1);
        EXPECT_EQ(std::tuple(seen.commands, TutorialGuide()->GetId(), std::u16string(seen.texts[0]->GetText().Wide())),
                  std::tuple(commands, page < 11 ? 1021 : 1022, LoadCatalogString(texts[page])))
            << page;
        const PIECE* t = g_tutorialPages[page].rgTiles; // pages 5 and 7 ask for the third tile
        EXPECT_TRUE(g_tutorialPages[page].idText == texts[page] && t[0].fPresent && t[1].fPresent
                    && (page == 5 || page == 7 || IsQuibo(t[0], t[1], t[2])))
            << page;
        const auto at = [](int x, int y, const PIECE& tile) {
            return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(TileIndex(tile));
        };
        std::set<std::string> shown, expected;
        for (ANIMOBJECT* o : seen.tiles)
            shown.insert(at(o->GetPosition().x, o->GetPosition().y, *TileOf(o)));
        for (int i = 0; i < cTUTORIAL_TILES; ++i)
            if (t[i].fPresent)
                expected.insert(at(x + step * i, y, t[i]));
        EXPECT_EQ(shown, expected) << page;
    }
    // The page starts again at the first each time the tutorial is shown.
    ShowScreen(SCREEN_MENU, false);
    ShowScreen(SCREEN_TUTORIAL, false);
    EXPECT_EQ(TutorialPage(), 0);
}

// Each row shows its rank and its date; one row can be highlighted, all its fields in yellow.
// The table's rows one below the other, each with its rank, name, date and time, and one row
// highlighted in yellow; the banner of the mode in the language chosen.
TEST_F(ScreenSwitch, TheHighScoreScreenShowsItsModeAndHighlightsOneRow)
{
    const struct {
        int mode, row, shownMode, shownRow;
        LANGID language;
    } cases[] = {{0, -1, 0, -1, LANGID_ENGLISH}, {1, -1, 1, -1, LANGID_ENGLISH}, {2, 3, 2, 3, LANGID_ENGLISH},
                 {2, 8, 2, 8, LANGID_ESPERANTO}, {7, 12, 0, -1, LANGID_ENGLISH}, {-1, 0, 0, 0, LANGID_ESPERANTO}};
    for (const auto& c : cases) {
        SetLanguage(c.language);
        ShowHighScores(c.mode, c.row);
        const SEEN seen = Seen();
        ASSERT_TRUE(CurrentScreen() == SCREEN_HIGHSCORES && seen.pictures.size() == 1 && seen.texts.size() == 36);
        EXPECT_EQ(seen.pictures[0]->graphic, g_media.rgBanners[c.language == LANGID_ENGLISH ? SET_ENGLISH : SET_ESPERANTO][c.shownMode]);
        std::string colors;
        for (ANIMTEXT* t : seen.texts)
            colors += t->GetColor(kColorText) == crHIGHLIGHT ? 'Y' : t->GetColor(kColorText) == crTEXT ? '-' : '?';
        EXPECT_EQ(seen.Texts(),
                  u"1.|Marta|16 Mar 2002|4:30|2.|Ludoviko|5 Jun 2002|5:00|3.|Klara|18 Dec 2002|6:45|4.|Petro|20 Mar 2002|7:15|"
                  u"5.|Ilona|2 Jul 2002|10:00|6.|Jakobo|23 Jul 2002|12:30|7.|Sofia|2 Nov 2000|14:15|8.|Vera|3 Sep 2000|15:00|"
                  u"9.|Tomaso|29 Jul 2000|17:45|");
        EXPECT_EQ(colors, c.shownRow < 0 ? std::string(36, '-') : std::string(36, '-').replace(4 * c.shownRow, 4, "YYYY")) << c.mode;
        EXPECT_EQ(seen.texts[8]->GetRect().top - seen.texts[0]->GetRect().top, 2 * LayoutNumber("cyHIGHSPACE"));
    }
}
