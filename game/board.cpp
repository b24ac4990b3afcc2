// The board's own bookkeeping: counting, closing the gaps after a quibo, and lining up the
// next Add. The display follows the slots; nothing here touches an object.
#include "game.h"

#include <cstdlib>
#include <utility>

namespace {

constexpr int cCOLUMNS_DEALT = 4; // columns while the deck lasts, outside an Add
constexpr int cPREPARE_TRIES = 10000;

PIECE& slot(int row, int column)
{
    return g_game.rgBoard[row][column];
}

int firstEmptyColumn(int row)
{
    for (int column = 0; column < cCOLUMNS; ++column)
        if (!slot(row, column).fPresent)
            return column;
    return cCOLUMNS;
}

// The row that takes a tile a too long row gives up.
int receivingRow(int m, const int rowCounts[cROWS])
{
    if (rowCounts[0] < m)
        return 0;
    return rowCounts[1] >= m ? 2 : 1;
}

} // namespace

int CountTiles(int rowCounts[cROWS])
{
    int n = 0;
    for (int row = 0; row < cROWS; ++row) {
        int inRow = 0;
        for (const PIECE& piece : g_game.rgBoard[row])
            inRow += piece.fPresent ? 1 : 0;
        if (rowCounts)
            rowCounts[row] = inRow;
        n += inRow;
    }
    return n;
}

void CompactBoard(int n, int rowCounts[cROWS])
{
    const int m = n <= 12 && g_game.iNextTile >= cDECK ? (n - 3) / 3 : cCOLUMNS_DEALT;
    for (int row = 0; row < cROWS; ++row) {
        int d = 0;
        for (int column = 0; column < cCOLUMNS; ++column) {
            if (!slot(row, column).fPresent)
                continue;
            PIECE piece = slot(row, column);
            slot(row, column) = PIECE{};
            if (++d <= m) {
                slot(row, d - 1) = piece;
                continue;
            }
            const int to = receivingRow(m, rowCounts);
            const int toColumn = firstEmptyColumn(to);
            // Cannot fail while the board holds no more than 3 m tiles; keep the tile if it did.
            if (toColumn >= cCOLUMNS) {
                slot(row, column) = piece;
                continue;
            }
            slot(to, toColumn) = piece;
            ++rowCounts[to];
        }
    }
}

void PrepareAdd()
{
    PIECE found[3];
    if (FindQuibo(SCOPE_BOARD, nullptr, found))
        return;
    for (int attempt = 0; attempt < cPREPARE_TRIES; ++attempt) {
        if (FindQuibo(SCOPE_NEXT_ADD, nullptr, found))
            return;
        const uint32_t next = g_game.iNextTile;
        // With fewer than two tiles left there is nothing to trade places with.
        if (next + 1 >= cDECK)
            return;
        std::swap(g_game.rgDeck[next], g_game.rgDeck[next + 1 + std::rand() % (cDECK - 1 - next)]);
    }
}
