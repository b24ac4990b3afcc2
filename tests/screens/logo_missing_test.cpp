// A program without the intro's assets: the intro fails at once, without loading, and leaves the
// window as it was.
#include "cea_main.h"
#include "cea_window.h"
#include "logo.h"

#include <gtest/gtest.h>

namespace {

bool g_loaded = false;

TEST(IntroWithoutAssets, FailsWithoutPlayingOrLoading)
{
    ASSERT_TRUE(InitAnimEngine(nullptr, 0));
    HWND hwnd = CreateWindowExW(0, u"AnimWindow", u"intro", WS_POPUP | WS_VISIBLE, 0, 0, 240, 294, nullptr, nullptr, nullptr, nullptr);
    AnimWindow* anim = AnimWindow::FromWindow(hwnd);
    const auto callback = [](AnimWindow*, UINT, WPARAM, LPARAM) -> LRESULT { return 1; };
    anim->SetCallback(callback);
    anim->SetFrameRate(40);
    const DWORD frame = anim->GetCurrentFrame();
    EXPECT_FALSE(RunLogo(
        anim, nullptr, [] { return g_loaded = true; }, true));
    EXPECT_TRUE(!g_loaded && anim->GetCurrentFrame() == frame && !anim->FirstObject() && anim->callback == +callback
                && anim->GetFrameRate() == 40);
    DestroyLogo();
    DestroyWindow(hwnd);
}

} // namespace
