// The host's windows and input through SDL video. Video starts on the thread that shows the
// first top-level window; that thread then reads the host's events in its message loop.
#pragma once

#include "window.h"

#include <SDL_events.h>

// Starts SDL video on the calling thread (once); false when the host has no display.
bool StartHostVideo();
// Makes a thread waiting in PumpHostEvents return; any thread may call it.
void WakeHostThread();
// True for the event WakeHostThread pushes (which then may be pushed again).
bool IsWakeEvent(const SDL_Event& event);
// Turns waiting host events into messages; with a timeout (-1 for none) it first waits for one.
void PumpHostEvents(int timeoutMs);

// The host window of a top-level window, made hidden at its place and size on first need.
SDL_Window* HostWindowFor(Window& window);
void DestroyHostWindow(Window& window);
// Gives the host window the window's big icon, else its class's, else its small one.
void SetHostIcon(Window& window);
// Where a top-level window's pixels are drawn: the host window's surface, or at a host scale
// above 1 the window's own surface at the program's size. Null when the host has none.
SDL_Surface* ScreenPixelsOf(Window& window);
// Puts the changed parts (window coordinates) of a top-level window on the screen.
void PresentHostWindow(Window& window, const std::vector<RECT>& changed);
