// Only one Quibo runs at a time. The first start keeps a named mutex and a hidden window that
// later starts find from their own process; a later start asks the first to come to the front
// and goes away.
#pragma once

#include <windows.h>

// The command a later start sends the first instance's main window.
constexpr WORD CMD_TO_FRONT = 1000;

// True for the first start. False when another instance runs: it was sent CMD_TO_FRONT.
bool ClaimSingleInstance(HINSTANCE instance);
// Records the main window in the hidden window's first extra word, for later starts to address.
void PublishMainWindow(HWND mainWindow);
// Gives up the hidden window and the mutex (at exit, and between tests).
void ReleaseSingleInstance();
