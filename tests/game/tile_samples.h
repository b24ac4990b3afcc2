// Tiles and boards for the game's tests.
#pragma once

#include "game.h"

#include <algorithm>
#include <string>
#include <vector>

// The tile of a canonical index.
inline PIECE TileAt(int i)
{
    return PIECE{1, uint32_t(i / 27), uint32_t(i / 9 % 3), uint32_t(i / 3 % 3), uint32_t(i % 3), nullptr, 0};
}

// Twelve tiles with no quibo among them (the first such in index order).
inline const std::vector<int> kQuiboFree = {0, 1, 3, 4, 9, 10, 12, 13, 27, 28, 30, 31};

// Deals `board` (row by row, perRow to a row) with the rest of the deck behind it in index order.
inline void DealBoard(const std::vector<int>& board, uint32_t nextTile, int perRow = 4)
{
    std::vector<int> order = board;
    for (int t = 0; t < cDECK; ++t)
        if (std::ranges::find(board, t) == board.end())
            order.push_back(t);
    for (int i = 0; i < cDECK; ++i)
        g_game.rgDeck[i] = TileAt(order[i]);
    std::fill(&g_game.rgBoard[0][0], &g_game.rgBoard[0][0] + cROWS * cCOLUMNS, PIECE{});
    for (size_t i = 0; i < board.size(); ++i)
        g_game.rgBoard[i / perRow][i % perRow] = TileAt(board[i]);
    g_game.iNextTile = nextTile;
    g_game.cFound = (nextTile - uint32_t(board.size())) / 3;
}

// The board row by row, each slot its tile's index or ".": "0 1 2 3 . | ...".
inline std::string BoardText()
{
    std::string text;
    for (const auto& row : g_game.rgBoard)
        for (const PIECE& piece : row)
            text += (&piece == row ? text.empty() ? "" : " | " : " ") + (piece.fPresent ? std::to_string(TileIndex(piece)) : ".");
    return text;
}
