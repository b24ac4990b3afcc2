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
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

std::vector<int> g_sounds;

void recordSound(const char* line)
{
    int id = 0;
    if (std::sscanf(line, "game: sound %d", &id) == 1)
        g_sounds.push_back(id);
}

// Answers the name dialog from another thread once it shows (set up), as a player would; the
// stopped clock leaves no timer to do it.
class NameAnswerer {
public:
    NameAnswerer() : m_thread([this] { answer(); }) { }
    ~NameAnswerer()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    void answer()
    {
        for (; !m_stop; std::this_thread::sleep_for(std::chrono::milliseconds(1)))
            if (HWND dialog = FindWindowW(u"GuiLibDefDlgClass", nullptr); dialog && IsWindowVisible(dialog)) {
                SetDlgItemTextW(dialog, 1024, u"Ada");
                PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                return;
            }
    }
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// The game on a headless animation window, its clock stopped: elapsed time is penalties only.
class Play : public testing::Test {
public:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(InitAnimEngine(nullptr, 0));
        ASSERT_TRUE(ChoosePack());
        ASSERT_TRUE(LoadImages());
        RegisterGuiLibDialogClass();
    }

    void SetUp() override
    {
        DefaultSettings();
        DefaultHighScores();
        m_hwnd = CreateWindowExW(0, u"AnimWindow", u"play", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(m_hwnd);
        SetDisplayWindow(AnimWindow::FromWindow(m_hwnd), nullptr);
        SetManualHostClock(true);
        m_previousSink = SetTraceSink(recordSound);
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

    // A tap in the middle of the tile a slot (of four columns) shows.
    static void tap(int slot)
    {
        const RECT& r = g_game.rgBoard[slot / 4][slot % 4].pObject->rect;
        ClickTile({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }

    static void tapTile(const PIECE& tile)
    {
        for (auto& row : g_game.rgBoard)
            for (PIECE& piece : row)
                if (piece.fPresent && SameTile(piece, tile))
                    ClickTile({piece.pObject->rect.left + 1, piece.pObject->rect.top + 1});
    }

    // The board becomes these tiles, each shown where it lies.
    static void arrange(const std::vector<int>& board, uint32_t nextTile)
    {
        for (auto& row : g_game.rgBoard)
            for (PIECE& piece : row)
                if (piece.pObject)
                    piece.pObject->Destroy();
        DealBoard(board, nextTile);
        for (int i = 0; i < static_cast<int>(board.size()); ++i) {
            PIECE& piece = g_game.rgBoard[i / 4][i % 4];
            piece.pObject = CreateTileObject(DisplayWindow(), piece, i % 4, i / 4);
            piece.pObject->SetRect(TilePosition(i % 4, i / 4, false));
        }
    }

    // Slots a, b and a third that does not complete a quibo with them.
    static std::vector<int> wrongTriple()
    {
        for (int c = 2; c < 12; ++c)
            if (!IsQuibo(g_game.rgBoard[0][0], g_game.rgBoard[0][1], g_game.rgBoard[c / 4][c % 4]))
                return {0, 1, c};
        return {};
    }

    // A quibo on the board; none: fPresent stays 0.
    static std::array<PIECE, 3> boardQuibo()
    {
        std::array<PIECE, 3> found{};
        FindQuibo(SCOPE_BOARD, nullptr, found.data());
        return found;
    }

    static int selectedCount()
    {
        int n = 0;
        for (auto& row : g_game.rgBoard)
            for (PIECE& piece : row)
                n += piece.fPresent && piece.fSelected ? 1 : 0;
        return n;
    }

    // Every tile object stands where its slot says, in the arrangement given.
    static void expectTilesInPlace(bool fiveColumns)
    {
        for (int r = 0; r < cROWS; ++r)
            for (int c = 0; c < cCOLUMNS; ++c)
                if (const PIECE& piece = g_game.rgBoard[r][c]; piece.fPresent) {
                    ASSERT_TRUE(piece.pObject);
                    const RECT want = TilePosition(c, r, fiveColumns);
                    EXPECT_TRUE(EqualRect(&want, &piece.pObject->rect)) << r << "," << c;
                }
    }

    HWND m_hwnd = nullptr;
    TraceSink m_previousSink = nullptr;
};

} // namespace

TEST_F(Play, EveryOpeningBoardHoldsAQuiboInFourColumns)
{
    for (unsigned seed = 1; seed <= 30; ++seed) {
        newGame(seed);
        EXPECT_TRUE(boardQuibo()[0].fPresent && CountTiles() == 12 && g_game.iNextTile == 12) << seed;
    }
    expectTilesInPlace(false);
}

// Each action on a fresh game: the penalty, what the player hears, and the board after it.
TEST_F(Play, PenaltiesSoundsAndTheBoardAfterEachAction)
{
    const struct {
        const char* what;
        void (*act)();
        uint32_t penalty;
        int sound;
        int selectedAfter;
        int tilesAfter;
    } cases[] = {{"a wrong third tile", [] { std::ranges::for_each(wrongTriple(), tap); }, 3000, SOUND_NOT_QUIBO, 2, 12},
                 {"one of two selected tapped again", [] { tap(0), tap(1), tap(1); }, 0, SOUND_SELECT, 1, 12},
                 {"Add with a quibo in view", [] { AddTiles(true, 0); }, 5000, SOUND_FLIGHT, 0, 15},
                 {"Add with none in view", [] { arrange(QuiboFreeTwelve(), 12), AddTiles(true, 0); }, 0, SOUND_FLIGHT, 0, 15},
                 {"Add to a full board", [] { AddTiles(true, 0), finishFlights(), AddTiles(true, 0); }, 5000, SOUND_REFUSED, 0, 15},
                 {"Add with the deck spent", [] { arrange(QuiboFreeTwelve(), 81), AddTiles(true, 0); }, 0, SOUND_REFUSED, 0, 12},
                 {"Hint with nothing selected", [] { Hint(); }, 6000, SOUND_HINT, 1, 12},
                 {"Hint for a selected tile", [] { tapTile(boardQuibo()[0]), Hint(); }, 30000, SOUND_HINT, 2, 12},
                 {"Hint with two selected", [] { tap(0), tap(1), Hint(); }, 0, SOUND_REFUSED, 2, 12},
                 {"Hint with no quibo on the board", [] { arrange(QuiboFreeTwelve(), 12), Hint(); }, 3000, SOUND_REFUSED, 0, 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        newGame(11);
        c.act();
        finishFlights();
        ASSERT_FALSE(g_sounds.empty());
        EXPECT_EQ((std::vector<int>{int(ElapsedTime()), g_sounds.back(), selectedCount(), CountTiles()}),
                  (std::vector<int>{int(c.penalty), c.sound, c.selectedAfter, c.tilesAfter}));
        expectTilesInPlace(c.tilesAfter > 12);
        // Only the quibo-free boards that nothing was added to stay without one.
        EXPECT_EQ(boardQuibo()[0].fPresent != 0, c.sound != SOUND_REFUSED || c.tilesAfter != 12 || c.selectedAfter != 0);
    }
}

TEST_F(Play, ATakenQuiboIsReplacedFromTheDeckOrTheBoardShrinks)
{
    const struct {
        bool add; // fifteen tiles first
        uint32_t nextTile;
        int tilesAfter;
        uint32_t nextAfter;
    } cases[] = {{false, 12, 12, 15}, {true, 12, 12, 15}, {false, 81, 9, 81}};
    for (const auto& c : cases) {
        newGame(3);
        g_game.iNextTile = c.nextTile;
        if (c.add)
            AddTiles(true, 0);
        finishFlights();
        const auto found = boardQuibo();
        ASSERT_TRUE(found[0].fPresent);
        for (const PIECE& tile : found)
            tapTile(tile);
        finishFlights();
        EXPECT_EQ((std::vector<int>{g_sounds.back(), CountTiles(), int(g_game.iNextTile), int(g_game.cFound)}),
                  (std::vector<int>{SOUND_QUIBO, c.tilesAfter, int(c.nextAfter), 1}));
        expectTilesInPlace(false);
    }
}

TEST_F(Play, TheGameEndsWhenNoQuiboRemainsAndItsTimeIsTheScore)
{
    // Spent deck: a quibo of three tiles beside nine that hold none.
    const std::vector<int> free = QuiboFreeTwelve();
    int third = 0;
    while (!IsQuibo(TileAt(free[0]), TileAt(free[1]), TileAt(third)))
        ++third;
    std::vector<int> board = {free[0], free[1], third};
    board.insert(board.end(), free.begin() + 2, free.begin() + 11);

    const struct {
        uint32_t time;
        int sound;
        const char16_t* first; // the best entry afterwards
    } cases[] = {{2000000, SOUND_NO_HIGH_SCORE, u"Marta"}, {1000, SOUND_HIGH_SCORE, u"Ada"}};
    for (const auto& c : cases) {
        DefaultHighScores();
        newGame(5);
        arrange(board, 81);
        g_game.tStart = EngineTime() - c.time + 3000;
        std::ranges::for_each(wrongTriple(), tap); // 3000 ms more
        DeselectAll();
        {
            const NameAnswerer answerer;
            tap(0), tap(1), tap(2);
        }

        const int time = int(c.time);
        EXPECT_EQ((std::vector<int>{int(g_game.fActive), int(g_status.dwTime), int(g_status.dwEstimate), CountTiles(), g_sounds.back(),
                                    CurrentScreen()}),
                  (std::vector<int>{0, time, time, 9, c.sound, SCREEN_HIGHSCORES}));
        EXPECT_EQ(HighScoreName(g_highScores[0]), c.first);
        EXPECT_EQ(g_highScores[0].dwCheck, c.time == 1000 ? EntryCheck(g_highScores[0]) : 0u);
        // Over: Add and Hint do nothing.
        AddTiles(true, 0);
        Hint();
        EXPECT_EQ(int(ElapsedTime()) * 100 + CountTiles(), time * 100 + 9);
    }
}

TEST_F(Play, APauseAddsNothingAndHoldsTheBoard)
{
    AdvanceHostClock(10000);
    TogglePause();
    tap(0);
    AddTiles(true, 0);
    Hint();
    EXPECT_EQ(selectedCount() * 100 + CountTiles(), 12);
    AdvanceHostClock(60000);
    TogglePause();
    EXPECT_EQ(ElapsedTime(), 10000u);
}
