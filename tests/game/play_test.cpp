#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cea_clock.h"
#include "guilib.h"
#include "cea_main.h"
#include "cea_object.h"
#include "cea_window.h"
#include "display.h"
#include "game.h"
#include "highscores.h"
#include "media.h"
#include "records.h"
#include "screens.h"
#include "tile.h"
#include "trace.h"

namespace {

DWORD g_now;
std::vector<unsigned> g_sounds;

DWORD scriptedClock()
{
    return g_now;
}

void recordSound(const char* line)
{
    unsigned id = 0;
    if (std::sscanf(line, "game: sound %u", &id) == 1)
        g_sounds.push_back(id);
}

PIECE tileAt(int index)
{
    PIECE p{};
    p.fPresent = 1;
    p.iColor = index / 27;
    p.iShape = index / 9 % 3;
    p.iShading = index / 3 % 3;
    p.iNumber = index % 3;
    return p;
}

// Twelve tiles without a quibo among them.
std::vector<int> capOfTwelve()
{
    std::vector<int> cap;
    for (int t = 0; t < cDECK && cap.size() < 12; ++t) {
        bool completes = false;
        for (size_t i = 0; i < cap.size() && !completes; ++i)
            for (size_t j = i + 1; j < cap.size() && !completes; ++j)
                completes = IsQuibo(tileAt(cap[i]), tileAt(cap[j]), tileAt(t));
        if (!completes)
            cap.push_back(t);
    }
    return cap;
}

class Play : public testing::Test {
public:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(InitAnimEngine(nullptr, 0));
        ASSERT_TRUE(ChoosePack());
        ASSERT_TRUE(LoadImages());
    }

