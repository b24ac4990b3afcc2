// The intro: its frames on their schedule, the loader on its own thread after the animation, the
// end rule, the result, cancelling, a window that goes away, and the window given back.
#include "logo.h"

#include "cea_clock.h"
#include "cea_graphic.h"
#include "cea_main.h"
#include "cea_object.h"
#include "cea_window.h"
#include "engine_test_util.h"
#include "hostclock.h"
#include "screenshot.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

constexpr DWORD kFramePeriod = 50;
constexpr int kLoadingFrame = 46; // relative to the call
constexpr int kStripFrames[] = {8, 12, 15, 18, 33, 37, 41, 45}; // the frames the strip of pictures shows

struct LOADER {
    std::atomic<DWORD> ms{0}, calls{0}, start{0}, end{0}, thread{0}, expected{0};
    std::atomic<bool> result{true}, running{false};
} g_loader;

// The loading takes its time on the clock the frame loop moves.
bool TestLoader()
{
    g_loader.start = EngineTime(), g_loader.thread = GetCurrentThreadId(), g_loader.running = true;
    ++g_loader.calls;
    while (EngineTime() - g_loader.start < g_loader.ms)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    g_loader.end = EngineTime(), g_loader.running = false;
    return g_loader.result;
}

struct WATCH {
    std::vector<std::pair<int, int>> samples; // the frame played, relative to the call, and the intro frame shown (-1: none)
    size_t shots = 0; // of the strip, written as the window was painted at each strip frame
    DWORD start = 0;
    int actAt = 1 << 30; // relative frame at which to post actMessage
    UINT actMessage = 0;
}* g_watch = nullptr;

LRESULT WatchProc(ANIMOBJECT* object, UINT message, void*)
{
    if (message != kObjUpdate || !g_watch)
        return 0;
    AnimWindow* window = object->GetWindow();
    const int played = int(window->GetCurrentFrame() - 1 - g_watch->start);
    // The screen still holds the previous paint.
    if (g_watch->shots < std::size(kStripFrames) && played > kStripFrames[g_watch->shots]
        && !WritePng(TestOutputDir() / ("intro_frame" + std::to_string(kStripFrames[g_watch->shots++]) + ".png"), 240, 294,
                     Pixels(*window->screen)))
        ADD_FAILURE() << "intro frame " << played - 1;
    ANIMOBJECT* picture = window->FirstInLayer(1);
    g_watch->samples.push_back(
        {played, picture && picture->graphic ? picture->graphic->GetRectInParent().top / picture->graphic->GetHeight() : -1});
    if (played >= g_watch->actAt)
        PostMessageW(window->GetWindow(), g_watch->actMessage, 0, 0), g_watch->actAt = 1 << 30;
    // Time moves one frame per paint, however slowly the machine runs either thread: the loop
    // waits for the loader to begin at its frame and, once its time is up, to return.
    while ((played >= kLoadingFrame && g_loader.calls < g_loader.expected)
           || (g_loader.running && EngineTime() - g_loader.start >= g_loader.ms))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    AdvanceHostClock(kFramePeriod);
    return 0;
}

// WM_APP cancels the intro, WM_APP + 1 destroys it, both from inside its frame loop, as a
// shutdown during the intro does.
BOOL CancelHook(AnimWindow*, UINT message, WPARAM, LPARAM)
{
    (message == WM_APP ? CancelLogo : message == WM_APP + 1 ? DestroyLogo : [] {})();
    return message == WM_APP || message == WM_APP + 1;
}

constexpr auto TestCallback = [](AnimWindow*, UINT, WPARAM, LPARAM) -> LRESULT { return 1; };

class Intro : public testing::Test {
protected:
    void SetUp() override
    {
        SetManualHostClock(true);
        ASSERT_TRUE(InitAnimEngine(nullptr, 0));
        hwnd = CreateWindowExW(0, u"AnimWindow", u"intro", WS_POPUP | WS_VISIBLE, 0, 0, 240, 294, nullptr, nullptr, nullptr, nullptr);
        anim = AnimWindow::FromWindow(hwnd);
        anim->SetCallback(TestCallback);
        anim->SetFrameRate(40);
        anim->AddHook(CancelHook, kHookAll);
        watcher = ANIMOBJECT::Create(anim, WatchProc, 900);
        g_loader.ms = 0, g_loader.result = true, g_loader.calls = 0, g_loader.expected = 1;
        watch.start = anim->GetCurrentFrame();
        g_watch = &watch;
    }

