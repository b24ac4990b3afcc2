// Engine start-up and the display: the window classes "AnimWindow" and "AnimWindowNoCursor",
// the clock, the description of the display and its palette group, and the list of live
// animation windows.
#pragma once

#include "windows.h"

struct AnimWindow;
struct PaletteGroup;

enum : DWORD {
    kEnginePalettised = 0x1, // treat the display as an 8-bit palettised one
};

// Registers the classes and measures the display and the clock; later calls return the first
// call's result. False when a class cannot be registered.
BOOL InitAnimEngine(HINSTANCE instance, DWORD flags);

int DisplayWidth();
int DisplayHeight();
int DisplayBitDepth();
bool DisplayIsPalettised();
RECT DisplayRect();
PaletteGroup* GetDisplayPaletteGroup();
// Every live animation window rebuilds its buffers for the new group.
void SetDisplayPaletteGroup(PaletteGroup* group);
// The group's palette when the display is palettised and has a group; else none.
HPALETTE DisplayPalette();

// The live animation windows.
bool AddLiveWindow(AnimWindow* window);
void RemoveLiveWindow(AnimWindow* window);
bool IsLiveWindow(const AnimWindow* window);

// Hands a message of an animation window to its hooks; true when one consumed it.
bool DispatchToHooks(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
