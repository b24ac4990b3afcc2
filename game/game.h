// The game core: tiles, the deck and board of the one game in progress, and the rules.
#pragma once

#include <cstdint>

struct ANIMOBJECT;

// One tile. An all-zero record is an empty slot. Copied by value wherever a tile moves;
// two tiles are the same tile exactly when their four attributes are equal.
struct PIECE {
    uint32_t fPresent;
    uint32_t iColor;   // red, green, blue
    uint32_t iShape;   // rectangle, circle, triangle
    uint32_t iShading; // solid, lined down the middle, hollow
    uint32_t iNumber;  // images on the tile, minus one
    ANIMOBJECT* pObject;
    uint32_t fSelected;
};

constexpr int cDECK = 81;
constexpr int cROWS = 3;
constexpr int cCOLUMNS = 5;

struct GAMESTATE {
    PIECE rgDeck[cDECK];
    PIECE rgBoard[cROWS][cCOLUMNS];
    uint32_t iNextTile;
    uint32_t cFound;
    uint32_t fActive;
    uint32_t fPaused;
    uint32_t tStart;
    uint32_t tPauseStart;
};

extern GAMESTATE g_game;

enum QUIBOSCOPE {
    SCOPE_BOARD = 0,     // the board only
    SCOPE_REMAINING = 1, // the board and every undealt tile
    SCOPE_NEXT_ADD = 2,  // the board and the three tiles the next Add would deal
};

// Canonical index 0..80 of a tile's attributes: the position in the unshuffled deck.
int TileIndex(const PIECE& piece);
bool SameTile(const PIECE& a, const PIECE& b);

bool IsQuibo(const PIECE& first, const PIECE& second, const PIECE& third);
void BuildDeck();
// Finds a quibo within the scope (containing mustContain when given) and copies its tiles
// into out; out is left untouched when there is none.
bool FindQuibo(QUIBOSCOPE scope, const PIECE* mustContain, PIECE out[3]);
