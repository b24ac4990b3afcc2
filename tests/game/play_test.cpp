#include "cea_clock.h"
#include "cea_main.h"
#include "cea_object.h"
#include "cea_window.h"
#include "display.h"
#include "guilib.h"
#include "highscores.h"
#include "hostclock.h"
#include "media.h"
#include "records.h"
#include "screens.h"
#include "tile.h"
#include "tile_samples.h"
#include "trace.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <ranges>
#include <span>
#include <thread>
#include <vector>

namespace {

std::vector<int> g_sounds;

// The game on a headless animation window, its clock stopped: elapsed time is penalties only.
class Play : public testing::Test {
public:
    static void SetUpTestSuite() { ASSERT_TRUE(InitAnimEngine(nullptr, 0) && ChoosePack() && LoadImages() && RegisterGuiLibDialogClass()); }

    void SetUp() override
    {
        DefaultSettings();
        DefaultHighScores();
        m_hwnd = CreateWindowExW(0, u"AnimWindow", u"play", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(m_hwnd);
        SetDisplayWindow(AnimWindow::FromWindow(m_hwnd), nullptr);
        SetManualHostClock(true);
        m_previousSink = SetTraceSink([](const char* line) {
            if (int id = 0; std::sscanf(line, "game: sound %d", &id) == 1)
                g_sounds.push_back(id);
        });
        newGame(7);
    }
    void TearDown() override
    {
        SetTraceSink(m_previousSink);
        SetDisplayWindow(nullptr, nullptr);
        DestroyWindow(m_hwnd);
        SetManualHostClock(false);
    }

    static void newGame(unsigned seed)
    {
        std::srand(seed);
        NewGame();
        finishFlights();
        g_sounds.clear();
    }
    static void finishFlights() { DisplayWindow()->AdvanceTo(kLastScheduledFrame); }
    static std::span<PIECE> slots() { return {&g_game.rgBoard[0][0], cROWS * cCOLUMNS}; }
    static PIECE& at(int slot) { return g_game.rgBoard[slot / 4][slot % 4]; } // of four columns
    static void tap(int slot) { tapTile(at(slot)); }
    static void tapTile(const PIECE& tile)
    {
        for (PIECE& piece : slots())
            if (piece.fPresent && SameTile(piece, tile))
                ClickTile({piece.pObject->rect.left + 1, piece.pObject->rect.top + 1});
    }

    // The board becomes these tiles, each shown where it lies.
    static void arrange(const std::vector<int>& board, uint32_t nextTile)
    {
        for (PIECE& piece : slots())
            if (piece.pObject)
                piece.pObject->Destroy();
        DealBoard(board, nextTile);
        for (int i = 0; i < int(board.size()); ++i) {
            at(i).pObject = CreateTileObject(DisplayWindow(), at(i), i % 4, i / 4);
            at(i).pObject->SetRect(TilePosition(i % 4, i / 4, false));
        }
    }

    // Slots 0, 1 and a third that does not complete a quibo with them.
    static void tapWrongTriple()
    {
        tap(0);
        tap(1);
        tap(*std::ranges::find_if(std::views::iota(2), [](int c) { return !IsQuibo(at(0), at(1), at(c)); }));
    }

    // A quibo on the board; none: fPresent stays 0.
    static std::array<PIECE, 3> boardQuibo()
    {
        std::array<PIECE, 3> found{};
        FindQuibo(SCOPE_BOARD, nullptr, found.data());
        return found;
    }

    // The time, the last sound, the tiles selected and on the board; whether a quibo is on it
    // and every tile object stands where its slot says.
    static std::vector<int> state()
    {
        int selected = 0, misplaced = 0;
        for (int i = 0; i < cROWS * cCOLUMNS; ++i) {
            const PIECE& piece = slots()[i];
            const RECT want = TilePosition(i % cCOLUMNS, i / cCOLUMNS, CountTiles() > 12);
            selected += piece.fPresent && piece.fSelected ? 1 : 0;
            misplaced += piece.fPresent && !(piece.pObject && EqualRect(&want, &piece.pObject->rect)) ? 1 : 0;
        }
        return {int(ElapsedTime()), g_sounds.empty() ? 0 : g_sounds.back(), selected,
                CountTiles(),       boardQuibo()[0].fPresent != 0,          misplaced};
    }

    HWND m_hwnd = nullptr;
    TraceSink m_previousSink = nullptr;
};

} // namespace

TEST_F(Play, EveryOpeningBoardHoldsAQuiboInFourColumns)
{
    for (unsigned seed = 1; seed <= 30; ++seed) {
        newGame(seed);
        EXPECT_EQ(state(), (std::vector<int>{0, 0, 0, 12, 1, 0})) << seed;
    }
}

// Each action on a fresh game: the penalty, what the player hears, and the board after it.
TEST_F(Play, PenaltiesSoundsAndTheBoardAfterEachAction)
{
    const std::pair<void (*)(), std::vector<int>> cases[]
        = {{tapWrongTriple, {3000, SOUND_NOT_QUIBO, 2, 12, 1, 0}},
           {[] { tap(0), tap(1), tap(1); }, {0, SOUND_SELECT, 1, 12, 1, 0}}, // one of two selected tapped again
           {[] { AddTiles(true, 0); }, {5000, SOUND_FLIGHT, 0, 15, 1, 0}}, // with a quibo in view
           {[] { arrange(kQuiboFree, 12), AddTiles(true, 0); }, {0, SOUND_FLIGHT, 0, 15, 1, 0}},
           {[] { AddTiles(true, 0), finishFlights(), AddTiles(true, 0); }, {5000, SOUND_REFUSED, 0, 15, 1, 0}}, // to a full board
           {[] { arrange(kQuiboFree, 81), AddTiles(true, 0); }, {0, SOUND_REFUSED, 0, 12, 0, 0}}, // with the deck spent
           {Hint, {6000, SOUND_HINT, 1, 12, 1, 0}},
           {[] { tapTile(boardQuibo()[0]), Hint(); }, {30000, SOUND_HINT, 2, 12, 1, 0}}, // for a selected tile
           {[] { tap(0), tap(1), Hint(); }, {0, SOUND_REFUSED, 2, 12, 1, 0}},
           {[] { arrange(kQuiboFree, 12), Hint(); }, {3000, SOUND_REFUSED, 0, 12, 0, 0}},
           {[] { AdvanceHostClock(10000), TogglePause(), tap(0), AddTiles(true, 0), Hint(), AdvanceHostClock(60000), TogglePause(); },
            {10000, 0, 0, 12, 1, 0}}}; // a pause adds nothing and holds the board
    for (const auto& [act, after] : cases) {
        newGame(11);
        act();
        finishFlights();
        EXPECT_EQ(state(), after) << &act - &cases[0].first;
    }
}

TEST_F(Play, ATakenQuiboIsReplacedFromTheDeckOrTheBoardShrinks)
{
    // Fifteen tiles first; the next tile of the deck before and after; the tiles left.
    const std::tuple<bool, uint32_t, uint32_t, int> cases[] = {{false, 12, 15, 12}, {true, 12, 15, 12}, {false, 81, 81, 9}};
    for (const auto& [add, next, nextAfter, tilesAfter] : cases) {
        newGame(3);
        g_game.iNextTile = next;
        if (add)
            AddTiles(true, 0);
        finishFlights();
        std::ranges::for_each(boardQuibo(), tapTile);
        finishFlights();
        EXPECT_EQ(state(), (std::vector<int>{add ? 5000 : 0, SOUND_QUIBO, 0, tilesAfter, state()[4], 0}));
        EXPECT_EQ(g_game.iNextTile * 10 + g_game.cFound, nextAfter * 10 + 1);
    }
}

TEST_F(Play, TheGameEndsWhenNoQuiboRemainsAndItsTimeIsTheScore)
{
    // The name dialog is answered from another thread once it shows, as a player would: the
    // stopped clock leaves no timer to do it.
    const auto answerName = [](std::stop_token stop) {
        for (; !stop.stop_requested(); std::this_thread::sleep_for(std::chrono::milliseconds(1)))
            if (HWND dialog = FindWindowW(u"GuiLibDefDlgClass", nullptr); dialog && IsWindowVisible(dialog)) {
                SetDlgItemTextW(dialog, 1024, u"Ada");
                PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                return;
            }
    };
    const std::tuple<uint32_t, int, const char16_t*> cases[] = {{2000000, SOUND_NO_HIGH_SCORE, u"Marta"}, {1000, SOUND_HIGH_SCORE, u"Ada"}};
    for (const auto& [time, sound, best] : cases) {
        DefaultHighScores();
        newGame(5);
        arrange({0, 1, 2, 3, 4, 9, 10, 12, 13, 27, 28, 30}, 81); // spent deck: a quibo (0 1 2) beside nine that hold none
        g_game.tStart = EngineTime() - time + 3000;
        tapWrongTriple(); // 3000 ms more
        DeselectAll();
        {
            const std::jthread answering(answerName); // stopped and joined when the quibo is taken
            tap(0);
            tap(1);
            tap(2);
        }
        // Over: Add and Hint do nothing, and the high-score screen has taken the tiles' places.
        AddTiles(true, 0);
        Hint();
        EXPECT_EQ(state(), (std::vector<int>{int(time), sound, 0, 9, 0, 9}));
        EXPECT_EQ((std::vector<uint32_t>{g_game.fActive, g_status.dwTime, g_status.dwEstimate, uint32_t(CurrentScreen())}),
                  (std::vector<uint32_t>{0, time, time, SCREEN_HIGHSCORES}));
        EXPECT_EQ(HighScoreName(g_highScores[0]), best);
        EXPECT_EQ(g_highScores[0].dwCheck, time == 1000 ? EntryCheck(g_highScores[0]) : 0u);
    }
}
