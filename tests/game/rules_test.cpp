#include "game.h"
#include "tile_samples.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

void clearGame()
{
    std::memset(&g_game, 0, sizeof g_game);
}

// Replays the draws a search makes on the board's tiles (row by row): the stir, then the
// first quibo in index order. -1: none.
std::vector<int> expectedFind(unsigned seed)
{
    std::vector<int> list;
    for (const auto& row : g_game.rgBoard)
        for (const PIECE& piece : row)
            if (piece.fPresent)
                list.push_back(TileIndex(piece));
    std::srand(seed);
    const size_t n = list.size();
    const int exchanges = std::rand() % 20 + 20;
    for (int e = 0; e < exchanges; ++e)
        std::swap(list[0], list[static_cast<unsigned>(std::rand()) % (n - 1) + 1]);
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            for (size_t k = j + 1; k < n; ++k)
                if (IsQuibo(TileAt(list[i]), TileAt(list[j]), TileAt(list[k])))
                    return {list[i], list[j], list[k]};
    return {-1};
}

} // namespace

// Each attribute all the same or all different: then exactly one tile completes any pair.
TEST(IsQuibo, ExactlyOneThirdTileCompletesAnyPair)
{
    for (int a = 0; a < cDECK; ++a) {
        for (int b = a + 1; b < cDECK; ++b) {
            int completions = 0;
            for (int c = 0; c < cDECK; ++c)
                completions += IsQuibo(TileAt(a), TileAt(b), TileAt(c));
            ASSERT_EQ(completions, 1) << a << "," << b;
        }
    }
}

TEST(BuildDeck, HoldsEveryTileOnceInTheOrderTheSeedGives)
{
    for (unsigned seed : {1u, 42u, 20261206u}) {
        std::vector<int> expected(cDECK);
        for (int i = 0; i < cDECK; ++i)
            expected[i] = i;
        std::srand(seed);
        const int swaps = 100 + std::rand() % 100;
        for (int s = 0; s < swaps; ++s)
            std::swap(expected[0], expected[std::rand() % 80 + 1]);

        clearGame();
        g_game.rgDeck[3].pObject = reinterpret_cast<ANIMOBJECT*>(&g_game);
        std::srand(seed);
        BuildDeck();
        for (int i = 0; i < cDECK; ++i) {
            const PIECE& p = g_game.rgDeck[i];
            EXPECT_TRUE(p.fPresent && !p.pObject);
            EXPECT_EQ(TileIndex(p), expected[i]) << "seed " << seed << " entry " << i;
        }
    }
}

// No search draws a number it does not use, and one lone tile divides by nothing.
TEST(FindQuibo, FindsTheTripleTheStirringImpliesAndNothingOnAnEmptyBoard)
{
    clearGame();
    for (int i = 0; i < 12; ++i)
        g_game.rgBoard[i / 4][i % 4] = TileAt(i * 7 % 81);
    const std::vector<int> want = expectedFind(99);
    ASSERT_EQ(want.size(), 3u) << "the test board must hold a quibo";
    std::srand(99);
    PIECE out[3] = {};
    ASSERT_TRUE(FindQuibo(SCOPE_BOARD, nullptr, out));
    EXPECT_EQ(std::vector<int>({TileIndex(out[0]), TileIndex(out[1]), TileIndex(out[2])}), want);

    clearGame();
    std::srand(7);
    const int next = std::rand();
    std::srand(7);
    EXPECT_FALSE(FindQuibo(SCOPE_BOARD, nullptr, out));
    EXPECT_EQ(std::rand(), next);
    g_game.rgBoard[1][1] = TileAt(46);
    EXPECT_FALSE(FindQuibo(SCOPE_BOARD, nullptr, out));
}

TEST(FindQuibo, MustContainLeadsTheTripleOrFails)
{
    clearGame();
    for (int i : {0, 40, 80})
        g_game.rgBoard[0][i / 40] = TileAt(i);
    PIECE out[3] = {};
    ASSERT_TRUE(FindQuibo(SCOPE_BOARD, &g_game.rgBoard[0][2], out));
    EXPECT_EQ(TileIndex(out[0]), 80);
    EXPECT_TRUE(IsQuibo(out[0], out[1], out[2]));

    const PIECE absent = TileAt(27);
    PIECE untouched[3] = {};
    EXPECT_FALSE(FindQuibo(SCOPE_BOARD, &absent, untouched));
    EXPECT_EQ(untouched[0].fPresent, 0u);
}

TEST(FindQuibo, ScopesReachIntoTheDeckAsFarAsTheyShould)
{
    clearGame();
    // The board holds two tiles of a quibo; the third waits in the deck at 72 and at 80.
    g_game.rgBoard[0][0] = TileAt(0);
    g_game.rgBoard[0][1] = TileAt(40);
    g_game.rgDeck[72] = g_game.rgDeck[80] = TileAt(80);
    const struct {
        uint32_t nextTile;
        QUIBOSCOPE scope;
        bool found;
    } cases[] = {
        {70, SCOPE_BOARD, false},    {70, SCOPE_NEXT_ADD, true}, {69, SCOPE_NEXT_ADD, false},
        {60, SCOPE_REMAINING, true}, {78, SCOPE_NEXT_ADD, true}, {80, SCOPE_NEXT_ADD, true}, // fewer than three left
    };
    for (const auto& c : cases) {
        g_game.iNextTile = c.nextTile;
        PIECE out[3];
        EXPECT_EQ(FindQuibo(c.scope, nullptr, out), c.found) << c.nextTile << " scope " << c.scope;
    }
}
