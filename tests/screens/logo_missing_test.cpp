// A program without the intro's assets: the intro fails at once and leaves the window as it was.
#include "cea_main.h"
#include "cea_window.h"
#include "logo.h"

#include <gtest/gtest.h>

namespace {

bool g_loaded = false;

bool Loader()
{
    g_loaded = true;
    return true;
}

LRESULT TestCallback(AnimWindow*, UINT, WPARAM, LPARAM)
{
    return 1;
}

TEST(IntroWithoutAssets, FailsWithoutPlayingOrLoading)
{
    ASSERT_TRUE(InitAnimEngine(nullptr, 0));
    HWND hwnd = CreateWindowExW(0, u"AnimWindow", u"intro", WS_POPUP | WS_VISIBLE, 0, 0, 240, 294, nullptr, nullptr, nullptr, nullptr);
    AnimWindow* anim = AnimWindow::FromWindow(hwnd);
    ASSERT_NE(anim, nullptr);
    anim->SetCallback(TestCallback);
    anim->SetFrameRate(40);
    const DWORD frame = anim->GetCurrentFrame();

    EXPECT_FALSE(RunLogo(anim, nullptr, Loader, true));
    EXPECT_FALSE(g_loaded);
    EXPECT_TRUE(anim->GetCurrentFrame() == frame && !anim->FirstObject() && anim->callback == &TestCallback && anim->GetFrameRate() == 40);
    DestroyLogo();
    DestroyWindow(hwnd);
}

} // namespace
