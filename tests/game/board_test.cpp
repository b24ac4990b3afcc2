#include "game.h"
#include "tile_samples.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace {

using GRID = std::vector<std::vector<int>>; // [row][column]: tile index, or -1

GRID boardGrid()
{
    GRID grid(cROWS, std::vector<int>(cCOLUMNS, -1));
    for (int r = 0; r < cROWS; ++r)
        for (int c = 0; c < cCOLUMNS; ++c)
            grid[r][c] = g_game.rgBoard[r][c].fPresent ? TileIndex(g_game.rgBoard[r][c]) : -1;
    return grid;
}

std::vector<int> deckOrder()
{
    std::vector<int> order;
    for (const PIECE& p : g_game.rgDeck)
        order.push_back(TileIndex(p));
    return order;
}

// The gap rule on plain indices: each row keeps its first m tiles packed to the left; a tile
// beyond them goes to the first empty column of row 0 when that row is short, else of row 2
// when row 1 is full, else of row 1.
GRID expectedAfterTaking(GRID grid, int n, bool deckExhausted)
{
    const int m = n <= 12 && deckExhausted ? (n - 3) / 3 : 4;
    std::vector<int> count(cROWS);
    for (int r = 0; r < cROWS; ++r)
        count[r] = static_cast<int>(std::count_if(grid[r].begin(), grid[r].end(), [](int t) { return t >= 0; }));
    for (int r = 0; r < cROWS; ++r) {
        std::vector<int> tiles;
        std::copy_if(grid[r].begin(), grid[r].end(), std::back_inserter(tiles), [](int t) { return t >= 0; });
        std::fill(grid[r].begin(), grid[r].end(), -1);
        for (size_t i = 0; i < tiles.size(); ++i) {
            const int to = static_cast<int>(i) < m ? r : count[0] < m ? 0 : count[1] >= m ? 2 : 1;
            if (to == r) {
                grid[r][i] = tiles[i];
            } else {
                *std::find(grid[to].begin(), grid[to].end(), -1) = tiles[i];
                ++count[to];
            }
        }
    }
    return grid;
}

} // namespace

// Every choice of three tiles from every board the game can reach.
TEST(Board, TakingAnyThreeTilesLeavesTheBoardTheGapRuleGives)
{
    const struct {
        int perRow;
        uint32_t nextTile;
        int rowsAfter; // each row's length afterwards; -1: the refill follows, rows only packed
    } shapes[] = {{5, 15, 4}, {4, 12, -1}, {5, 81, 4}, {4, 81, 3}, {3, 81, 2}, {2, 81, 1}, {1, 81, 0}};
    for (const auto& shape : shapes) {
        const int n = shape.perRow * cROWS;
        for (int a = 0; a < n; ++a)
            for (int b = a + 1; b < n; ++b)
                for (int c = b + 1; c < n; ++c) {
                    DealBoard({}, shape.nextTile);
                    for (int i = 0; i < n; ++i)
                        g_game.rgBoard[i / shape.perRow][i % shape.perRow] = TileAt(i);
                    int rows[cROWS] = {shape.perRow, shape.perRow, shape.perRow};
                    for (int k : {a, b, c}) {
                        g_game.rgBoard[k / shape.perRow][k % shape.perRow] = PIECE{};
                        --rows[k / shape.perRow];
                    }
                    const GRID expected = expectedAfterTaking(boardGrid(), n, shape.nextTile == 81);
                    CompactBoard(n, rows);
                    ASSERT_EQ(boardGrid(), expected) << shape.perRow << " per row, taking " << a << " " << b << " " << c;
                    int after[cROWS];
                    ASSERT_EQ(CountTiles(after), n - 3);
                    ASSERT_TRUE(shape.rowsAfter < 0
                                || (after[0] == shape.rowsAfter && after[1] == shape.rowsAfter && after[2] == shape.rowsAfter));
                }
    }
}

TEST(Board, PrepareAddLinesUpAQuiboOnlyWhenTheBoardHasNone)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        DealBoard(QuiboFreeTwelve(), 12);
        const std::vector<int> before = deckOrder();
        std::srand(seed);
        PrepareAdd();
        PIECE found[3];
        EXPECT_TRUE(FindQuibo(SCOPE_NEXT_ADD, nullptr, found)) << seed;
        const std::vector<int> after = deckOrder();
        // The dealt tiles stay; the undealt ones are only reordered.
        EXPECT_TRUE(std::equal(before.begin(), before.begin() + 12, after.begin()));
        EXPECT_TRUE(std::is_permutation(before.begin() + 12, before.end(), after.begin() + 12));
    }

    DealBoard({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 12); // 0, 1, 2 are a quibo
    PrepareAdd();
    EXPECT_EQ(TileIndex(g_game.rgDeck[12]), 12);
}