    void SetUp() override
    {
        DefaultSettings();
        DefaultHighScores();
        m_hwnd = CreateWindowExW(0, u"AnimWindow", u"play", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_TRUE(m_hwnd);
        m_anim = AnimWindow::FromWindow(m_hwnd);
        SetDisplayWindow(m_anim, nullptr);
        SetEngineClockSource(scriptedClock);
        g_now = 5000000;
        m_previousSink = SetTraceSink(recordSound);
        std::srand(7);
        NewGame();
        finishFlights();
        g_sounds.clear();
    }

    void TearDown() override
    {
        SetTraceSink(m_previousSink);
        SetEngineClockSource(nullptr);
        SetDisplayWindow(nullptr, nullptr);
        DestroyWindow(m_hwnd);
    }

    void finishFlights() { m_anim->AdvanceTo(kLastScheduledFrame); }

    // A tap at the middle of the tile that a slot shows.
    void tap(int row, int column)
    {
        const ANIMOBJECT* object = g_game.rgBoard[row][column].pObject;
        ASSERT_TRUE(object) << row << "," << column;
        const RECT r = object->GetRect();
        ClickTile({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }

    // The board becomes the given tiles (row by row, four columns) with the deck behind them.
    void arrange(const std::vector<int>& board, uint32_t nextTile = 12)
    {
        std::vector<int> order = board;
        for (int t = 0; t < cDECK; ++t)
            if (std::find(board.begin(), board.end(), t) == board.end())
                order.push_back(t);
        for (auto& row : g_game.rgBoard)
            for (PIECE& piece : row)
                if (piece.pObject)
                    piece.pObject->Destroy();
        std::memset(g_game.rgDeck, 0, sizeof g_game.rgDeck);
        std::memset(g_game.rgBoard, 0, sizeof g_game.rgBoard);
        for (int i = 0; i < cDECK; ++i)
            g_game.rgDeck[i] = tileAt(order[i]);
        for (size_t i = 0; i < board.size(); ++i) {
            PIECE& piece = g_game.rgBoard[i / 4][i % 4];
            piece = tileAt(board[i]);
            piece.pObject = CreateTileObject(m_anim, piece, static_cast<int>(i % 4), static_cast<int>(i / 4));
            piece.pObject->SetRect(TilePosition(static_cast<int>(i % 4), static_cast<int>(i / 4), false));
        }
        g_game.iNextTile = nextTile;
        g_game.cFound = (nextTile - static_cast<uint32_t>(board.size())) / 3;
    }

    // Slots (row, column) of the selected tiles.
    static std::vector<std::pair<int, int>> selected()
    {
        std::vector<std::pair<int, int>> s;
        for (int r = 0; r < cROWS; ++r)
            for (int c = 0; c < cCOLUMNS; ++c)
                if (g_game.rgBoard[r][c].fPresent && g_game.rgBoard[r][c].fSelected)
                    s.push_back({r, c});
        return s;
    }

    // Two board slots and a third that does (or does not) complete a quibo with them.
    static bool findTriple(bool quibo, int slots[3][2])
    {
        for (int a = 0; a < 12; ++a)
            for (int b = a + 1; b < 12; ++b)
                for (int c = 0; c < 12; ++c) {
                    if (c == a || c == b)
                        continue;
                    const PIECE& pa = g_game.rgBoard[a / 4][a % 4];
                    const PIECE& pb = g_game.rgBoard[b / 4][b % 4];
                    const PIECE& pc = g_game.rgBoard[c / 4][c % 4];
                    if (IsQuibo(pa, pb, pc) == quibo) {
                        const int found[3] = {a, b, c};
                        for (int k = 0; k < 3; ++k) {
                            slots[k][0] = found[k] / 4;
                            slots[k][1] = found[k] % 4;
                        }
                        return true;
                    }
                }
        return false;
    }

    HWND m_hwnd = nullptr;
    AnimWindow* m_anim = nullptr;
    TraceSink m_previousSink = nullptr;
};

} // namespace

TEST_F(Play, EveryOpeningBoardHoldsAQuiboAndItsTilesLandInFourColumns)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::srand(seed);
        NewGame();
        PIECE found[3];
        EXPECT_TRUE(FindQuibo(SCOPE_BOARD, nullptr, found)) << seed;
        EXPECT_EQ(g_game.iNextTile, 12u);
        EXPECT_EQ(g_game.cFound, 0u);
        EXPECT_TRUE(g_game.fActive);
    }
    finishFlights();
    for (int r = 0; r < cROWS; ++r) {
        for (int c = 0; c < cCOLUMNS; ++c) {
            const PIECE& piece = g_game.rgBoard[r][c];
            ASSERT_EQ(piece.fPresent != 0, c < 4);
            if (c < 4) {
                ASSERT_TRUE(piece.pObject);
                const RECT want = TilePosition(c, r, false);
                EXPECT_TRUE(EqualRect(&want, &piece.pObject->rect)) << r << "," << c;
            }
        }
    }
}

TEST_F(Play, PenaltiesAndSoundsOfTheTapsAndButtons)
{
    const struct {
        const char* what;
        void (*act)(Play& test);
        uint32_t penalty;
        unsigned sound;
        size_t selectedAfter;
    } cases[] = {
        {"a wrong third tile",
         [](Play& t) {
             int s[3][2];
             ASSERT_TRUE(findTriple(false, s));
             t.tap(s[0][0], s[0][1]);
             t.tap(s[1][0], s[1][1]);
             g_sounds.clear();
             t.tap(s[2][0], s[2][1]);
         },
         3000, 205, 2},
        {"tapping one of two selected tiles",
         [](Play& t) {
             int s[3][2];
             ASSERT_TRUE(findTriple(false, s));
             t.tap(s[0][0], s[0][1]);
             t.tap(s[1][0], s[1][1]);
             g_sounds.clear();
             t.tap(s[1][0], s[1][1]);
         },
         0, 212, 1},
        {"Add with a quibo in view", [](Play&) { AddTiles(true, 0); }, 5000, 208, 0},
        {"Hint with nothing selected", [](Play&) { Hint(); }, 6000, 211, 1},
        {"Hint for a selected tile",
         [](Play& t) {
             PIECE found[3];
             ASSERT_TRUE(FindQuibo(SCOPE_BOARD, nullptr, found));
             for (int i = 0; i < 12; ++i)
                 if (SameTile(g_game.rgBoard[i / 4][i % 4], found[0]))
                     t.tap(i / 4, i % 4);
             g_sounds.clear();
             Hint();
         },
         30000, 211, 2},
        {"Hint with two selected",
         [](Play& t) {
             t.tap(0, 0);
             t.tap(0, 1);
             g_sounds.clear();
             Hint();
         },
         0, 207, 2},
        {"Hint with no quibo on the board", [](Play& t) { t.arrange(capOfTwelve()); Hint(); }, 3000, 207, 0},
    };
    for (const auto& c : cases) {
        std::srand(11);
        NewGame();
        finishFlights();
        g_sounds.clear();
        c.act(*this);
        finishFlights();
        EXPECT_EQ(ElapsedTime(), c.penalty) << c.what;
        ASSERT_FALSE(g_sounds.empty()) << c.what;
        EXPECT_EQ(g_sounds.back(), c.sound) << c.what;
        EXPECT_EQ(selected().size(), c.selectedAfter) << c.what;
    }
}

