// What the animation window suites share: an engine started once, a top-level animation window
// made and destroyed per test, and mouse clicks posted as the platform would deliver them.
#pragma once

#include "cea_window.h"

#include "windows.h"

#include <gtest/gtest.h>

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

    HWND hwnd = nullptr;
    AnimWindow* anim = nullptr;
};

// A graphic of the display's depth filled with one colour; the caller destroys it.
struct Graphic;
Graphic* SolidGraphic(int cx, int cy, COLORREF color);
