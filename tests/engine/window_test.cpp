#include "anim_window_support.h"
#include "cea_graphic.h"
#include "cea_main.h"
#include "cea_object.h"
#include "engine_test_util.h"
#include "hostclock.h"
#include "memmgr.h"
#include "tl_string.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct CALLBACKLOG {
    std::vector<UINT> codes;
    std::vector<DWORD> eventFrames; // the frame each application event was played in
    int paints = 0;
    DWORD stopAtCode = 0xFFFFFFFF;
    LPARAM background = 0;
    DWORD lateBy = 0; // when set, each paint moves the clock on
};
CALLBACKLOG g_log;

LRESULT Callback(AnimWindow* window, UINT code, WPARAM a, LPARAM b)
{
    g_log.codes.push_back(code);
    g_log.paints += code == kAnimPainted;
    g_log.background = code == kAnimBackground ? b : g_log.background;
    if (code == kAnimEvent)
        g_log.eventFrames.push_back(window->GetCurrentFrame());
    // The pass after the first paint comes lateBy ms later, the others on time (25 ms).
    if (code == kAnimPainted && g_log.lateBy)
        AdvanceHostClock(g_log.paints == 1 ? g_log.lateBy : 25);
    return code != kAnimEvent || a != g_log.stopAtCode;
}

class WindowTest : public AnimWindowTest {
protected:
    void SetUp() override
    {
        g_log = {};
        AnimWindowTest::SetUp();
        anim->SetCallback(Callback);
    }
    void TearDown() override
    {
        AnimWindowTest::TearDown();
        SetManualHostClock(false);
    }
};

TEST_F(WindowTest, RunsPlayTheScheduleUntilAnEventReturnsZero)
{
    anim->SetFrameRate(1000);
    for (auto [frame, code] : {std::pair{1, 7}, {3, 9}, {5, 7}})
        anim->ScheduleAppEvent(frame, code, 0);
    g_log.stopAtCode = 9;
    anim->Run(-1);
    EXPECT_EQ(std::tuple(g_log.eventFrames, anim->GetCurrentFrame()), std::tuple(std::vector<DWORD>{1, 3}, 4u));
}

// The second pass of the loop comes 100 ms after the first: it steps the frames it missed
// (25 ms each) and paints once.
TEST_F(WindowTest, ALatePassStepsTheMissedFrames)
{
    PumpReady(); // the paint the window's creation asked for
    SetManualHostClock(true);
    g_log.paints = 0;
    g_log.lateBy = 100;
    const DWORD start = anim->GetCurrentFrame();
    anim->Run(2);
    EXPECT_EQ(std::tuple(anim->GetCurrentFrame() - start, g_log.paints), std::tuple(5u, 2));
}

TEST_F(WindowTest, ObjectEventsMoveAndSetTheStateAndTheEndAppliesTheRestAtOnce)
{
    ANIMOBJECT* object = ANIMOBJECT::Create(anim, Solid(10, 10, RGB(1, 2, 3)), 5);
    const RECT to{20, 20, 30, 30};
    anim->ScheduleObjectEvent(0, object, 0, &to);
    anim->ScheduleObjectEvent(1, object, kObjHidden, nullptr);
    anim->Step();
    const LONG moved = object->rect.left;
    anim->Step();
    EXPECT_EQ(std::tuple(moved, object->GetFlags()), std::tuple(20, DWORD(kObjHidden)));
    for (DWORD f = 2; f < 6; ++f) {
        const RECT r{LONG(f * 10), 0, LONG(f * 10 + 10), 10};
        anim->ScheduleObjectEvent(f, object, 0, &r);
    }
    anim->ScheduleAppEvent(5, 2, 0);
    EXPECT_TRUE(anim->AdvanceTo(kLastScheduledFrame));
    EXPECT_EQ(std::tuple(object->rect.left, g_log.eventFrames, anim->GetCurrentFrame()), std::tuple(LONG(50), std::vector<DWORD>{5}, 6u));
    object->Destroy();
}

// A destroyed object's pending moves would reach freed memory, and application events about
// it (a pending delete) would free it twice.
TEST_F(WindowTest, ADestroyedObjectTakesTheEventsAboutItAlong)
{
    ANIMOBJECT* object = ANIMOBJECT::Create(anim, static_cast<Graphic*>(nullptr), 5);
    ANIMOBJECT* other = ANIMOBJECT::Create(anim, static_cast<Graphic*>(nullptr), 5);
    const DWORD at = anim->GetCurrentFrame() + 1;
    const RECT to{20, 20, 30, 30};
    anim->ScheduleObjectEvent(at, object, 0, &to);
    anim->ScheduleAppEvent(at, 0, reinterpret_cast<LPARAM>(object));
    anim->ScheduleAppEvent(at, 7, reinterpret_cast<LPARAM>(object));
    anim->ScheduleAppEvent(at, 0, reinterpret_cast<LPARAM>(other));
    object->Destroy();
    anim->AdvanceTo(kLastScheduledFrame);
    EXPECT_EQ(g_log.eventFrames.size(), 1u); // only the event about the object still alive
    other->Destroy();
}

