// Whole-number scaling: the program works in its own pixels, the host shows each as a square.
#include "window_support.h"

#include <hostscale.h>

#include <gtest/gtest.h>

namespace {

class ScaleTest : public WindowFixture {
protected:
    void TearDown() override
    {
        WindowFixture::TearDown();
        SetHostScale(1);
    }
};

TEST_F(ScaleTest, AScaledWindowShowsEachPixelAsASquareAndMapsThePointerBack)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    SetHostScale(2);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screenWidth / 2);

    HWND top = Make(WS_POPUP | WS_VISIBLE, 10, 20, 100, 50);
    ASSERT_TRUE(top);
    int cx = 0, cy = 0;
    SDL_GetWindowSize(SDL_GetWindowFromID(HostId(top)), &cx, &cy);
    EXPECT_EQ(cx, 200);
    EXPECT_EQ(cy, 100);
    RECT rect;
    GetWindowRect(top, &rect);
    EXPECT_EQ(rect.right - rect.left, 100); // the program keeps its own size

    HDC dc = GetDC(top);
    const RECT red{3, 4, 4, 5};
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &red, brush);
    DeleteObject(brush);
    ReleaseDC(top, dc);
    PumpReady();
    for (const POINT p : {POINT{6, 8}, POINT{7, 8}, POINT{6, 9}, POINT{7, 9}})
        EXPECT_EQ(WindowPixel(top, p.x, p.y), 0xFF0000u) << p.x << "," << p.y;
    for (const POINT p : {POINT{5, 8}, POINT{8, 8}, POINT{6, 7}, POINT{6, 10}})
        EXPECT_NE(WindowPixel(top, p.x, p.y), 0xFF0000u) << p.x << "," << p.y;

    ClearLog();
    PushButton(top, true, 41, 21);
    PumpReady();
    ASSERT_EQ(LogOf(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(LogOf(WM_LBUTTONDOWN)[0].lParam, MAKELPARAM(20, 10));

    // Moving and sizing go to the host at the scale.
    SetWindowPos(top, nullptr, 0, 0, 60, 40, SWP_NOMOVE | SWP_NOZORDER);
    SDL_GetWindowSize(SDL_GetWindowFromID(HostId(top)), &cx, &cy);
    EXPECT_EQ(cx, 120);
    EXPECT_EQ(cy, 80);
}

} // namespace
