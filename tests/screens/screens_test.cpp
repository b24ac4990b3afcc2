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
#include "sequencer.h"
#include "tile.h"
#include "tutorial.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

extern int g_newGames;

namespace {

// What one screen puts in the window.
struct SEEN {
    std::set<int> commands;
    std::vector<ANIMTEXT*> texts;
    std::vector<ANIMOBJECT*> pictures;
    std::vector<ANIMOBJECT*> tiles;
};

int g_events = 0;
// The main window's part: count the events and hand the sequencer its own.
LRESULT CountEvents(AnimWindow*, UINT code, WPARAM a, LPARAM b)
{
    if (code == kAnimEvent) {
        ++g_events;
        SequencerEvent(DWORD(a), reinterpret_cast<ANIMOBJECT*>(b));
    }
    return 1;
}

class Screens : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("QUIBO_DISPLAY", "1024x768", 1);
        ASSERT_TRUE(InitAnimEngine(nullptr, 0));
        SelectLanguage("Quibo", 1);
        ASSERT_TRUE(ChoosePack());
        ASSERT_EQ(OpenPackName(), "quibo-l-hi.res");
        ASSERT_TRUE(LoadImages());
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

    // A board of twelve tiles in three rows of four, without objects.
    void SetUp() override
    {
        SetLanguage(LANGID_ENGLISH);
        DefaultSettings();
        g_settings.iEffects = EFFECTS_NONE; // every element at its place at once
        DefaultHighScores();
        g_game = {};
        g_game.fActive = 1;
        BuildDeck();
        for (int i = 0; i < 12; ++i)
            g_game.rgBoard[i / 4][i % 4] = g_game.rgDeck[g_game.iNextTile++];
    }

    void TearDown() override { ShowScreen(SCREEN_NONE, false); }

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

    // The text of the field at an element's place in the layout, "?" for none.
    static std::u16string FieldAt(const std::string& element, int yOffset = 0, COLORREF* color = nullptr)
    {
        const int left = LayoutNumber((element + " left").c_str()), top = LayoutNumber((element + " top").c_str()) + yOffset;
        for (ANIMTEXT* text : Seen().texts) {
            if (text->GetRect().left == left && text->GetRect().top == top) {
                if (color)
                    *color = text->GetColor(kColorText);
                return std::u16string(text->GetText().Wide());
            }
        }
        return u"?";
    }

    static HWND hwnd;
    static AnimWindow* window;
};
HWND Screens::hwnd = nullptr;
AnimWindow* Screens::window = nullptr;

