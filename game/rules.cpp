// The rules: the deck, the quibo test and the shuffled search. Every draw comes from the C
// library's rand in a fixed pattern, so a seed replays a whole game.
#include "game.h"

#include <cstdlib>
#include <utility>

GAMESTATE g_game;

int TileIndex(const PIECE& piece)
{
    return piece.iColor * 27 + piece.iShape * 9 + piece.iShading * 3 + piece.iNumber;
}

bool SameTile(const PIECE& a, const PIECE& b)
{
    return a.iColor == b.iColor && a.iShape == b.iShape && a.iShading == b.iShading && a.iNumber == b.iNumber;
}

namespace {

bool allSameOrAllDifferent(uint32_t a, uint32_t b, uint32_t c)
{
    return (a == b && a == c) || (a != b && a != c && b != c);
}

} // namespace

bool IsQuibo(const PIECE& first, const PIECE& second, const PIECE& third)
{
    return allSameOrAllDifferent(first.iColor, second.iColor, third.iColor)
           && allSameOrAllDifferent(first.iShape, second.iShape, third.iShape)
           && allSameOrAllDifferent(first.iShading, second.iShading, third.iShading)
           && allSameOrAllDifferent(first.iNumber, second.iNumber, third.iNumber);
}

void BuildDeck()
{
    for (int i = 0; i < cDECK; ++i) {
        PIECE& piece = g_game.rgDeck[i];
        piece.fPresent = 1;
        piece.iColor = i / 27;
        piece.iShape = i / 9 % 3;
        piece.iShading = i / 3 % 3;
        piece.iNumber = i % 3;
        piece.pObject = nullptr;
    }
    // Not a Fisher-Yates shuffle: the first entry trades places 100 to 199 times.
    const int swaps = 100 + std::rand() % 100;
    for (int s = 0; s < swaps; ++s)
        std::swap(g_game.rgDeck[0], g_game.rgDeck[std::rand() % 80 + 1]);
}

bool FindQuibo(QUIBOSCOPE scope, const PIECE* mustContain, PIECE out[3])
{
    PIECE list[cDECK];
    unsigned n = 0;
    for (const auto& row : g_game.rgBoard)
        for (const PIECE& piece : row)
            if (piece.fPresent)
                list[n++] = piece;

    unsigned deckEnd = g_game.iNextTile;
    if (scope == SCOPE_REMAINING)
        deckEnd = cDECK;
    else if (scope == SCOPE_NEXT_ADD)
        deckEnd = g_game.iNextTile + 3 < cDECK ? g_game.iNextTile + 3 : cDECK;
    for (unsigned d = g_game.iNextTile; d < deckEnd && n < cDECK; ++d)
        if (g_game.rgDeck[d].fPresent)
            list[n++] = g_game.rgDeck[d];

    if (n == 0)
        return false;

    // Stir, so that the quibo found (and the tile a hint shows) is any of those present.
    // A lone candidate (never seen in play: lists hold whole triples) has no partner to
    // trade with, and must not divide by zero.
    const int exchanges = std::rand() % 20 + 20;
    for (int e = 0; e < exchanges && n > 1; ++e)
        std::swap(list[0], list[static_cast<unsigned>(std::rand()) % (n - 1) + 1]);

    for (unsigned i = 0; i < n; ++i) {
        if (mustContain && !SameTile(list[i], *mustContain))
            continue;
        for (unsigned j = mustContain ? 0 : i + 1; j < n; ++j) {
            if (j == i)
                continue;
            for (unsigned k = j + 1; k < n; ++k) {
                if (IsQuibo(list[i], list[j], list[k])) {
                    out[0] = list[i];
                    out[1] = list[j];
                    out[2] = list[k];
                    return true;
                }
            }
        }
    }
    return false;
}
