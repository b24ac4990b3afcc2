// Tiles for the game's tests.
#pragma once

#include "game.h"

#include <algorithm>
#include <vector>

// The tile of a canonical index.
inline PIECE TileAt(int index)
{
    const auto u = [](int v) { return static_cast<uint32_t>(v); };
    return PIECE{1, u(index / 27), u(index / 9 % 3), u(index / 3 % 3), u(index % 3), nullptr, 0};
}

// Twelve tiles with no quibo among them: each one completes none with two taken before it.
inline std::vector<int> QuiboFreeTwelve()
{
    std::vector<int> tiles;
    for (int t = 0; t < cDECK && tiles.size() < 12; ++t) {
        bool completes = false;
        for (size_t i = 0; i < tiles.size(); ++i)
            for (size_t j = i + 1; j < tiles.size(); ++j)
                completes = completes || IsQuibo(TileAt(tiles[i]), TileAt(tiles[j]), TileAt(t));
        if (!completes)
            tiles.push_back(t);
    }
    return tiles;
}

// Deals `board` (row by row, four to a row) with the rest of the deck behind it in index order.
inline void DealBoard(const std::vector<int>& board, uint32_t nextTile)
{
    std::vector<int> order = board;
    for (int t = 0; t < cDECK; ++t)
        if (std::find(board.begin(), board.end(), t) == board.end())
            order.push_back(t);
    for (int i = 0; i < cDECK; ++i)
        g_game.rgDeck[i] = TileAt(order[i]);
    std::fill(&g_game.rgBoard[0][0], &g_game.rgBoard[0][0] + cROWS * cCOLUMNS, PIECE{});
    for (size_t i = 0; i < board.size(); ++i)
        g_game.rgBoard[i / 4][i % 4] = TileAt(board[i]);
    g_game.iNextTile = nextTile;
    g_game.cFound = (nextTile - static_cast<uint32_t>(board.size())) / 3;
}
