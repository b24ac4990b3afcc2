#include "anim_window_support.h"

#include "cea_graphic.h"
#include "cea_main.h"
#include "memmgr.h"

void AnimWindowTest::SetUp()
{
    ASSERT_TRUE(InitAnimEngine(nullptr, 0));
    hwnd = CreateWindowExW(0, u"AnimWindow", u"test", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    anim = AnimWindow::FromWindow(hwnd);
    ASSERT_NE(anim, nullptr);
    ASSERT_EQ(anim->GetWidth(), kWidth);
    ASSERT_EQ(anim->GetHeight(), kHeight);
}

void AnimWindowTest::TearDown()
{
    if (IsWindow(hwnd))
        DestroyWindow(hwnd);
    PumpReady();
    for (Graphic* g : graphics)
        MEM_DELETE(g);
}

void AnimWindowTest::PumpReady()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void AnimWindowTest::Mouse(UINT message, int x, int y)
{
    POINT screen{x, y};
    ClientToScreen(hwnd, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageW(hwnd, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    PumpReady();
}

Graphic* AnimWindowTest::Solid(int cx, int cy, COLORREF color)
{
    Graphic* g = MEM_NEW(Graphic, cx, cy, 0, static_cast<const RGBQUAD*>(nullptr));
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            g->SetPixelColor(x, y, color);
    graphics.push_back(g);
    return g;
}
