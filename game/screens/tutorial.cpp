#include "tutorial.h"

namespace {

constexpr PIECE Tile(uint32_t color, uint32_t shape, uint32_t shading, uint32_t number)
{
    return {1, color, shape, shading, number, nullptr, 0};
}

constexpr PIECE kNone{};

} // namespace

// Pages 0-2 introduce the tiles; 3 and 4 show quibos; 5 and 7 ask for the third tile, which
// 6 and 8 then show; 9-11 keep one quibo in view while the text covers the rest of the game.
const TUTORIALPAGE g_tutorialPages[cTUTORIAL_PAGES] = {
    {50, {Tile(1, 0, 2, 0), Tile(2, 1, 1, 1), Tile(0, 2, 0, 2)}},
    {56, {Tile(1, 0, 2, 0), Tile(2, 1, 1, 1), Tile(0, 2, 0, 2)}},
    {62, {Tile(1, 0, 2, 0), Tile(2, 1, 1, 1), Tile(0, 2, 0, 2)}},
    {68, {Tile(2, 0, 2, 1), Tile(2, 2, 2, 1), Tile(2, 1, 2, 1)}},
    {72, {Tile(0, 1, 1, 1), Tile(1, 1, 2, 0), Tile(2, 1, 0, 2)}},
    {84, {Tile(1, 2, 1, 0), Tile(2, 0, 1, 0), kNone}},
    {96, {Tile(1, 2, 1, 0), Tile(2, 0, 1, 0), Tile(0, 1, 1, 0)}},
    {100, {Tile(0, 1, 2, 2), Tile(2, 2, 0, 0), kNone}},
    {112, {Tile(0, 1, 2, 2), Tile(2, 2, 0, 0), Tile(1, 0, 1, 1)}},
    {118, {Tile(0, 1, 1, 1), Tile(1, 0, 2, 2), Tile(2, 2, 0, 0)}},
    {124, {Tile(0, 1, 1, 1), Tile(1, 0, 2, 2), Tile(2, 2, 0, 0)}},
    {128, {Tile(0, 1, 1, 1), Tile(1, 0, 2, 2), Tile(2, 2, 0, 0)}},
};
