// Activation, keyboard focus and mouse capture. One active top-level window, one focus and one
// capture for the process; all three are the user-interface thread's.
#pragma once

#include "window.h"

// Makes a top-level window the active one, telling both with WM_ACTIVATE.
void ActivateWindow(HWND topLevel, WPARAM how);
// The window that lost the host's keyboard focus is no longer active.
void DeactivateWindow(HWND topLevel);
// A window going away or hidden gives up activation, focus and capture it (or a child) held.
void ForgetFocusWithin(HWND hwnd);