    void TearDown() override
    {
        g_watch = nullptr;
        DestroyLogo();
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        SetManualHostClock(false);
    }

    // The window has its callback and frame rate back and holds this many objects of the intro.
    bool GivenBack(int objects) const
    {
        for (ANIMOBJECT* o = anim->FirstObject(); o; o = o->next)
            objects -= o != watcher;
        return anim->callback == +TestCallback && anim->GetFrameRate() == 40 && objects == 0;
    }

    HWND hwnd = nullptr;
    AnimWindow* anim = nullptr;
    ANIMOBJECT* watcher = nullptr;
    WATCH watch;
};

TEST_F(Intro, PlaysItsFramesThenLoadsOnAnotherThreadAndEndsTwoSecondsLater)
{
    g_loader.ms = 500;
    EXPECT_TRUE(RunLogo(anim, nullptr, TestLoader, true));
    const DWORD end = EngineTime();
    ASSERT_TRUE(g_loader.calls == 1 && g_loader.thread != GetCurrentThreadId());
    // Every painted frame showed the frame its place in the schedule calls for, up to the last.
    ASSERT_GT(watch.samples.size(), 40u);
    for (const auto& [r, shown] : watch.samples)
        EXPECT_EQ(shown, r < 6 ? -1 : r <= 18 ? r - 6 : r < 32 ? 12 : std::min(13 + (r - 32) / 2, 19)) << "frame " << r;
    EXPECT_EQ(watch.shots, std::size(kStripFrames));
    // The loading began after the animation, and the intro lasted two seconds from there.
    EXPECT_TRUE(end - g_loader.start >= 2000u && end - g_loader.start < 3500u) << end - g_loader.start;
    // The kept intro keeps its picture until it is destroyed.
    EXPECT_TRUE(GivenBack(1));
    DestroyLogo();
    EXPECT_TRUE(GivenBack(0));
}

struct FAILURE {
    const char* what;
    DWORD loaderMs;
    int actAt; // relative frame at which the message is posted
    UINT message;
    DWORD loads;
};

class Failing : public Intro, public testing::WithParamInterface<FAILURE> { };

// Whatever ends it, a failed intro waits for its loader, ends at least five frames after the
// loading, leaves nothing behind and gives the window back.
TEST_P(Failing, ReportsFailureAndLeavesNothing)
{
    const FAILURE& f = GetParam();
    g_loader.ms = f.loaderMs, g_loader.expected = f.loads;
    g_loader.result = f.message != 0; // a cut-short intro fails even though its loading succeeds
    watch.actAt = f.actAt, watch.actMessage = f.message;
    EXPECT_FALSE(RunLogo(anim, nullptr, TestLoader, true));
    const DWORD afterLoading = EngineTime() - g_loader.end;
    EXPECT_EQ(g_loader.calls, f.loads);
    EXPECT_TRUE(!f.loads || afterLoading >= 4 * kFramePeriod) << afterLoading;
    EXPECT_TRUE(f.message || afterLoading < 1000u) << afterLoading; // past two seconds: five frames on
    EXPECT_EQ(IsWindow(hwnd) != 0, f.message != WM_CLOSE);
    EXPECT_TRUE(!IsWindow(hwnd) || GivenBack(0));
    CancelLogo(); // nothing left to cancel
}

INSTANTIATE_TEST_SUITE_P(Ends, Failing,
                         testing::Values(FAILURE{"SlowLoader", 3000, 1 << 30, 0, 1}, FAILURE{"Cancelled", 300, 20, WM_APP, 1},
                                         FAILURE{"Destroyed", 300, 20, WM_APP + 1, 1}, FAILURE{"WindowClosed", 0, 10, WM_CLOSE, 0}),
                         [](const testing::TestParamInfo<FAILURE>& info) { return std::string(info.param.what); });

} // namespace
