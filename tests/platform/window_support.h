// Helpers of the window suites: a window procedure that records what it gets, host events
// injected as the user would make them, and message pumping.
#pragma once

#include "windows.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <vector>

struct Received {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message RecordingProc saw since the last ClearLog (then it calls DefWindowProcW).
std::vector<Received>& Log();
void ClearLog();
LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Only the messages of one kind, in order.
std::vector<Received> LogOf(UINT msg);

// Registers "RecordingWindow" (CS_DBLCLKS, 8 extra bytes) once.
void RegisterRecordingClass();

// Dispatches every message that is ready (input included) and returns; a dialog's keyboard
// interface first sees its messages.
void PumpReady(HWND dialog = nullptr);

// The host window behind a shown top-level window.
Uint32 HostId(HWND topLevel);
void PushButton(HWND topLevel, bool down, int x, int y, Uint8 button = SDL_BUTTON_LEFT, Uint8 clicks = 1);
void PushMotion(HWND topLevel, int x, int y);
void PushKey(HWND topLevel, SDL_Keycode key, bool down);
void PushText(HWND topLevel, const char* utf8);

// Writes what a shown top-level window holds as a PNG in the test output folder.
bool SaveWindowPng(HWND topLevel, const char* name);
// The colour (0x00RRGGBB) of a pixel of a top-level window's surface.
uint32_t WindowPixel(HWND topLevel, int x, int y);

// A fixture whose windows are destroyed, and their messages pumped, after each test.
class WindowFixture : public testing::Test {
protected:
    void SetUp() override { RegisterRecordingClass(); }
    void TearDown() override;
    // A window of the given class, a recording window if none.
    HWND Make(DWORD style, int x, int y, int w, int h, HWND parent = nullptr, int id = 0, LPCWSTR cls = nullptr, LPCWSTR text = u"title");
    std::vector<HWND> created;
};
