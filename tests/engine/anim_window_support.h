// What the animation window suites share: an engine started once, a top-level animation window
// made and destroyed per test, and mouse clicks posted as the platform would deliver them.
#pragma once

#include "cea_window.h"

#include "windows.h"

#include <gtest/gtest.h>
#include <vector>

class AnimWindowTest : public testing::Test {
protected:
    static constexpr int kWidth = 160;
    static constexpr int kHeight = 120;

    void SetUp() override;
    void TearDown() override;

    // Dispatches every message that is ready.
    void PumpReady();
    // Posts a mouse message at a client point with the cursor there, and dispatches it.
    void Mouse(UINT message, int x, int y);
    // A graphic of the display's depth filled with one colour, destroyed after the window.
    Graphic* Solid(int cx, int cy, COLORREF color);

    HWND hwnd = nullptr;
    AnimWindow* anim = nullptr;
    std::vector<Graphic*> graphics;
};
