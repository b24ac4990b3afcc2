// Tile objects: the animated object that shows one tile, on the board or as a sample. It keeps
// its own copy of the tile and the board column and row it stands for (-1 for a sample), and
// draws the tile face with one to three inset images stacked in its middle.
#pragma once

#include "game.h"

#include "windows.h"

struct ANIMOBJECT;
struct AnimWindow;
struct Graphic;

// What tiles are drawn from: the three tile faces (normal, selected, back), the 54 insets in 6
// columns (three colours, then their highlighted variants) and 9 rows (shape x 3 + shading),
// and the gap between stacked insets. The media set fills it once its images are loaded.
struct TILEART {
    Graphic* rgFaces[3];
    Graphic* rgInsets[54];
    int cyInsetsSpacing;
};
extern TILEART g_tileArt;

constexpr int iTILE_LAYER = 100;

// A tile object in layer 100 on window. column and row: its board slot, -1 for a sample tile
// that stands for none. None when it could not be made.
ANIMOBJECT* CreateTileObject(AnimWindow* window, const PIECE& piece, int column, int row);
// The tile an object shows, its copy; none for an object that is not a tile.
PIECE* TileOf(const ANIMOBJECT* object);
int TileColumn(const ANIMOBJECT* object);
int TileRow(const ANIMOBJECT* object);
void SetTileSlot(ANIMOBJECT* object, int column, int row);
// Sets the selected flag in the object's copy and in its board slot, and redraws it.
void SetTileSelected(ANIMOBJECT* object, bool fSelected);

// The drawing callback of every tile object.
LRESULT TileProc(ANIMOBJECT* object, UINT message, void* data);
