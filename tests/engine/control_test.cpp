#include "anim_window_support.h"
#include "aux_control.h"
#include "cea_graphic.h"
#include "engine_test_util.h"
#include "memmgr.h"
#include "memmgr_diag.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The notifications heard, as (id, notification).
using Notes = std::vector<std::pair<WORD, WORD>>;
Notes g_notes;

LRESULT CALLBACK NotifyProc(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND)
        g_notes.push_back({LOWORD(wParam), HIWORD(wParam)});
    return 0;
}

// Controls made through the fixture are destroyed after the test, whether the window still
// stands or not.
class ControlTest : public AnimWindowTest {
protected:
    void SetUp() override
    {
        g_notes.clear();
        AnimWindowTest::SetUp();
        anim->Fill(kBackground);
    }
    void TearDown() override
    {
        for (ANIMCONTROL* c : controls)
            c->Destroy();
        AnimWindowTest::TearDown();
    }

    ANIMBUTTON* Button(int id, DWORD style, RECT rect)
    {
        ANIMBUTTON* b = ANIMBUTTON::Create(anim, id, style, 150, string("Go"));
        b->SetNotify(NotifyProc, hwnd);
        b->SetRect(&rect);
        controls.push_back(b);
        return b;
    }
    ANIMTEXT* Text(DWORD style, const char* text)
    {
        controls.push_back(ANIMTEXT::Create(anim, 140, style, string(text)));
        return static_cast<ANIMTEXT*>(controls.back());
    }
    static constexpr COLORREF kBackground = RGB(0, 64, 0);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    std::vector<ANIMCONTROL*> controls;
};

// A press and release inside clicks; moving out of a pressed button releases it, back in
// presses it again, and a release outside only releases.
TEST_F(ControlTest, APressAndReleaseInsideClicks)
{
    ANIMBUTTON* b = Button(1001, kButtonPush, {10, 10, 60, 40});
    Mouse(WM_LBUTTONDOWN, 20, 20);
    EXPECT_TRUE(b->IsPressed() && b->HasFocus() && b->HasCapture() && GetCapture() == hwnd);
    Mouse(WM_LBUTTONUP, 21, 21);
    EXPECT_FALSE(b->IsPressed() || b->HasCapture());
    EXPECT_EQ(g_notes, (Notes{{1001, kButtonPressed}, {1001, kButtonReleased}, {1001, kButtonClicked}}));
    g_notes.clear();
    Mouse(WM_LBUTTONDOWN, 20, 20);
    Mouse(WM_MOUSEMOVE, 100, 100);
    const bool outside = b->IsPressed();
    Mouse(WM_MOUSEMOVE, 30, 30);
    EXPECT_TRUE(!outside && b->IsPressed());
    Mouse(WM_LBUTTONUP, 100, 100);
    EXPECT_EQ(g_notes, (Notes{{1001, kButtonPressed}, {1001, kButtonReleased}, {1001, kButtonPressed}, {1001, kButtonReleased}}));
}

TEST_F(ControlTest, DisabledButtonsAndTextAreNotHitAndAMissClearsTheFocus)
{
    ANIMBUTTON* disabled = Button(7, kButtonPush, {10, 50, 60, 80});
    disabled->Enable(false);
    Mouse(WM_LBUTTONDOWN, 20, 60);
    Mouse(WM_LBUTTONUP, 20, 60);
    EXPECT_TRUE(g_notes.empty() && !disabled->HasFocus());
    ANIMBUTTON* b = Button(8, kButtonPush, {10, 10, 60, 40});
    const RECT over{0, 0, 100, 100};
    Text(0, "label")->SetRect(&over);
    Mouse(WM_LBUTTONDOWN, 20, 20); // the text lies in front but lets the press through
    EXPECT_TRUE(b->HasFocus());
    Mouse(WM_LBUTTONUP, 20, 20);
    Mouse(WM_LBUTTONDOWN, 90, 90);
    EXPECT_TRUE(!ANIMCONTROL::Focused() && !ANIMCONTROL::Captured());
    Mouse(WM_LBUTTONUP, 90, 90);
}