// On setting the callback, on resizing larger (not smaller), on a new display palette group,
// and on a rebuild after one could not be made.
TEST_F(WindowTest, ABackgroundIsAnnouncedWheneverANewOneIsMade)
{
    const auto resize = [&](int cx) {
        g_log = {};
        SetWindowPos(hwnd, nullptr, 0, 0, cx, kHeight, SWP_NOMOVE | SWP_NOZORDER);
    };
    const auto announced
        = [&] { return g_log.codes == std::vector<UINT>{kAnimBackground} && g_log.background == LPARAM(anim->GetBackground()); };
    ASSERT_NE(anim->GetBackground(), nullptr);
    EXPECT_TRUE(announced());
    Graphic* background = anim->GetBackground();
    resize(kWidth - 40);
    EXPECT_TRUE(anim->GetWidth() == kWidth - 40 && anim->GetBackground() == background && g_log.codes.empty());
    resize(kWidth + 40);
    EXPECT_TRUE(anim->GetBackground()->GetWidth() == kWidth + 40 && announced());
    g_log = {};
    SetDisplayPaletteGroup(nullptr);
    EXPECT_TRUE(announced());
    {
        DisplayAs unsupported(12, false); // no bitmap can be made at this depth
        resize(kWidth + 60);
        EXPECT_TRUE(!anim->GetBackground() && std::find(g_log.codes.begin(), g_log.codes.end(), kAnimBackground) == g_log.codes.end());
    }
    g_log = {};
    anim->RebuildBuffers();
    EXPECT_TRUE(announced());
}

TEST_F(WindowTest, FreeingTwiceChangesNothing)
{
    AnimWindow* freed = anim;
    DestroyWindow(hwnd);
    EXPECT_TRUE(g_log.codes.back() == kAnimFreeing && !AnimWindow::FromWindow(hwnd) && !IsLiveWindow(freed));
    AnimWindow::Free(freed);
}

// A hook that closes its window (an Exit button does) while later hooks wait their turn. The
// window that takes its place, likely in the same memory, must not hear the old message.
HWND g_replacement;
std::vector<char> g_heard;
template<char name> BOOL Hears(AnimWindow*, UINT message, WPARAM, LPARAM)
{
    if (message == WM_LBUTTONUP)
        g_heard.push_back(name);
    return FALSE;
}
BOOL ClosesItsWindow(AnimWindow* window, UINT message, WPARAM, LPARAM)
{
    if (message != WM_LBUTTONUP)
        return FALSE;
    DestroyWindow(window->GetWindow());
    g_replacement = CreateWindowExW(0, u"AnimWindow", u"next", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
    AnimWindow* next = AnimWindow::FromWindow(g_replacement);
    next->AddHook(Hears<'a'>, kHookAll, 10);
    next->AddHook(Hears<'b'>, kHookAll, 200);
    next->AddHook(Hears<'c'>, kHookAll, 300);
    return FALSE;
}

TEST_F(WindowTest, AHookThatClosesTheWindowEndsTheDispatch)
{
    g_heard.clear();
    anim->AddHook(ClosesItsWindow, kHookAll, 50);
    anim->AddHook(Hears<'x'>, kHookAll, 150);
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    EXPECT_TRUE(!IsWindow(hwnd) && g_heard.empty());
    DestroyWindow(g_replacement);
}

TEST_F(WindowTest, UserSlotsGrowOnDemandAndFrameRatesGivePeriods)
{
    const std::tuple created(anim->GetUserSlot(40), anim->framePeriod); // at 40 frames per second
    EXPECT_TRUE(anim->SetUserSlot(40, 1234) && !anim->SetUserSlot(-1, 1));
    EXPECT_EQ(std::tuple(created, anim->GetUserSlot(40), anim->GetUserSlot(39)), std::tuple(std::tuple(0u, 25u), 1234u, 0u));
    for (auto [rate, period] : {std::pair{0, 25u}, {5, 200u}, {20, 50u}}) {
        anim->SetFrameRate(rate);
        EXPECT_EQ(std::tuple(anim->framePeriod, anim->GetFrameRate()), std::tuple(period, 1000.0 / period)) << rate;
    }
}

} // namespace

TEST(DisplayOverride, OnlyAWidthByAHeightIsTakenFromTheEnvironment)
{
    // Taken: "+" and the size; refused: the size passed in, untouched.
    std::string got;
    for (const char* text : {"240x320", "1024x768", (const char*)nullptr, "", "240", "240x", "240x320x16", "0x320", "-240x320", "99999x320",
                             "240 x 320", "240x320 "}) {
        int cx = 7, cy = 9;
        got += ParseDisplayOverride(text, &cx, &cy) ? "+" : "";
        got += std::to_string(cx) + "x" + std::to_string(cy) + " ";
    }
    EXPECT_EQ(got, "+240x320 +1024x768 7x9 7x9 7x9 7x9 7x9 7x9 7x9 7x9 7x9 7x9 ");
}
