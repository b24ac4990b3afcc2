#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "anim_window_support.h"
#include "aux_control.h"
#include "cea_graphic.h"
#include "engine_test_util.h"
#include "memmgr.h"
#include "memmgr_diag.h"

namespace {

struct NOTE {
    WORD id;
    WORD notification;
};
std::vector<NOTE> g_notes;

LRESULT CALLBACK NotifyProc(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND)
        g_notes.push_back({LOWORD(wParam), HIWORD(wParam)});
    return 0;
}

std::vector<WORD> Notifications()
{
    std::vector<WORD> n;
    for (const NOTE& note : g_notes)
        n.push_back(note.notification);
    return n;
}

class ControlTest : public AnimWindowTest {
protected:
    void SetUp() override
    {
        g_notes.clear();
        AnimWindowTest::SetUp();
    }

    ANIMBUTTON* Button(int id, DWORD style, RECT rect)
    {
        ANIMBUTTON* b = ANIMBUTTON::Create(anim, id, style, 150, string("Go"));
        b->SetNotify(NotifyProc, hwnd);
        b->SetRect(&rect);
        return b;
    }
};

// The table slot of a virtual member: the Itanium ABI stores 1 + its byte offset.
template <class Member>
size_t Slot(Member member)
{
    size_t raw;
    static_assert(sizeof(member) >= sizeof(raw));
    std::memcpy(&raw, &member, sizeof(raw));
    return (raw - 1) / sizeof(void*);
}

TEST_F(ControlTest, VirtualOperationsKeepTheirSlots)
{
    EXPECT_EQ(Slot(&ANIMCONTROL::Destroy), 0u);
    EXPECT_EQ(Slot(&ANIMCONTROL::SetRect), 2u);
    EXPECT_EQ(Slot(&ANIMCONTROL::AutoSize), 5u);
    EXPECT_EQ(Slot(&ANIMCONTROL::GetTextLength), 8u);
    EXPECT_EQ(Slot(&ANIMCONTROL::SetGraphic), 12u);
    EXPECT_EQ(Slot(&ANIMCONTROL::Invalidate), 17u);
    EXPECT_EQ(Slot(&ANIMCONTROL::TakeFocus), 20u);
    EXPECT_EQ(Slot(&ANIMCONTROL::ReleaseCapture), 23u);
    EXPECT_EQ(Slot(&ANIMCONTROL::DrawEdge), 25u);
    EXPECT_EQ(Slot(&ANIMCONTROL::Layout), 26u);
    EXPECT_EQ(Slot(&ANIMCONTROL::Draw), 27u);
    EXPECT_EQ(Slot(&ANIMCONTROL::FocusLost), 29u);
}

TEST_F(ControlTest, APressAndReleaseInsideClicks)
{
    ANIMBUTTON* b = Button(1001, kButtonPush, {10, 10, 60, 40});
    Mouse(WM_LBUTTONDOWN, 20, 20);
    EXPECT_TRUE(b->IsPressed());
    EXPECT_TRUE(b->HasFocus());
    EXPECT_TRUE(b->HasCapture());
    EXPECT_EQ(GetCapture(), hwnd);
    Mouse(WM_LBUTTONUP, 21, 21);
    EXPECT_FALSE(b->IsPressed());
    EXPECT_FALSE(b->HasCapture());
    EXPECT_EQ(Notifications(), (std::vector<WORD>{kButtonPressed, kButtonReleased, kButtonClicked}));
    EXPECT_EQ(g_notes.back().id, 1001);
    b->Destroy();
}

TEST_F(ControlTest, ReleasingOutsideAPressedButtonOnlyReleases)
{
    ANIMBUTTON* b = Button(7, kButtonPush, {10, 10, 60, 40});
    Mouse(WM_LBUTTONDOWN, 20, 20);
    Mouse(WM_MOUSEMOVE, 100, 100);
    EXPECT_FALSE(b->IsPressed());
    Mouse(WM_MOUSEMOVE, 30, 30);
    EXPECT_TRUE(b->IsPressed());
    Mouse(WM_LBUTTONUP, 100, 100);
    EXPECT_EQ(Notifications(),
              (std::vector<WORD>{kButtonPressed, kButtonReleased, kButtonPressed, kButtonReleased}));
    b->Destroy();
}

