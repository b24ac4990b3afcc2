#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "game.h"

namespace {

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

// A board of `perRow` tiles in each row, numbered in reading order; the deck behind it holds
// the rest of the tiles.
void fillBoard(int perRow, uint32_t nextTile)
{
    std::memset(&g_game, 0, sizeof g_game);
    for (int i = 0; i < cDECK; ++i)
        g_game.rgDeck[i] = tileAt(i);
    for (int r = 0; r < cROWS; ++r)
        for (int c = 0; c < perRow; ++c)
            g_game.rgBoard[r][c] = tileAt(r * cCOLUMNS + c);
    g_game.iNextTile = nextTile;
}

using GRID = std::vector<std::vector<int>>; // tile index or -1, [row][column]

GRID boardGrid()
{
    GRID grid(cROWS, std::vector<int>(cCOLUMNS, -1));
    for (int r = 0; r < cROWS; ++r)
        for (int c = 0; c < cCOLUMNS; ++c)
            if (g_game.rgBoard[r][c].fPresent)
                grid[r][c] = TileIndex(g_game.rgBoard[r][c]);
    return grid;
}

// The gap rule, worked on plain indices: each row keeps its first m tiles packed to the left;
// each tile beyond them goes to the first empty column of row 0 when that row is short, else of
// row 2 when row 1 is full, else of row 1.
GRID expectedAfterTaking(GRID grid, int n, bool deckExhausted)
{
    const int m = n <= 12 && deckExhausted ? (n - 3) / 3 : 4;
    std::vector<int> count(cROWS);
    for (int r = 0; r < cROWS; ++r)
        count[r] = static_cast<int>(std::count_if(grid[r].begin(), grid[r].end(), [](int t) { return t >= 0; }));
    for (int r = 0; r < cROWS; ++r) {
        std::vector<int> tiles;
        for (int t : grid[r])
            if (t >= 0)
                tiles.push_back(t);
        std::fill(grid[r].begin(), grid[r].end(), -1);
        for (size_t i = 0; i < tiles.size(); ++i) {
            if (static_cast<int>(i) < m) {
                grid[r][i] = tiles[i];
                continue;
            }
            const int to = count[0] < m ? 0 : count[1] >= m ? 2 : 1;
            *std::find(grid[to].begin(), grid[to].end(), -1) = tiles[i];
            ++count[to];
        }
    }
    return grid;
}

struct SHAPE {
    int perRow;
    uint32_t nextTile;
    int rowsAfter; // every row's length after a quibo is taken
};

} // namespace

TEST(Board, CountsPerRowAndInAll)
{
    fillBoard(4, 12);
    g_game.rgBoard[1][2] = PIECE{};
    int rows[cROWS] = {};
    EXPECT_EQ(CountTiles(rows), 11);
    EXPECT_EQ(rows[0], 4);
    EXPECT_EQ(rows[1], 3);
    EXPECT_EQ(rows[2], 4);
    EXPECT_EQ(CountTiles(), 11);
}

// Every choice of three tiles from every board shape the game can reach.
TEST(Board, TakingAnyThreeTilesLeavesTheBoardThatTheGapRuleGives)
{
    const SHAPE shapes[] = {
        {5, 15, 4},  // after an Add: back to four columns
        {4, 12, -1}, // the refill follows: rows only packed
        {5, 81, 4},  // an Add that emptied the deck
        {4, 81, 3},  {3, 81, 2}, {2, 81, 1}, {1, 81, 0},
    };
    for (const SHAPE& shape : shapes) {
        const int n = shape.perRow * cROWS;
        for (int a = 0; a < n; ++a) {
            for (int b = a + 1; b < n; ++b) {
                for (int c = b + 1; c < n; ++c) {
                    fillBoard(shape.perRow, shape.nextTile);
                    int rows[cROWS];
                    CountTiles(rows);
                    for (int k : {a, b, c}) {
                        g_game.rgBoard[k / shape.perRow][k % shape.perRow] = PIECE{};
                        --rows[k / shape.perRow];
                    }
                    const GRID expected = expectedAfterTaking(boardGrid(), n, shape.nextTile == 81);
                    CompactBoard(n, rows);
                    const GRID actual = boardGrid();
                    ASSERT_EQ(actual, expected) << shape.perRow << " per row, deck at " << shape.nextTile
                                                << ", taking " << a << " " << b << " " << c;
                    int after[cROWS];
                    ASSERT_EQ(CountTiles(after), n - 3);
                    for (int r = 0; r < cROWS; ++r) {
                        if (shape.rowsAfter >= 0) {
                            EXPECT_EQ(after[r], shape.rowsAfter);
                        }
                        for (int col = 0; col < after[r]; ++col)
                            EXPECT_TRUE(g_game.rgBoard[r][col].fPresent) << "row " << r << " not packed";
                    }
                }
            }
        }
    }
}

namespace {

// Twelve tiles without a quibo among them: each added tile completes none with two before it.
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

void dealCap(const std::vector<int>& cap)
{
    std::memset(&g_game, 0, sizeof g_game);
    std::vector<int> order = cap;
    for (int t = 0; t < cDECK; ++t)
        if (std::find(cap.begin(), cap.end(), t) == cap.end())
            order.push_back(t);
    for (int i = 0; i < cDECK; ++i)
        g_game.rgDeck[i] = tileAt(order[i]);
    for (int i = 0; i < 12; ++i)
        g_game.rgBoard[i / 4][i % 4] = g_game.rgDeck[i];
    g_game.iNextTile = 12;
}

std::vector<int> deckIndices()
{
    std::vector<int> indices;
    for (const PIECE& p : g_game.rgDeck)
        indices.push_back(TileIndex(p));
    return indices;
}

} // namespace

TEST(Board, PrepareAddLinesUpAQuiboOnlyWhenTheBoardHasNone)
{
    const std::vector<int> cap = capOfTwelve();
    ASSERT_EQ(cap.size(), 12u);
    for (unsigned seed = 1; seed <= 20; ++seed) {
        dealCap(cap);
        PIECE found[3];
        ASSERT_FALSE(FindQuibo(SCOPE_BOARD, nullptr, found));
        const std::vector<int> before = deckIndices();
        std::srand(seed);
        PrepareAdd();
        EXPECT_TRUE(FindQuibo(SCOPE_NEXT_ADD, nullptr, found)) << seed;
        std::vector<int> after = deckIndices();
        // The dealt tiles stay where they are; the rest is only reordered.
        EXPECT_TRUE(std::equal(before.begin(), before.begin() + 12, after.begin()));
        EXPECT_TRUE(std::is_permutation(before.begin() + 12, before.end(), after.begin() + 12));
    }

    fillBoard(4, 12); // tiles 0, 1, 2 are a quibo
    const std::vector<int> before = deckIndices();
    PrepareAdd();
    EXPECT_EQ(deckIndices(), before);
}
