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
    const auto hostSize = [&] {
        int cx = 0, cy = 0;
        SDL_GetWindowSize(SDL_GetWindowFromID(HostId(top)), &cx, &cy);
        return std::make_pair(cx, cy);
    };
    RECT rect;
    GetWindowRect(top, &rect);
    EXPECT_EQ(std::make_pair(hostSize(), rect.right - rect.left),
              std::make_pair(std::make_pair(200, 100), LONG(100))); // the program keeps its own size

    HDC dc = GetDC(top);
    const RECT red{3, 4, 4, 5};
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &red, brush);
    DeleteObject(brush);
    ReleaseDC(top, dc);
    PumpReady();
    // The pixel covers host pixels 6..7 across and 8..9 down, and no more.
    std::string seen;
    for (int y = 7; y <= 10; ++y)
        for (int x = 5; x <= 8; ++x)
            seen += WindowPixel(top, x, y) == 0xFF0000u ? '#' : '.';
    EXPECT_EQ(seen, ".....##..##.....");

    ClearLog();
    PushButton(top, true, 41, 21);
    PumpReady();
    ASSERT_EQ(LogOf(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(LogOf(WM_LBUTTONDOWN)[0].lParam, MAKELPARAM(20, 10));
    // Sizing goes to the host at the scale.
    SetWindowPos(top, nullptr, 0, 0, 60, 40, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(hostSize(), std::make_pair(120, 80));
}

} // namespace