TEST_F(ControlTest, ADisabledButtonIsNotHit)
{
    ANIMBUTTON* b = Button(7, kButtonPush, {10, 10, 60, 40});
    b->Enable(false);
    Mouse(WM_LBUTTONDOWN, 20, 20);
    Mouse(WM_LBUTTONUP, 20, 20);
    EXPECT_TRUE(g_notes.empty());
    EXPECT_FALSE(b->HasFocus());
    b->Destroy();
}

TEST_F(ControlTest, TextIsNeverHitAndAMissClearsTheFocus)
{
    ANIMBUTTON* b = Button(7, kButtonPush, {10, 10, 60, 40});
    ANIMTEXT* t = ANIMTEXT::Create(anim, 140, 0, string("label"));
    const RECT over{0, 0, 100, 100};
    t->SetRect(&over);
    Mouse(WM_LBUTTONDOWN, 20, 20); // the text lies in front but lets the press through
    EXPECT_TRUE(b->HasFocus());
    Mouse(WM_LBUTTONUP, 20, 20);
    Mouse(WM_LBUTTONDOWN, 90, 90);
    EXPECT_EQ(ANIMCONTROL::Focused(), nullptr);
    EXPECT_EQ(ANIMCONTROL::Captured(), nullptr);
    Mouse(WM_LBUTTONUP, 90, 90);
    t->Destroy();
    b->Destroy();
}

TEST_F(ControlTest, ARadioClickUnchecksItsGroup)
{
    const DWORD group1 = 0x10000 | kButtonAutoRadio | kButtonRadio;
    const DWORD group2 = 0x20000 | kButtonAutoRadio | kButtonRadio;
    ANIMBUTTON* a = Button(1, group1, {0, 0, 50, 20});
    ANIMBUTTON* b = Button(2, group1, {0, 30, 50, 50});
    ANIMBUTTON* other = Button(3, group2, {0, 60, 50, 80});
    a->SetChecked(true);
    other->SetChecked(true);
    Mouse(WM_LBUTTONDOWN, 10, 40);
    Mouse(WM_LBUTTONUP, 10, 40);
    EXPECT_FALSE(a->IsChecked());
    EXPECT_TRUE(b->IsChecked());
    EXPECT_TRUE(other->IsChecked());
    a->Destroy();
    b->Destroy();
    other->Destroy();
}

TEST_F(ControlTest, AToggleClickFlipsTheCheck)
{
    ANIMBUTTON* b = Button(1, kButtonAutoToggle | kButtonCheck, {0, 0, 50, 20});
    Mouse(WM_LBUTTONDOWN, 5, 5);
    Mouse(WM_LBUTTONUP, 5, 5);
    EXPECT_TRUE(b->IsChecked());
    Mouse(WM_LBUTTONDOWN, 5, 5);
    Mouse(WM_LBUTTONUP, 5, 5);
    EXPECT_FALSE(b->IsChecked());
    b->Destroy();
}

