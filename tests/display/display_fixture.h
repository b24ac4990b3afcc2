// What the display suites share: an engine and a top-level animation window per test, synthetic
// media (every cell of one colour) as the media set and the tile art, the shipped layouts loaded
// as a pack would give them, the manual host clock, and the screen switch stood in for.
#pragma once

#include "cea_window.h"
#include "media.h"
#include "records.h"
#include "tile.h"

#include "windows.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

class ANIMBUTTON;
struct Graphic;

// What the display asks of the screen switch: the screen shown, the tutorial's guide button and
// how often the other screens' texts were refreshed.
extern int g_screen, g_refreshes;
extern ANIMBUTTON* g_guide;

// The folder of the test program, where the build puts the shipped packs.
std::string TestProgramFolder();

// A graphic of the display's depth filled with one colour; the caller frees it.
Graphic* FilledGraphic(int cx, int cy, COLORREF color);

// "left top right bottom", to compare rectangles whole.
inline std::string Str(const RECT& r)
{
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " + std::to_string(r.bottom);
}

// The synthetic cells: a tile face is W x H, an inset w x h, stacked kSpacing apart.
constexpr int W = 30, H = 44, w = 20, h = 10, kSpacing = 1;
constexpr COLORREF kTileColors[cTILE_FACES] = {RGB(90, 90, 90), RGB(250, 240, 0), RGB(0, 0, 200)};
constexpr auto FaceColor = [](int set, int cell) { return RGB(20 + cell * 10, set ? 200 : 100, 30); };
constexpr auto CaptionColor = [](int cell) { return RGB(1, 2, 200 + cell); };
constexpr auto DownColor = [](int frame) { return RGB(250, frame * 20, 0); }; // the pressed-button frames
constexpr auto InsetColor = [](int cell) { return RGB(10 + cell * 4, 255 - cell * 3, (cell * 37) % 256); };

class DisplayTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Loads the shipped layout of a device class ("large", "small", "handheld") as a pack would
    // give it, and sizes the window to its cxWINDOW by cyWINDOW.
    void Layout(const std::string& deviceClass);
    Graphic* Made(int cx, int cy, COLORREF color) { return made.emplace_back(FilledGraphic(cx, cy, color)); }

    HWND hwnd = nullptr;
    HWND target = nullptr; // receives the buttons' commands
    AnimWindow* anim = nullptr;
    std::vector<Graphic*> made;
};
