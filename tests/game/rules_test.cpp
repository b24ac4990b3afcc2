#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "game.h"

namespace {

PIECE tile(int color, int shape, int shading, int number)
{
    PIECE p{};
    p.fPresent = 1;
    p.iColor = color;
    p.iShape = shape;
    p.iShading = shading;
    p.iNumber = number;
    return p;
}

PIECE tileAt(int index)
{
    return tile(index / 27, index / 9 % 3, index / 3 % 3, index % 3);
}

void clearGame()
{
    std::memset(&g_game, 0, sizeof g_game);
}

// The deck order a seed gives, replayed from the shuffle's draw pattern on plain indices.
std::vector<int> expectedDeck(unsigned seed)
{
    std::vector<int> deck(81);
    for (int i = 0; i < 81; ++i)
        deck[i] = i;
    std::srand(seed);
    const int swaps = 100 + std::rand() % 100;
    for (int s = 0; s < swaps; ++s)
        std::swap(deck[0], deck[std::rand() % 80 + 1]);
    return deck;
}

} // namespace

TEST(IsQuibo, EachAttributeAllSameOrAllDifferent)
{
    // Same colour, shape and shading; numbers all different.
    EXPECT_TRUE(IsQuibo(tile(0, 1, 2, 0), tile(0, 1, 2, 1), tile(0, 1, 2, 2)));
    // Everything different.
    EXPECT_TRUE(IsQuibo(tile(0, 0, 0, 0), tile(1, 1, 1, 1), tile(2, 2, 2, 2)));
    // Two alike and one different in a single attribute fails, whichever attribute.
    EXPECT_FALSE(IsQuibo(tile(0, 0, 0, 0), tile(0, 0, 0, 1), tile(1, 0, 0, 2)));
    EXPECT_FALSE(IsQuibo(tile(0, 0, 0, 0), tile(1, 1, 1, 1), tile(2, 1, 2, 2)));
    EXPECT_FALSE(IsQuibo(tile(0, 0, 0, 0), tile(1, 1, 1, 1), tile(2, 2, 0, 2)));
    EXPECT_FALSE(IsQuibo(tile(0, 0, 0, 0), tile(1, 1, 1, 1), tile(2, 2, 2, 1)));
    // The same tile twice never passes.
    EXPECT_FALSE(IsQuibo(tile(1, 1, 1, 1), tile(1, 1, 1, 1), tile(1, 2, 0, 1)));
}

TEST(IsQuibo, ExactlyOneThirdTileCompletesAnyPair)
{
    for (int a = 0; a < 81; ++a) {
        for (int b = a + 1; b < 81; ++b) {
            int completions = 0;
            for (int c = 0; c < 81; ++c)
                completions += IsQuibo(tileAt(a), tileAt(b), tileAt(c));
            ASSERT_EQ(completions, 1) << a << "," << b;
        }
    }
}

TEST(BuildDeck, HoldsEveryTileOnceInTheOrderTheSeedGives)
{
    for (unsigned seed : {1u, 42u, 20261206u}) {
        clearGame();
        const std::vector<int> expected = expectedDeck(seed);
        std::srand(seed);
        BuildDeck();
        std::set<int> seen;
        for (int i = 0; i < 81; ++i) {
            const PIECE& p = g_game.rgDeck[i];
            EXPECT_EQ(p.fPresent, 1u);
            EXPECT_EQ(p.pObject, nullptr);
            EXPECT_EQ(TileIndex(p), expected[i]) << "seed " << seed << " entry " << i;
            seen.insert(TileIndex(p));
        }
        EXPECT_EQ(seen.size(), 81u);
    }
}

TEST(FindQuibo, EmptyBoardReturnsFalseWithoutDrawing)
{
    clearGame();
    std::srand(7);
    const int next = std::rand();
    std::srand(7);
    PIECE out[3] = {};
    EXPECT_FALSE(FindQuibo(SCOPE_BOARD, nullptr, out));
    EXPECT_EQ(std::rand(), next);
    EXPECT_EQ(out[0].fPresent, 0u);
}