TEST_F(ControlTest, ButtonsSizeThemselvesToTheirContent)
{
    ANIMBUTTON* b = ANIMBUTTON::Create(anim, 1, kButtonPush, 150, string());
    EXPECT_EQ(b->GetSize().cx, 7);
    EXPECT_EQ(b->GetSize().cy, 7);
    b->SetText(string("Wide caption"));
    const SIZE withText = b->GetSize();
    EXPECT_GT(withText.cx, 7 + 20);
    EXPECT_GT(withText.cy, 7);
    ANIMBUTTON* check = ANIMBUTTON::Create(anim, 2, kButtonCheck, 150, string());
    EXPECT_EQ(check->GetSize().cx, 2 + 13);
    EXPECT_EQ(check->GetSize().cy, 13);
    Graphic* normal = SolidGraphic(30, 12, RGB(1, 1, 1));
    Graphic* pressed = SolidGraphic(25, 18, RGB(2, 2, 2));
    b->SetImages(normal, pressed);
    EXPECT_EQ(b->GetSize().cx, 30);
    EXPECT_EQ(b->GetSize().cy, 18);
    const RECT fixed{5, 5, 15, 15};
    b->SetRect(&fixed);
    b->SetText(string("Longer caption still"));
    EXPECT_EQ(b->GetSize().cx, 10);
    b->SetRect(nullptr);
    EXPECT_EQ(b->GetSize().cx, 30);
    b->Destroy();
    check->Destroy();
    MEM_DELETE(normal);
    MEM_DELETE(pressed);
}

std::vector<UINT> g_handled;
LRESULT CustomHandler(ANIMOBJECT*, UINT message, void*)
{
    g_handled.push_back(message);
    return message == kObjDraw ? 0 : 1;
}
int g_postDraws;
LRESULT PostDraw(ANIMOBJECT*, UINT message, void*)
{
    g_postDraws += message == kObjDraw;
    return 1;
}

TEST_F(ControlTest, ACustomHandlerDrawsAloneAndAPostDrawHookFollowsTheBuiltInLook)
{
    anim->Fill(RGB(0, 0, 0));
    ANIMBUTTON* custom = Button(1, kButtonPush, {0, 0, 40, 20});
    custom->SetCustomHandler(CustomHandler);
    custom->Enable(false);
    ANIMBUTTON* plain = Button(2, kButtonPush, {0, 40, 40, 60});
    plain->SetPostDrawHook(PostDraw);
    g_handled.clear();
    g_postDraws = 0;
    anim->PaintNow();
    EXPECT_EQ(anim->screen->GetPixelColor(20, 10), RGB(0, 0, 0)); // the handler drew nothing
    EXPECT_EQ(anim->screen->GetPixelColor(34, 50), GetSysColor(COLOR_BTNFACE)); // right of the caption
    EXPECT_EQ(g_postDraws, 1);
    // Disabled, but its handler decides about hits.
    Mouse(WM_LBUTTONDOWN, 10, 10);
    EXPECT_TRUE(custom->HasFocus());
    Mouse(WM_LBUTTONUP, 10, 10);
    EXPECT_NE(std::find(g_handled.begin(), g_handled.end(), UINT(kObjHitTest)), g_handled.end());
    custom->Destroy();
    plain->Destroy();
}

