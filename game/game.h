// The game core: tiles, the deck and board of the one game in progress, and the rules.
#pragma once

#include "tl_string.h"

#include "windows.h"

#include <cstdint>

struct ANIMOBJECT;

// One tile. An all-zero record is an empty slot. Copied by value wherever a tile moves;
// two tiles are the same tile exactly when their four attributes are equal.
struct PIECE {
    uint32_t fPresent;
    uint32_t iColor; // red, green, blue
    uint32_t iShape; // rectangle, circle, triangle
    uint32_t iShading; // solid, lined down the middle, hollow
    uint32_t iNumber; // images on the tile, minus one
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
    SCOPE_BOARD = 0, // the board only
    SCOPE_REMAINING = 1, // the board and every undealt tile
    SCOPE_NEXT_ADD = 2, // the board and the three tiles the next Add would deal
};

// Canonical index 0..80 of a tile's attributes: the position in the unshuffled deck.
int TileIndex(const PIECE& piece);
bool SameTile(const PIECE& a, const PIECE& b);

bool IsQuibo(const PIECE& first, const PIECE& second, const PIECE& third);
void BuildDeck();
// Finds a quibo within the scope (containing mustContain when given) and copies its tiles
// into out; out is left untouched when there is none.
bool FindQuibo(QUIBOSCOPE scope, const PIECE* mustContain, PIECE out[3]);

// The board. Rows are kept packed: a row's tiles fill its first columns.

// Tiles on the board in all, and per row when rowCounts is given.
int CountTiles(int rowCounts[cROWS] = nullptr);
// Closes the gaps a taken quibo left: n is the number of tiles before the three were removed,
// rowCounts each row's count after. Every row ends packed, four tiles wide while the deck lasts
// and one narrower per quibo once it is exhausted; a row left too long passes its last tiles
// to the first row that is short.
void CompactBoard(int n, int rowCounts[cROWS]);
// Before an Add from twelve: when the board holds no quibo, reorders the undealt tiles (within
// 10000 tries) so that the three about to be dealt complete one.
void PrepareAdd();

// The clock. Penalties move the start back, pauses move it forward.

constexpr uint32_t tPENALTY_WRONG_THIRD = 3000;
constexpr uint32_t tPENALTY_NEEDLESS_ADD = 5000;
constexpr uint32_t tPENALTY_HINT = 6000;
constexpr uint32_t tPENALTY_HINT_PAIR = 30000;
constexpr uint32_t tPENALTY_NO_HINT = 3000;

uint32_t ElapsedTime();
void Penalise(uint32_t ms);

// The status values as last computed. While the game is paused or over the times stay as they
// were; once it is over the estimate shows the final time, and `dwTime` is the score.
struct GAMESTATUS {
    uint32_t dwTime;
    uint32_t cTilesLeft; // undealt tiles
    uint32_t dwAverage; // per quibo; 0 before the first
    uint32_t dwEstimate; // 0 before the fifth quibo
};
extern GAMESTATUS g_status;
void RefreshStatus();

// Minutes, the user's time separator and two-digit seconds: "4:05".
string FormatTime(uint32_t ms);

// The game in progress, driven by the main window. Each call is ignored in a state where it
// makes no sense (paused, over, flights still running); none fails.

// Abandons any game and deals a new one, whose opening board always holds a quibo.
void NewGame();
// A tap on the play window, in its client coordinates.
void ClickTile(POINT point);
void DeselectAll();
// fromUser: the Add button; else the refill after a quibo, its flights from startFrame (0: now).
void AddTiles(bool fromUser, DWORD startFrame);
void Hint();
void TogglePause();
// Takes the three selected tiles off the board and closes the gaps; returns the frame at which
// the flights end.
DWORD TakeQuibo();
// The finished game's time goes to the high-score table.
void EndGame(uint32_t finalTime);