TEST_F(Screens, EachSwitchLeavesOnlyTheNewScreensElements)
{
    const std::set<int> commands[6]
        = {{},          {1002, 1003, 1004, 1006, 1007}, {1008, 1009, 1010, 1011, 1012, 1013}, {1014, 1015, 1016, 1018, 1019}, {1021, 1022},
           {1023, 1025}};
    for (int from = SCREEN_PLAY; from <= SCREEN_HIGHSCORES; ++from) {
        for (int to = SCREEN_PLAY; to <= SCREEN_HIGHSCORES; ++to) {
            ShowScreen(from, false);
            ShowScreen(to, false);
            ASSERT_EQ(CurrentScreen(), to);
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

TEST_F(Screens, ASwitchCompletesWhatIsStillScheduled)
{
    ShowScreen(SCREEN_PLAY, false);
    const DWORD later = window->GetCurrentFrame() + 100;
    ASSERT_TRUE(window->ScheduleAppEvent(later, 4242, 0));
    ASSERT_TRUE(window->ScheduleObjectEvent(later, g_game.rgBoard[0][0].pObject, 0, nullptr));
    g_events = 0;
    ShowScreen(SCREEN_MENU, false);
    EXPECT_TRUE(g_events == 1 && window->GetCurrentFrame() >= later);

    // A tile still flying in lands at once when the play screen is built again, and the
    // counted flight is over.
    ShowScreen(SCREEN_PLAY, false);
    ANIMOBJECT* tile = g_game.rgBoard[1][2].pObject;
    const RECT slot = tile->GetRect();
    tile->SetRect(TilePosition(-1, 1, false));
    Fly(tile, slot, false, false);
    ASSERT_EQ(FlightsInProgress(), 0); // the flight starts on the next frame
    window->AdvanceTo(window->GetCurrentFrame());
    ASSERT_EQ(FlightsInProgress(), 1);
    RebuildScreen();
    EXPECT_TRUE(g_game.rgBoard[1][2].pObject == tile && EqualRect(&tile->rect, &slot) && FlightsInProgress() == 0);

    const int games = g_newGames;
    ShowScreen(SCREEN_MENU, false);
    ShowScreen(SCREEN_PLAY, true);
    EXPECT_EQ(g_newGames, games + 1);
}

// Each option row shows its prompt and its value in the language chosen (the large layout has no
// music row); a stored effects level beyond the three reads as the highest.
TEST_F(Screens, EachOptionShowsItsValueInTheLanguageChosen)
{
    const struct {
        LANGID language;
        uint32_t effects, smooth, sounds;
        const char16_t* shown;
    } cases[] = {
        {LANGID_ENGLISH, 0, 0, 0, u"Effects: None|Animation: Off|Sound effects: Off|Language: English|"},
        {LANGID_ENGLISH, 1, 1, 1, u"Effects: Some|Animation: On|Sound effects: On|Language: English|"},
        {LANGID_ENGLISH, 2, 0, 0, u"Effects: All|Animation: Off|Sound effects: Off|Language: English|"},
        {LANGID_ENGLISH, 7, 0, 1, u"Effects: All|Animation: Off|Sound effects: On|Language: English|"},
        {LANGID_ESPERANTO, 0, 1, 0, u"Efektoj: Neniuj|Animacio: Ŝaltite|Sonefektoj: Malŝaltite|Lingvo: Esperanto|"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetLanguage(c.language));
        ShowScreen(SCREEN_OPTIONS, false);
        g_settings.iEffects = c.effects, g_settings.fSmoothAnimation = c.smooth, g_settings.fSoundEffects = c.sounds;
        RefreshTexts(false);
        std::u16string shown;
        for (const char* row : {"effects", "animation", "sounds", "language"})
            shown += FieldAt(std::string("text-") + row + "-prompt") + u" " + FieldAt(std::string("text-") + row + "-setting") + u"|";
        EXPECT_EQ(shown, c.shown);
        g_settings.iEffects = EFFECTS_NONE;
    }
}

// Back from the first page stays there, Next on the last page too; each page shows its text and
// its sample tiles, a quibo but where the page asks for its third tile, in a row at their places.
TEST_F(Screens, TheTutorialPagesThroughItsTwelvePages)
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
        std::set<int> commands = {1022};
        if (page > 0)
            commands.insert(1020);
        if (page < 11)
            commands.insert(1021);
        ASSERT_TRUE(TutorialGuide() && seen.texts.size() == 1);
        EXPECT_EQ(std::tuple(seen.commands, TutorialGuide()->GetId(), std::u16string(seen.texts[0]->GetText().Wide())),
                  std::tuple(commands, page < 11 ? 1021 : 1022, LoadCatalogString(texts[page])))
            << page;
        const PIECE* t = g_tutorialPages[page].rgTiles; // pages 5 and 7 ask for the third tile
        EXPECT_TRUE(g_tutorialPages[page].idText == texts[page] && t[0].fPresent && t[1].fPresent
                    && (page == 5 || page == 7 || IsQuibo(t[0], t[1], t[2])))
            << page;
        std::set<std::string> shown, expected;
        for (ANIMOBJECT* o : seen.tiles)
            shown.insert(std::to_string(o->GetPosition().x) + "," + std::to_string(o->GetPosition().y) + " "
                         + std::to_string(TileIndex(*TileOf(o))));
        for (int i = 0; i < cTUTORIAL_TILES; ++i)
            if (g_tutorialPages[page].rgTiles[i].fPresent)
                expected.insert(std::to_string(x + step * i) + "," + std::to_string(y) + " "
                                + std::to_string(TileIndex(g_tutorialPages[page].rgTiles[i])));
        EXPECT_EQ(shown, expected) << page;
    }
    // The page starts again at the first each time the tutorial is shown.
    ShowScreen(SCREEN_MENU, false);
    ShowScreen(SCREEN_TUTORIAL, false);
    EXPECT_EQ(TutorialPage(), 0);
}

// Each row shows its rank and its date; one row can be highlighted, all its fields in yellow.
TEST_F(Screens, TheHighScoreScreenShowsItsModeAndHighlightsOneRow)
{
    const char16_t* const dates[cHIGHSCORES] = {u"16 Mar 2002", u"5 Jun 2002", u"18 Dec 2002", u"20 Mar 2002", u"2 Jul 2002",
                                                u"23 Jul 2002", u"2 Nov 2000", u"3 Sep 2000",  u"29 Jul 2000"};
    const struct {
        int mode, row, shownMode, shownRow;
        LANGID language;
    } cases[] = {{0, -1, 0, -1, LANGID_ENGLISH}, {1, -1, 1, -1, LANGID_ENGLISH}, {2, 3, 2, 3, LANGID_ENGLISH},
                 {2, 8, 2, 8, LANGID_ESPERANTO}, {7, 12, 0, -1, LANGID_ENGLISH}, {-1, 0, 0, 0, LANGID_ESPERANTO}};
    for (const auto& c : cases) {
        SetLanguage(c.language);
        ShowHighScores(c.mode, c.row);
        ASSERT_EQ(CurrentScreen(), SCREEN_HIGHSCORES);
        const SEEN seen = Seen();
        ASSERT_EQ(seen.pictures.size(), 1u);
        EXPECT_EQ(seen.pictures[0]->graphic, g_media.rgBanners[c.language == LANGID_ENGLISH ? SET_ENGLISH : SET_ESPERANTO][c.shownMode]);
        std::u16string shown, expected;
        for (int row = 0; row < cHIGHSCORES; ++row) {
            const int dy = row * LayoutNumber("cyHIGHSPACE");
            shown += FieldAt("text-high-number", dy) + u" " + FieldAt("text-high-date", dy);
            for (const char* field : {"text-high-number", "text-high-name", "text-high-date", "text-high-score"}) {
                COLORREF color = 0;
                FieldAt(field, dy, &color);
                shown += color == crHIGHLIGHT ? u"Y" : color == crTEXT ? u"W" : u"?";
            }
            expected
                += std::u16string(string(std::to_string(row + 1) + ". ").Wide()) + dates[row] + (row == c.shownRow ? u"YYYY" : u"WWWW");
        }
        EXPECT_EQ(shown, expected) << c.mode;
    }
}

} // namespace