TEST(FindQuibo, FindsTheTripleTheStirringImplies)
{
    clearGame();
    // Twelve tiles spread over the deck; the expectation replays the stir and the search
    // order on plain indices.
    for (int i = 0; i < 12; ++i)
        g_game.rgBoard[i / 4][i % 4] = tileAt(i * 7 % 81);
    std::vector<int> list;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 5; ++c)
            if (g_game.rgBoard[r][c].fPresent)
                list.push_back(TileIndex(g_game.rgBoard[r][c]));

    std::srand(99);
    const unsigned n = list.size();
    const int exchanges = std::rand() % 20 + 20;
    for (int e = 0; e < exchanges; ++e)
        std::swap(list[0], list[static_cast<unsigned>(std::rand()) % (n - 1) + 1]);
    int want[3] = {-1, -1, -1};
    for (unsigned i = 0; i < n && want[0] < 0; ++i)
        for (unsigned j = i + 1; j < n && want[0] < 0; ++j)
            for (unsigned k = j + 1; k < n && want[0] < 0; ++k)
                if (IsQuibo(tileAt(list[i]), tileAt(list[j]), tileAt(list[k])))
                    want[0] = list[i], want[1] = list[j], want[2] = list[k];
    ASSERT_GE(want[0], 0) << "the test board must hold a quibo";

    std::srand(99);
    PIECE out[3] = {};
    ASSERT_TRUE(FindQuibo(SCOPE_BOARD, nullptr, out));
    EXPECT_EQ(TileIndex(out[0]), want[0]);
    EXPECT_EQ(TileIndex(out[1]), want[1]);
    EXPECT_EQ(TileIndex(out[2]), want[2]);
}

TEST(FindQuibo, MustContainLeadsTheTripleOrFails)
{
    clearGame();
    g_game.rgBoard[0][0] = tile(0, 0, 0, 0);
    g_game.rgBoard[0][1] = tile(1, 1, 1, 1);
    g_game.rgBoard[0][2] = tile(2, 2, 2, 2);
    PIECE out[3] = {};
    const PIECE wanted = tile(2, 2, 2, 2);
    ASSERT_TRUE(FindQuibo(SCOPE_BOARD, &wanted, out));
    EXPECT_TRUE(SameTile(out[0], wanted));
    EXPECT_TRUE(IsQuibo(out[0], out[1], out[2]));

    const PIECE absent = tile(1, 0, 0, 0);
    PIECE untouched[3] = {};
    EXPECT_FALSE(FindQuibo(SCOPE_BOARD, &absent, untouched));
    EXPECT_EQ(untouched[0].fPresent, 0u);
}

TEST(FindQuibo, ScopesReachIntoTheDeckAsFarAsTheyShould)
{
    clearGame();
    // The board holds two tiles of a quibo; the third waits in the deck at iNextTile + 2,
    // and a second completion lies beyond the next Add.
    g_game.rgBoard[0][0] = tile(0, 0, 0, 0);
    g_game.rgBoard[0][1] = tile(1, 1, 1, 1);
    g_game.iNextTile = 78;
    g_game.rgDeck[80] = tile(2, 2, 2, 2);
    PIECE out[3];
    EXPECT_FALSE(FindQuibo(SCOPE_BOARD, nullptr, out));
    EXPECT_TRUE(FindQuibo(SCOPE_NEXT_ADD, nullptr, out));

    g_game.iNextTile = 70;
    EXPECT_FALSE(FindQuibo(SCOPE_NEXT_ADD, nullptr, out));
    EXPECT_TRUE(FindQuibo(SCOPE_REMAINING, nullptr, out));

    // Fewer than three tiles left: only those that remain count.
    g_game.iNextTile = 80;
    EXPECT_TRUE(FindQuibo(SCOPE_NEXT_ADD, nullptr, out));
}

TEST(FindQuibo, RepeatedSearchesVaryTheQuiboFound)
{
    clearGame();
    std::srand(5);
    BuildDeck();
    for (int i = 0; i < 15; ++i)
        g_game.rgBoard[i / 5][i % 5] = g_game.rgDeck[i];
    g_game.iNextTile = 15;
    std::set<int> firstTiles;
    for (int run = 0; run < 50; ++run) {
        PIECE out[3];
        if (FindQuibo(SCOPE_BOARD, nullptr, out))
            firstTiles.insert(TileIndex(out[0]) * 6561 + TileIndex(out[1]) * 81 + TileIndex(out[2]));
    }
    EXPECT_GT(firstTiles.size(), 1u);
}

TEST(FindQuibo, LoneCandidateDoesNotDivideByZero)
{
    clearGame();
    g_game.rgBoard[1][1] = tile(1, 2, 0, 1);
    PIECE out[3];
    EXPECT_FALSE(FindQuibo(SCOPE_BOARD, nullptr, out));
}
