#include "game.h"
#include "tile_samples.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <numeric>
#include <vector>

// Each row keeps its first m tiles packed to the left (m = 4, or a third of the tiles left
// once the deck is spent and at most twelve were on the board); a tile beyond them goes to
// row 0 when that row is short, else to row 2 when row 1 is full, else to row 1.
TEST(Board, TakingThreeTilesClosesTheGapsAsTheGapRuleSays)
{
    const struct {
        int perRow;
        uint32_t nextTile;
        std::vector<int> taken; // slots, row by row
        const char* after;
    } cases[] = {
        {4, 12, {1, 5, 6}, "0 2 3 . . | 4 7 . . . | 8 9 10 11 ."}, // the refill follows: rows only packed
        {4, 81, {0, 1, 2}, "3 7 11 . . | 4 5 6 . . | 8 9 10 . ."},
        {4, 81, {4, 8, 9}, "0 1 2 . . | 5 6 7 . . | 3 10 11 . ."},
        {5, 15, {6, 11, 12}, "0 1 2 3 . | 5 7 8 9 . | 10 4 13 14 ."},
        {5, 15, {10, 11, 12}, "0 1 2 3 . | 5 6 7 8 . | 4 9 13 14 ."},
        {5, 81, {0, 1, 2}, "3 4 9 14 . | 5 6 7 8 . | 10 11 12 13 ."},
        {3, 81, {3, 4, 5}, "0 1 . . . | 2 8 . . . | 6 7 . . ."},
        {2, 81, {0, 1, 2}, "5 . . . . | 3 . . . . | 4 . . . ."},
        {5, 15, {0, 10, 11}, "1 2 3 4 . | 5 6 7 8 . | 9 12 13 14 ."}, // row 0 exactly full
    };
    for (const auto& c : cases) {
        std::vector<int> board(c.perRow * cROWS);
        std::iota(board.begin(), board.end(), 0);
        DealBoard(board, c.nextTile, c.perRow);
        int rows[cROWS] = {c.perRow, c.perRow, c.perRow};
        for (int k : c.taken)
            g_game.rgBoard[k / c.perRow][k % c.perRow] = PIECE{}, --rows[k / c.perRow];
        CompactBoard(int(board.size()), rows);
        EXPECT_EQ(BoardText(), c.after) << c.perRow << " per row, deck at " << c.nextTile;
    }
}

TEST(Board, PrepareAddLinesUpAQuiboOnlyWhenTheBoardHasNone)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        DealBoard(kQuiboFree, 12);
        std::srand(seed);
        PrepareAdd();
        PIECE found[3];
        EXPECT_TRUE(FindQuibo(SCOPE_NEXT_ADD, nullptr, found) && BoardText() == "0 1 3 4 . | 9 10 12 13 . | 27 28 30 31 .") << seed;
    }
    DealBoard({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 12); // 0, 1, 2 are a quibo
    PrepareAdd();
    EXPECT_EQ(TileIndex(g_game.rgDeck[12]), 12);
}
