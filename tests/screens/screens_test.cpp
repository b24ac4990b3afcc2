// The screen switch and the screens around the play screen, on the large layout.
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
#include "memmgr.h"
#include "records.h"
#include "sequencer.h"
#include "tile.h"
#include "tutorial.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

extern int g_newGames;

namespace {

constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kYellow = 0x0000FFFF;

// What one screen puts in the window.
struct SEEN {
    std::set<int> commands;
    std::vector<ANIMTEXT*> texts;
    std::vector<ANIMOBJECT*> pictures;
    std::vector<ANIMOBJECT*> tiles;
};

const std::set<int> kCommands[6] = {
    {}, {1002, 1003, 1004, 1006, 1007}, {1008, 1009, 1010, 1011, 1012, 1013}, {1014, 1015, 1016, 1018, 1019}, {1021, 1022}, {1023, 1025}};

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
        ASSERT_NE(window, nullptr);
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
        DealTwelve();
    }

    void TearDown() override { ShowScreen(SCREEN_NONE, false); }

    // A board of twelve tiles in three rows of four, without objects.
    static void DealTwelve()
    {
        g_game = {};
        g_game.fActive = 1;
        BuildDeck();
        for (int i = 0; i < 12; ++i)
            g_game.rgBoard[i / 4][i % 4] = g_game.rgDeck[g_game.iNextTile++];
    }

    static SEEN Seen()
    {
        SEEN seen;
        for (ANIMOBJECT* o = window->FirstObject(); o; o = o->next) {
            if (ANIMCONTROL* control = ANIMCONTROL::FromObject(o)) {
                if (control->Kind() == kControlButton)
                    seen.commands.insert(control->GetId());
                else
                    seen.texts.push_back(static_cast<ANIMTEXT*>(control));
            } else if (TileOf(o)) {
                seen.tiles.push_back(o);
            } else {
                seen.pictures.push_back(o);
            }
        }
        return seen;
    }

    // The text field at an element's place in the layout, or none.
    static ANIMTEXT* FieldAt(const char* element, int yOffset = 0)
    {
        const std::string name = element;
        const int left = LayoutNumber((name + " left").c_str());
        const int top = LayoutNumber((name + " top").c_str()) + yOffset;
        for (ANIMTEXT* text : Seen().texts)
            if (text->GetRect().left == left && text->GetRect().top == top)
                return text;
        return nullptr;
    }

    static std::u16string Text(ANIMTEXT* text) { return std::u16string(text->GetText().Wide()); }

    static HWND hwnd;
    static AnimWindow* window;
};
HWND Screens::hwnd = nullptr;
AnimWindow* Screens::window = nullptr;

