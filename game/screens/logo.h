// The logo intro: an animated logo with three sounds, played from the program's own resources
// while the game's media load on a worker thread. It lasts until the loading has finished and
// at least two seconds have passed since the loading began.
#pragma once

#include "windows.h"

struct AnimWindow;

// Loads the game's media on the intro's worker thread; false when the loading failed. It must
// not touch the screens or the animation window's objects.
using LOGOLOADER = bool (*)();

// Plays the intro in window to its end and returns the loader's result: FALSE when an asset is
// missing, the loader failed, or the intro was cancelled. The window's event callback and frame
// rate are restored on return; the intro is destroyed unless keep is set and the result is TRUE.
BOOL RunLogo(AnimWindow* window, HMODULE module, LOGOLOADER loader, bool keep);

// Cuts a running intro short (its result becomes FALSE) and waits for it to end: the intro
// still waits for its loader.
void CancelLogo();

// Restores the window and frees the intro, if there is one.
void DestroyLogo();
