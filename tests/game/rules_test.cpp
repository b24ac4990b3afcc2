#include "game.h"
#include "tile_samples.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <numeric>
#include <string>
#include <vector>

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
        for (int swaps = 100 + std::rand() % 100; swaps > 0; --swaps)
            std::swap(expected[0], expected[std::rand() % 80 + 1]);
        g_game.rgDeck[3].pObject = reinterpret_cast<ANIMOBJECT*>(&g_game);
        std::srand(seed);
        BuildDeck();
        for (const PIECE& tile : g_game.rgDeck)
            dealt.push_back(tile.fPresent && !tile.pObject ? TileIndex(tile) : -1);
        EXPECT_EQ(dealt, expected) << "seed " << seed;
    }
}

// Seeded, each search stirs the same way on every run. Per seed, the quibo found with no tile
// it must contain, then led by 0, 28 and 77, and by 27, which is not on the board: none.
TEST(FindQuibo, FindsTheTripleTheSeedImpliesLedByTheTileItMustContain)
{
    const std::pair<unsigned, const char*> cases[] = {{3, "49 77 21 |0 28 56 |28 0 56 |77 49 21 |none|"},
                                                      {99, "28 0 56 |0 28 56 |28 0 56 |77 21 49 |none|"},
                                                      {2026, "56 28 0 |0 56 28 |28 56 0 |77 49 21 |none|"}};
    for (const auto& [seed, found] : cases) {
        std::string text;
        for (int lead : {-1, 0, 28, 77, 27}) {
            DealBoard({0, 7, 14, 21, 28, 35, 42, 49, 56, 63, 70, 77}, 12);
            const PIECE leader = TileAt(lead);
            PIECE out[3] = {};
            std::srand(seed);
            text += FindQuibo(SCOPE_BOARD, lead < 0 ? nullptr : &leader, out) ? "" : "none";
            for (const PIECE& tile : out)
                text += tile.fPresent ? std::to_string(TileIndex(tile)) + " " : "";
            text += "|";
        }
        EXPECT_EQ(text, found) << seed;
    }
}

// No search draws a number it does not use, and one lone tile divides by nothing.
TEST(FindQuibo, AnEmptyBoardDrawsNothingAndALoneTileFindsNothing)
{
    DealBoard({}, 12);
    PIECE out[3] = {};
    std::srand(7);
    const bool found = FindQuibo(SCOPE_BOARD, nullptr, out);
    const int next = std::rand();
    std::srand(7);
    g_game.rgBoard[1][1] = TileAt(46);
    EXPECT_TRUE(!found && next == std::rand() && !FindQuibo(SCOPE_BOARD, nullptr, out));
}

// The board holds two tiles of a quibo; the third waits in the deck at 72 and at 80.
TEST(FindQuibo, ScopesReachIntoTheDeckAsFarAsTheyShould)
{
    const struct {
        uint32_t nextTile;
        QUIBOSCOPE scope;
        bool found;
    } cases[] = {{70, SCOPE_BOARD, false},    {70, SCOPE_NEXT_ADD, true}, {69, SCOPE_NEXT_ADD, false}, {60, SCOPE_REMAINING, true},
                 {73, SCOPE_REMAINING, true}, {78, SCOPE_NEXT_ADD, true}, {80, SCOPE_NEXT_ADD, true}}; // the last: fewer than three left
    for (const auto& c : cases) {
        DealBoard({0, 40}, c.nextTile);
        std::fill(g_game.rgDeck, g_game.rgDeck + cDECK, PIECE{});
        g_game.rgDeck[72] = g_game.rgDeck[80] = TileAt(80);
        PIECE out[3];
        EXPECT_EQ(FindQuibo(c.scope, nullptr, out), c.found) << c.nextTile << " scope " << c.scope;
    }
}
