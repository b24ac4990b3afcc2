#include "game.h"
#include "tile_samples.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <numeric>
#include <vector>

namespace {

// Replays the draws a search makes on the board's tiles (row by row): the stir, then the
// first quibo in index order, led by mustContain when given. -1: none.
std::vector<int> expectedFind(unsigned seed, int mustContain = -1)
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
        for (size_t j = mustContain < 0 ? i + 1 : 0; j < n; ++j)
            for (size_t k = j + 1; k < n; ++k)
                if ((mustContain < 0 || list[i] == mustContain) && j != i && k != i
                    && IsQuibo(TileAt(list[i]), TileAt(list[j]), TileAt(list[k])))
                    return {list[i], list[j], list[k]};
    return {-1};
}

} // namespace

// Each attribute all the same or all different: then exactly one tile completes any pair.
TEST(IsQuibo, ExactlyOneThirdTileCompletesAnyPair)
{
    for (int a = 0; a < cDECK; ++a)
        for (int b = a + 1; b < cDECK; ++b) {
            int completions = 0;
            for (int c = 0; c < cDECK; ++c)
                completions += IsQuibo(TileAt(a), TileAt(b), TileAt(c));
            ASSERT_EQ(completions, 1) << a << "," << b;
        }
}

TEST(BuildDeck, HoldsEveryTileOnceInTheOrderTheSeedGives)
{
    for (unsigned seed : {1u, 42u, 20261206u}) {
        std::vector<int> expected(cDECK), dealt;
        std::iota(expected.begin(), expected.end(), 0);
        std::srand(seed);
        const int swaps = 100 + std::rand() % 100;
        for (int s = 0; s < swaps; ++s)
            std::swap(expected[0], expected[std::rand() % 80 + 1]);

        std::memset(&g_game, 0, sizeof g_game);
        g_game.rgDeck[3].pObject = reinterpret_cast<ANIMOBJECT*>(&g_game);
        std::srand(seed);
        BuildDeck();
        for (const PIECE& tile : g_game.rgDeck)
            dealt.push_back(tile.fPresent && !tile.pObject ? TileIndex(tile) : -1);
        EXPECT_EQ(dealt, expected) << "seed " << seed;
    }
}

// Seeded, so that each search stirs the same way on every run; a search led by a tile that is
// not on the board fails and leaves the output alone.
TEST(FindQuibo, FindsTheTripleTheStirringImpliesLedByTheTileItMustContain)
{
    for (unsigned seed : {3u, 99u, 2026u}) {
        for (int lead : {-1, 0, 14, 27}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " lead " << lead);
            DealBoard({}, 12);
            for (int i = 0; i < 12; ++i)
                g_game.rgBoard[i / 4][i % 4] = TileAt(i * 7 % 81);
            const PIECE leader = TileAt(lead);
            const std::vector<int> want = expectedFind(seed, lead);
            std::srand(seed);
            PIECE out[3] = {};
            ASSERT_EQ(FindQuibo(SCOPE_BOARD, lead < 0 ? nullptr : &leader, out), want.size() == 3);
            EXPECT_EQ(out[0].fPresent ? std::vector<int>({TileIndex(out[0]), TileIndex(out[1]), TileIndex(out[2])}) : std::vector<int>{-1},
                      want);
        }
    }
}

// No search draws a number it does not use, and one lone tile divides by nothing.
TEST(FindQuibo, AnEmptyBoardDrawsNothingAndALoneTileFindsNothing)
{
    DealBoard({}, 12);
    std::srand(7);
    const int next = std::rand();
    std::srand(7);
    PIECE out[3] = {};
    EXPECT_FALSE(FindQuibo(SCOPE_BOARD, nullptr, out));
    EXPECT_EQ(std::rand(), next);
    g_game.rgBoard[1][1] = TileAt(46);
    EXPECT_FALSE(FindQuibo(SCOPE_BOARD, nullptr, out));
}

TEST(FindQuibo, ScopesReachIntoTheDeckAsFarAsTheyShould)
{
    // The board holds two tiles of a quibo; the third waits in the deck at 72 and at 80.
    std::memset(&g_game, 0, sizeof g_game);
    g_game.rgBoard[0][0] = TileAt(0);
    g_game.rgBoard[0][1] = TileAt(40);
    g_game.rgDeck[72] = g_game.rgDeck[80] = TileAt(80);
    const struct {
        uint32_t nextTile;
        QUIBOSCOPE scope;
        bool found;
    } cases[] = {{70, SCOPE_BOARD, false},    {70, SCOPE_NEXT_ADD, true}, {69, SCOPE_NEXT_ADD, false}, {60, SCOPE_REMAINING, true},
                 {73, SCOPE_REMAINING, true}, {78, SCOPE_NEXT_ADD, true}, {80, SCOPE_NEXT_ADD, true}}; // the last: fewer than three left
    for (const auto& c : cases) {
        g_game.iNextTile = c.nextTile;
        PIECE out[3];
        EXPECT_EQ(FindQuibo(c.scope, nullptr, out), c.found) << c.nextTile << " scope " << c.scope;
    }
}
