// Painting: update regions of windows and what reaches the host's screen.
#pragma once

#include "window.h"

// The first window of the thread (a parent before its children) that waits to be painted and
// passes the filter (a window and its children, or any for null).
HWND NextWindowToPaint(DWORD thread, HWND filter);
// Adds a rectangle (client coordinates of the window; null for all of it) to the update
// region of the window and of the children it overlaps. Under the user lock.
void AddToUpdate(Window& window, const RECT* rect, bool erase);
// Marks part of a top-level window's surface as changed (top-level client coordinates).
void MarkChanged(Window& topLevel, const RECT& rect);
// Shows the changed parts of every host window.
void FlushHostSurfaces();
// The default erase: the class background brush over the whole client area; 1 when erased.
LRESULT EraseBackground(HWND hwnd, HDC hdc);
// The host surface of a top-level window changed or went away: its window DCs draw nothing.
void ForgetWindowDCs(HWND topLevel);