TEST_F(ControlTest, ButtonsSizeThemselvesToTheirContent)
{
    ANIMBUTTON* b = ANIMBUTTON::Create(anim, 1, kButtonPush, 150, string());
    controls = {b};
    const SIZE empty = b->GetSize();
    b->SetText(string("Wide caption"));
    const SIZE wide = b->GetSize();
    const RECT fixed{5, 5, 15, 15};
    b->SetRect(&fixed);
    b->SetText(string("Longer caption still"));
    const LONG cxFixed = b->GetSize().cx;
    b->SetRect(nullptr);
    EXPECT_EQ(std::tuple(empty.cx, empty.cy, wide.cx > 7 + 20 && wide.cy > 7, cxFixed, b->GetSize().cx > wide.cx),
              std::tuple(7, 7, true, 10, true));
}

bool g_hitTested;

TEST_F(ControlTest, ACustomHandlerDrawsAloneAndDecidesAboutHits)
{
    ANIMBUTTON* custom = Button(1, kButtonPush, {0, 0, 40, 20});
    custom->SetCustomHandler([](ANIMOBJECT*, UINT message, void*) -> LRESULT {
        g_hitTested |= message == kObjHitTest;
        return message == kObjDraw ? 0 : 1;
    });
    custom->Enable(false);
    g_hitTested = false;
    anim->PaintNow();
    EXPECT_EQ(anim->screen->GetPixelColor(20, 10), kBackground); // the handler drew nothing
    // Disabled, but its handler decides about hits.
    Mouse(WM_LBUTTONDOWN, 10, 10);
    EXPECT_TRUE(custom->HasFocus() && g_hitTested);
    Mouse(WM_LBUTTONUP, 10, 10);
}

TEST_F(ControlTest, AControlWithoutItsObjectHooksNothing)
{
    const int before = anim->hooks.c;
    SetMemRefuseHook([](size_t, const char* label) { return std::strcmp(label, "ANIMOBJECT") == 0; });
    ANIMBUTTON* button = ANIMBUTTON::Create(anim, 1, kButtonPush, 150);
    ANIMTEXT* text = ANIMTEXT::Create(anim, 150);
    SetMemRefuseHook(nullptr);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(!button->Object() && !text->Object() && anim->hooks.c == before);
    button->Destroy();
    text->Destroy();
    EXPECT_EQ(anim->hooks.c, before);
}

TEST_F(ControlTest, ControlsDrawTheirLook)
{
    Button(1, kButtonPush | kButtonCentred, {10, 10, 78, 56});
    ANIMTEXT* text = Text(kTextCentre, "Quibo");
    // Colours come from the control's array, else from the system; new entries are none.
    EXPECT_EQ(std::tuple(text->GetColor(kColorText), text->GetColor(kColorFace), text->GetColor(9)),
              std::tuple(GetSysColor(COLOR_WINDOWTEXT), face, kNoColor));
    text->SetColor(kColorBackground, kNoColor);
    text->SetColor(kColorText, RGB(255, 255, 0));
    EXPECT_EQ(std::tuple(text->GetColor(kColorText), text->GetColor(kColorShadow)), std::tuple(RGB(255, 255, 0), kNoColor));
    const RECT textRect{84, 10, 154, 56};
    text->SetRect(&textRect);
    Mouse(WM_LBUTTONDOWN, 20, 20);
    anim->PaintNow();
    WritePicture(*anim->screen, "engine_controls");
    // The pushed face is the button face colour inside its edges; the text's box stays clear.
    EXPECT_EQ(std::tuple(anim->screen->GetPixelColor(70, 30), anim->screen->GetPixelColor(86, 12)), std::tuple(face, kBackground));
    Mouse(WM_LBUTTONUP, 20, 20);
    // The window going first leaves the controls detached.
    DestroyWindow(hwnd);
    EXPECT_EQ(text->Object(), nullptr);
}

} // namespace