TEST_F(Screens, EachSwitchLeavesOnlyTheNewScreensElements)
{
    for (int from = SCREEN_PLAY; from <= SCREEN_HIGHSCORES; ++from) {
        for (int to = SCREEN_PLAY; to <= SCREEN_HIGHSCORES; ++to) {
            ShowScreen(from, false);
            ShowScreen(to, false);
            ASSERT_EQ(CurrentScreen(), to);
            SCOPED_TRACE(testing::Message() << from << " to " << to);
            const SEEN seen = Seen();
            EXPECT_EQ(seen.commands, kCommands[to]);
            // The board's tiles have objects on the play screen only; the tutorial has its samples.
            const size_t tiles = to == SCREEN_PLAY ? 12 : to == SCREEN_TUTORIAL ? 3 : 0, texts[6] = {0, seen.texts.size(), 5, 8, 1, 36};
            EXPECT_EQ(std::pair(seen.tiles.size(), seen.texts.size()), std::pair(tiles, texts[to]));
            for (const auto& row : g_game.rgBoard)
                for (const PIECE& piece : row)
                    EXPECT_EQ(piece.pObject != nullptr, to == SCREEN_PLAY && piece.fPresent);
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
    ASSERT_NE(tile, nullptr);
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
    EXPECT_EQ(g_newGames, games);
    ShowScreen(SCREEN_PLAY, true);
    EXPECT_EQ(g_newGames, games + 1);
}

// The language command rebuilds the screen, every text in the other language.
TEST_F(Screens, EachOptionShowsItsValueInTheLanguageChosen)
{
    struct {
        LANGID language;
        void (*set)();
        const char* field;
        UINT id;
    } const cases[] = {{LANGID_ENGLISH, [] { g_settings.iEffects = EFFECTS_NONE; }, "text-effects-setting", 34},
                       {LANGID_ENGLISH, [] { g_settings.iEffects = EFFECTS_SOME; }, "text-effects-setting", 36},
                       {LANGID_ENGLISH, [] { g_settings.iEffects = EFFECTS_ALL; }, "text-effects-setting", 38},
                       {LANGID_ENGLISH, [] { g_settings.iEffects = 7; }, "text-effects-setting", 38},
                       {LANGID_ENGLISH, [] { g_settings.fSmoothAnimation = 0; }, "text-animation-setting", 40},
                       {LANGID_ENGLISH, [] { g_settings.fSmoothAnimation = 1; }, "text-animation-setting", 42},
                       {LANGID_ENGLISH, [] { g_settings.fSoundEffects = 0; }, "text-sounds-setting", 40},
                       {LANGID_ENGLISH, [] { g_settings.fSoundEffects = 1; }, "text-sounds-setting", 42},
                       {LANGID_ENGLISH, [] {}, "text-language-setting", 44},
                       {LANGID_ESPERANTO, [] {}, "text-effects-prompt", 24},
                       {LANGID_ESPERANTO, [] {}, "text-animation-prompt", 26},
                       {LANGID_ESPERANTO, [] {}, "text-sounds-prompt", 28},
                       {LANGID_ESPERANTO, [] {}, "text-language-prompt", 32},
                       {LANGID_ESPERANTO, [] {}, "text-sounds-setting", 42},
                       {LANGID_ESPERANTO, [] {}, "text-language-setting", 46},
                       {LANGID_ENGLISH, [] {}, "text-language-prompt", 32},
                       {LANGID_ENGLISH, [] {}, "text-language-setting", 44}};
    ShowScreen(SCREEN_OPTIONS, false);
    for (const auto& c : cases) {
        if (c.language != CurrentLanguageId()) {
            ASSERT_TRUE(SetLanguage(c.language));
            g_settings.iEffects = EFFECTS_NONE; // every element at its place at once
            RebuildScreen();
            ASSERT_EQ(CurrentScreen(), SCREEN_OPTIONS);
        }
        c.set();
        RefreshTexts(false);
        ANIMTEXT* field = FieldAt(c.field);
        ASSERT_NE(field, nullptr) << c.field;
        EXPECT_EQ(Text(field), LoadCatalogString(c.id)) << c.field << " " << c.id << " language " << c.language;
    }
}

TEST_F(Screens, TheTutorialPagesThroughItsTwelvePages)
{
    ShowScreen(SCREEN_TUTORIAL, false);
    const int step = TileSize().cx + LayoutNumber("cxTILES_SPACING");
    // Back from the first page stays there; Next on the last page stays there.
    const int steps[] = {-1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, -1, 1};
    int page = 0;
    for (int direction : steps) {
        TutorialStep(direction);
        page = std::clamp(page + direction, 0, cTUTORIAL_PAGES - 1);
        ASSERT_EQ(TutorialPage(), page);
        SCOPED_TRACE(page);
        const SEEN seen = Seen();
        std::set<int> commands = {1022};
        if (page > 0)
            commands.insert(1020);
        if (page < 11)
            commands.insert(1021);
        EXPECT_EQ(seen.commands, commands);
        ANIMBUTTON* guide = TutorialGuide();
        ASSERT_TRUE(guide && seen.texts.size() == 1);
        EXPECT_EQ(guide->GetId(), page < 11 ? 1021 : 1022);
        EXPECT_EQ(Text(seen.texts[0]), LoadCatalogString(g_tutorialPages[page].idText));

        // The samples stand in a row at their positions, each showing its tile.
        const PIECE* tiles = g_tutorialPages[page].rgTiles;
        size_t expected = 0;
        for (int i = 0; i < cTUTORIAL_TILES; ++i) {
            if (!tiles[i].fPresent)
                continue;
            ++expected;
            const POINT at{LayoutNumber("object-tutorial xTILES") + step * i, LayoutNumber("object-tutorial yTILES")};
            EXPECT_TRUE(std::any_of(
                seen.tiles.begin(), seen.tiles.end(),
                [&](ANIMOBJECT* o) { return o->GetPosition().x == at.x && o->GetPosition().y == at.y && SameTile(*TileOf(o), tiles[i]); }))
                << "tile " << i;
        }
        EXPECT_EQ(seen.tiles.size(), expected);
    }
    // The page starts again at the first each time the tutorial is shown.
    ShowScreen(SCREEN_MENU, false);
    ShowScreen(SCREEN_TUTORIAL, false);
    EXPECT_EQ(TutorialPage(), 0);
}

TEST_F(Screens, TheHighScoreScreenShowsItsModeAndHighlightsOneRow)
{
    struct {
        int mode, row;
        int shownMode, shownRow;
        LANGID language;
    } const cases[] = {{0, -1, 0, -1, LANGID_ENGLISH}, {1, -1, 1, -1, LANGID_ENGLISH}, {2, 3, 2, 3, LANGID_ENGLISH},
                       {2, 8, 2, 8, LANGID_ESPERANTO}, {7, 12, 0, -1, LANGID_ENGLISH}, {-1, 0, 0, 0, LANGID_ESPERANTO}};
    for (const auto& c : cases) {
        SetLanguage(c.language);
        ShowHighScores(c.mode, c.row);
        ASSERT_EQ(CurrentScreen(), SCREEN_HIGHSCORES);
        const SEEN seen = Seen();
        ASSERT_EQ(seen.pictures.size(), 1u);
        const int set = c.language == LANGID_ENGLISH ? SET_ENGLISH : SET_ESPERANTO, distance = LayoutNumber("cyHIGHSPACE");
        EXPECT_EQ(seen.pictures[0]->graphic, g_media.rgBanners[set][c.shownMode]) << c.mode;
        for (int row = 0; row < cHIGHSCORES; ++row) {
            for (const char* field : {"text-high-number", "text-high-name", "text-high-date", "text-high-score"}) {
                ANIMTEXT* text = FieldAt(field, row * distance);
                ASSERT_NE(text, nullptr) << field << " " << row;
                EXPECT_EQ(text->GetColor(kColorText), row == c.shownRow ? kYellow : kWhite) << field << " " << row;
            }
            EXPECT_EQ(Text(FieldAt("text-high-number", row * distance)), std::u16string(string(std::to_string(row + 1) + ".").Wide()));
        }
    }
    EXPECT_EQ(Text(FieldAt("text-high-date")), u"16 Mar 2002");
}

} // namespace
