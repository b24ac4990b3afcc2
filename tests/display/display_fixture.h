// What the display suites share: an engine and a top-level animation window per test, the
// shipped layouts loaded as a pack would give them, and synthetic tile art.
#pragma once

#include "cea_window.h"

#include "windows.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

struct Graphic;

// The folder of the test program, where the build puts the shipped packs.
std::string TestProgramFolder();

// The shipped layout of a device class ("large", "small", "handheld") as the layout table.
void LoadShippedLayout(const std::string& deviceClass);

// A graphic of the display's depth filled with one colour; the caller frees it.
Graphic* FilledGraphic(int cx, int cy, COLORREF color);

class DisplayTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Sizes the window to the layout's cxWINDOW by cyWINDOW.
    void FitWindowToLayout();

    HWND hwnd = nullptr;
    AnimWindow* anim = nullptr;
};