TEST_F(Play, AddDealsOneTileToEachRowOnlyWhileThereIsRoomAndDeck)
{
    // No quibo in view: no penalty, and the fifteen then hold one.
    arrange(capOfTwelve());
    AddTiles(true, 0);
    finishFlights();
    EXPECT_EQ(ElapsedTime(), 0u);
    EXPECT_EQ(CountTiles(), 15);
    EXPECT_EQ(g_game.iNextTile, 15u);
    PIECE found[3];
    EXPECT_TRUE(FindQuibo(SCOPE_BOARD, nullptr, found));
    for (int r = 0; r < cROWS; ++r) {
        for (int c = 0; c < cCOLUMNS; ++c) {
            const RECT want = TilePosition(c, r, true);
            ASSERT_TRUE(g_game.rgBoard[r][c].pObject);
            EXPECT_TRUE(EqualRect(&want, &g_game.rgBoard[r][c].pObject->rect)) << r << "," << c;
        }
    }

    // Full board, then an empty deck: refused, free.
    g_sounds.clear();
    AddTiles(true, 0);
    EXPECT_EQ(CountTiles(), 15);
    EXPECT_EQ(g_sounds, std::vector<unsigned>{207});
    arrange(capOfTwelve(), 81);
    g_sounds.clear();
    AddTiles(true, 0);
    EXPECT_EQ(CountTiles(), 12);
    EXPECT_EQ(g_sounds, std::vector<unsigned>{207});
    EXPECT_EQ(ElapsedTime(), 0u);
}

TEST_F(Play, TakingAQuiboRefillsFromTheDeckOrShrinksTheBoard)
{
    const struct {
        bool add;         // an Add first: fifteen tiles
        uint32_t nextTile;
        int tilesAfter;
        uint32_t nextAfter;
    } cases[] = {
        {false, 12, 12, 15},
        {true, 12, 12, 15},
        {false, 81, 9, 81},
    };
    for (const auto& c : cases) {
        std::srand(3);
        NewGame();
        finishFlights();
        if (c.nextTile == 81) {
            g_game.iNextTile = 81;
            g_game.cFound = 23;
        }
        if (c.add)
            AddTiles(true, 0);
        finishFlights();
        PIECE found[3];
        ASSERT_TRUE(FindQuibo(SCOPE_BOARD, nullptr, found));
        for (const PIECE& tile : found)
            for (int r = 0; r < cROWS; ++r)
                for (int col = 0; col < cCOLUMNS; ++col)
                    if (g_game.rgBoard[r][col].fPresent && SameTile(g_game.rgBoard[r][col], tile))
                        tap(r, col);
        finishFlights();
        EXPECT_EQ(CountTiles(), c.tilesAfter);
        EXPECT_EQ(g_game.iNextTile, c.nextAfter);
        EXPECT_TRUE(selected().empty());
        for (int r = 0; r < cROWS; ++r)
            for (int col = 0; col < cCOLUMNS; ++col)
                if (const ANIMOBJECT* object = g_game.rgBoard[r][col].pObject) {
                    const RECT want = TilePosition(col, r, false);
                    EXPECT_TRUE(EqualRect(&want, &object->rect)) << r << "," << col;
                }
    }
}

