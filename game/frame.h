// The game program's frame: start-up, the main window and the shutdown.
#pragma once

#include <windows.h>

// Everything before the main window: one instance only, the records, the language, the engine
// and the resource pack. False: end at once (another instance runs, or nothing to show).
bool StartUp(HINSTANCE instance);
// Shows the main window, plays the intro, runs the game until the window closes, and shuts down.
void Run();

// The whole-number factor the windows are shown at: the largest that fits the window on the
// screen (1 unless the screen holds at least twice the window both ways), or forced, when it
// names a factor from 1 to 8 (QUIBO_SCALE; 1 turns scaling off).
int WindowScale(SIZE screen, SIZE window, const char* forced);

// Run's steps.
// The main window, shown at the layout's size with the animation window filling it.
HWND CreateMainWindow();
// Plays the intro while the media load, then shows the first screen; false (the main window
// closed) when the media could not be loaded.
bool StartGame();
// The tutorial on a first run, else the play screen with a new game.
void ShowFirstScreen();
// Writes both records and frees the media and the layout.
void ShutDown();