TEST_F(ControlTest, AHoverButtonShowsItsFaceOnlyUnderThePointer)
{
    anim->Fill(RGB(0, 0, 0));
    ANIMBUTTON* b = Button(1, kButtonPush | kButtonHover, {0, 0, 40, 20});
    Mouse(WM_MOUSEMOVE, 100, 100);
    anim->Invalidate(nullptr, false);
    anim->PaintNow();
    EXPECT_EQ(anim->screen->GetPixelColor(30, 10), RGB(0, 0, 0));
    EXPECT_FALSE(b->HasFocus());
    Mouse(WM_MOUSEMOVE, 10, 10);
    anim->Invalidate(nullptr, false);
    anim->PaintNow();
    EXPECT_EQ(anim->screen->GetPixelColor(30, 10), GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(b->HasFocus());
    b->Destroy();
}

// The pointer moves from one hover button to the other and only the newcomer is redrawn: the
// one that loses the focus must still lose its face on screen in the same paint.
TEST_F(ControlTest, AHoverButtonLosingThePointerIsRepaintedBare)
{
    anim->Fill(RGB(0, 0, 0));
    ANIMBUTTON* a = Button(1, kButtonPush | kButtonHover, {0, 0, 40, 20});
    ANIMBUTTON* b = Button(2, kButtonPush | kButtonHover, {60, 0, 100, 20});
    Mouse(WM_MOUSEMOVE, 10, 10);
    anim->Invalidate(nullptr, false);
    anim->PaintNow();
    ASSERT_TRUE(a->HasFocus());
    ASSERT_EQ(anim->screen->GetPixelColor(30, 10), GetSysColor(COLOR_BTNFACE));
    Mouse(WM_MOUSEMOVE, 70, 10);
    const RECT newcomer{60, 0, 100, 20};
    anim->Invalidate(&newcomer, false);
    anim->PaintNow();
    anim->PaintNow();
    EXPECT_TRUE(b->HasFocus());
    EXPECT_EQ(anim->screen->GetPixelColor(90, 10), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(anim->screen->GetPixelColor(30, 10), RGB(0, 0, 0));
    EXPECT_TRUE(anim->blit->IsEmpty());
    a->Destroy();
    b->Destroy();
}

TEST_F(ControlTest, AControlWithoutItsObjectHooksNothing)
{
    const int before = anim->hooks.c;
    SetMemRefuseHook([](size_t, const char* label) { return std::strcmp(label, "ANIMOBJECT") == 0; });
    ANIMBUTTON* button = ANIMBUTTON::Create(anim, 1, kButtonPush, 150);
    ANIMTEXT* text = ANIMTEXT::Create(anim, 150);
    SetMemRefuseHook(nullptr);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->Object(), nullptr);
    EXPECT_EQ(text->Object(), nullptr);
    EXPECT_EQ(anim->hooks.c, before);
    button->Destroy();
    text->Destroy();
    EXPECT_EQ(anim->hooks.c, before);
}

TEST_F(ControlTest, ColoursComeFromTheArrayElseTheSystem)
{
    ANIMTEXT* t = ANIMTEXT::Create(anim, 150);
    EXPECT_EQ(t->GetColor(kColorText), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(t->GetColor(kColorFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(t->GetColor(9), kNoColor);
    t->SetColor(kColorText, RGB(255, 255, 255));
    EXPECT_EQ(t->GetColor(kColorText), RGB(255, 255, 255));
    EXPECT_EQ(t->GetColor(kColorBackground), kNoColor); // new entries are none
    t->Destroy();
}

TEST_F(ControlTest, TheWindowGoingFirstLeavesControlsDetached)
{
    ANIMBUTTON* b = Button(1, kButtonPush, {0, 0, 50, 20});
    DestroyWindow(hwnd);
    EXPECT_EQ(b->Object(), nullptr);
    b->Destroy();
}

TEST_F(ControlTest, ControlsDrawTheirLook)
{
    anim->Fill(RGB(0, 64, 0));
    ANIMBUTTON* push = Button(1, kButtonPush | kButtonCentred, {10, 10, 78, 56});
    ANIMBUTTON* check = Button(2, kButtonCheck, {10, 62, 150, 80});
    check->SetChecked(true);
    ANIMBUTTON* radio = Button(3, kButtonRadio, {10, 84, 150, 102});
    ANIMTEXT* text = ANIMTEXT::Create(anim, 150, kTextCentre, string("Quibo"));
    text->SetColor(kColorBackground, kNoColor);
    text->SetColor(kColorText, RGB(255, 255, 0));
    const RECT textRect{84, 10, 154, 56};
    text->SetRect(&textRect);
    Mouse(WM_LBUTTONDOWN, 20, 20);
    anim->PaintNow();
    WritePicture(*anim->screen, "engine_controls");
    // The pushed face is the button face colour inside its edges; the text's box stays clear.
    EXPECT_EQ(anim->screen->GetPixelColor(70, 30), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(anim->screen->GetPixelColor(86, 12), RGB(0, 64, 0));
    Mouse(WM_LBUTTONUP, 20, 20);
    push->Destroy();
    check->Destroy();
    radio->Destroy();
    text->Destroy();
}

} // namespace