namespace {

// Nine tiles with no quibo among them and a quibo of three others: the last position of a game
// whose deck is spent.
std::vector<int> lastPosition()
{
    std::vector<int> board = capOfTwelve();
    board.resize(9);
    for (int x = 0; x < cDECK; ++x) {
        for (int y = x + 1; y < cDECK; ++y) {
            for (int z = y + 1; z < cDECK; ++z) {
                const bool apart = std::find(board.begin(), board.end(), x) == board.end() &&
                                   std::find(board.begin(), board.end(), y) == board.end() &&
                                   std::find(board.begin(), board.end(), z) == board.end();
                if (apart && IsQuibo(tileAt(x), tileAt(y), tileAt(z))) {
                    board.insert(board.begin(), {x, y, z});
                    return board;
                }
            }
        }
    }
    return {};
}

HWND g_nameDialog;

void CALLBACK answerNameDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (HWND dialog = FindWindowW(u"GuiLibDefDlgClass", nullptr)) {
        KillTimer(nullptr, timer);
        g_nameDialog = dialog;
        SetDlgItemTextW(dialog, 1024, u"Ada");
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }
}

} // namespace

TEST_F(Play, TheGameEndsWhenNoQuiboRemainsAndTheFinalTimeIsTheScore)
{
    const struct {
        uint32_t time;
        unsigned sound;
        int mode;
    } cases[] = {
        {2000000, 209, 1}, // slower than the ninth entry
        {1000, 206, 2},
    };
    RegisterGuiLibDialogClass();
    for (const auto& c : cases) {
        DefaultHighScores();
        std::srand(5);
        NewGame();
        finishFlights();
        arrange(lastPosition(), 81);
        g_game.tStart = g_now - c.time + 3000; // the wrong third below adds 3000
        g_nameDialog = nullptr;
        SetTimer(nullptr, 0, 20, answerNameDialog);
        // A wrong third first, then the quibo of the first three slots.
        int s[3][2];
        ASSERT_TRUE(findTriple(false, s));
        tap(s[0][0], s[0][1]);
        tap(s[1][0], s[1][1]);
        tap(s[2][0], s[2][1]);
        DeselectAll();
        g_sounds.clear();
        tap(0, 0);
        tap(0, 1);
        tap(0, 2);

        EXPECT_FALSE(g_game.fActive);
        EXPECT_EQ(g_status.dwTime, c.time);
        EXPECT_EQ(g_status.dwEstimate, c.time);
        EXPECT_EQ(g_status.cTilesLeft, 0u);
        EXPECT_EQ(CountTiles(), 9);
        ASSERT_GE(g_sounds.size(), 2u);
        EXPECT_EQ(g_sounds.back(), c.sound);
        EXPECT_EQ(CurrentScreen(), SCREEN_HIGHSCORES);
        if (c.mode == 2) {
            EXPECT_TRUE(g_nameDialog);
            EXPECT_EQ(HighScoreName(g_highScores[0]), u"Ada");
            EXPECT_EQ(g_highScores[0].dwScore, c.time);
            EXPECT_EQ(g_highScores[0].dwCheck, EntryCheck(g_highScores[0]));
        } else {
            EXPECT_EQ(g_highScores[8].dwScore, 1065000u);
        }
        // Once over, taps, Add and Hint do nothing.
        const uint32_t before = ElapsedTime();
        AddTiles(true, 0);
        Hint();
        EXPECT_EQ(CountTiles(), 9);
        EXPECT_EQ(ElapsedTime(), before);
    }
}

TEST_F(Play, APauseAddsNothingToTheTime)
{
    g_now += 10000;
    TogglePause();
    EXPECT_TRUE(g_game.fPaused);
    ClickTile({0, 0});
    AddTiles(true, 0);
    Hint();
    EXPECT_EQ(CountTiles(), 12);
    // A minute passes on both clocks.
    g_now += 60000;
    g_game.tPauseStart -= 60000;
    TogglePause();
    EXPECT_FALSE(g_game.fPaused);
    EXPECT_NEAR(static_cast<double>(ElapsedTime()), 10000.0, 50.0);
}
