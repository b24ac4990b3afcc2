// Keyboard play beside the mouse: the arrow keys move a focus ring over the board, Space or
// Enter taps the tile under it, and one letter each stands for a play-screen button.
#pragma once

#include "game.h"

#include "windows.h"

// The board slot an arrow key leads to from `from` (x: column, y: row) on a board whose rows
// hold rowCounts tiles, packed to the left. The focus stops at the board's edges; from an
// emptied slot it goes to the nearest tile first.
POINT MoveFocus(POINT from, UINT vk, const int rowCounts[cROWS]);

// A key pressed while the play screen shows; commands go to commandWindow as its buttons send
// them. False for a key that keyboard play has no use for.
bool PlayKey(HWND commandWindow, UINT vk);

// The slot under the focus ring, {-1, -1} while there is none. The ring appears with the first
// arrow key, so a player who uses the mouse never sees it.
POINT FocusSlot();

// Keeps the ring on its tile as tiles fly and the board changes; removes it when the play
// screen goes or the game stops. Called once per frame.
void RefreshFocus();
