// Windows reachable from other processes. A process with a top-level window of a published
// class listens on a Unix socket in $XDG_RUNTIME_DIR; other processes ask it about its windows.
#pragma once

#include "windows.h"

#include <string>
#include <vector>

// Starts listening (once) when the process publishes its first window.
void StartPublishing();

// The published windows of every other live process. Stale sockets of dead processes are
// removed on the way.
std::vector<HWND> PublishedWindows();

bool PostToPublished(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
bool RaisePublished(HWND hwnd);
bool IsPublishedWindow(HWND hwnd);
// The class name, or nothing when the window is not there.
bool PublishedClassName(HWND hwnd, std::u16string& name);
bool PublishedWindowLong(HWND hwnd, int index, LONG& value);
