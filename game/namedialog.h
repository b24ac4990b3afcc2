// The dialog that asks a new high score's name, offering the recent names.
#pragma once

#include <windows.h>

#include <string>

constexpr UINT IDD_PLAYER_NAME = 216;
constexpr int IDC_PLAYER_NAME = 1024;

// Runs the name dialog over the main window (kept disabled meanwhile) and returns the name
// typed, which also goes in front of the recent names. The caller lets the animations
// finish first.
std::u16string AskPlayerName(HWND mainWindow);
