// A small animation engine demo: sprites flown along scheduled circular paths over a painted
// background, a push button, a check button, a text field and the frame rate. Clicks are also
// printed on standard output, so a script driving the demo can tell they arrived.
#include "aux_control.h"
#include "cea_graphic.h"
#include "cea_main.h"
#include "cea_object.h"
#include "cea_sprite.h"
#include "cea_window.h"
#include "memmgr.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 320;
constexpr int kFlyers = 5;
constexpr DWORD kLapFrames = 120;
constexpr DWORD kLapEvent = 1;
constexpr int kPushId = 1001;
constexpr int kCheckId = 1002;
constexpr COLORREF kKey = RGB(255, 0, 255);

struct DEMO {
    Graphic* sheet;
    Sprite* sprite;
    ANIMOBJECT* flyers[kFlyers];
    ANIMBUTTON* push;
    ANIMBUTTON* check;
    ANIMTEXT* text;
    int presses;
};
DEMO g_demo;

// Four frames of a star turning: a keyed sheet of 4 cells of 32 x 32.
Graphic* MakeSheet()
{
    constexpr int kCell = 32;
    Graphic* sheet = MEM_NEW(Graphic, kCell * 4, kCell, 0, static_cast<const RGBQUAD*>(nullptr));
    for (int frame = 0; frame < 4; ++frame) {
        const double turn = frame * 3.14159265 / 8;
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell; ++x) {
                const double dx = x - kCell / 2 + 0.5;
                const double dy = y - kCell / 2 + 0.5;
                const double r = std::sqrt(dx * dx + dy * dy);
                const double a = std::atan2(dy, dx) + turn;
                const double edge = 9 + 6 * std::cos(4 * a);
                const COLORREF c = r < edge ? RGB(255, 200 - int(r) * 5, 40 + frame * 40) : kKey;
                sheet->SetPixelColor(frame * kCell + x, y, c);
            }
        }
    }
    sheet->SetTransparency(kKey);
    return sheet;
}

void PaintBackground(AnimWindow* anim)
{
    anim->Fill(RGB(10, 50, 40));
    for (int i = 0; i < kWidth; i += 40) {
        const RECT stripe{i, 0, i + 20, kHeight};
        anim->Fill(RGB(14, 62, 50), &stripe);
    }
}

// One lap for every flyer, each on its own circle, from the current frame on.
void ScheduleLap(AnimWindow* anim)
{
    const DWORD start = anim->GetCurrentFrame();
    for (int i = 0; i < kFlyers; ++i) {
        const double radius = 40 + 18 * i;
        for (DWORD f = 0; f < kLapFrames; ++f) {
            const double a = 2 * 3.14159265 * f / kLapFrames * (i % 2 ? 1 : -1) + i;
            const int x = int(kWidth / 2 + 60 + radius * std::cos(a)) - 16;
            const int y = int(kHeight / 2 + radius * 0.7 * std::sin(a)) - 16;
            const RECT r{x, y, x + 32, y + 32};
            anim->ScheduleObjectEvent(start + f, g_demo.flyers[i], 0, &r);
        }
    }
    anim->ScheduleAppEvent(start + kLapFrames - 1, kLapEvent, 0);
}

LRESULT EngineCallback(AnimWindow* anim, UINT code, WPARAM a, LPARAM)
{
    if (code == kAnimBackground)
        PaintBackground(anim);
    else if (code == kAnimEvent && a == kLapEvent)
        ScheduleLap(anim);
    return 1;
}

void ShowState()
{
    char line[80];
    std::snprintf(line, sizeof line, "Pressed %d times, sparkles %s", g_demo.presses, g_demo.check->IsChecked() ? "on" : "off");
    g_demo.text->SetText(string(line));
}

LRESULT CALLBACK ButtonNotify(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message != WM_COMMAND || HIWORD(wParam) != kButtonClicked)
        return 0;
    if (LOWORD(wParam) == kPushId)
        ++g_demo.presses;
    std::printf("clicked %d\n", LOWORD(wParam));
    std::fflush(stdout);
    ShowState();
    return 0;
}

void Build(AnimWindow* anim)
{
    g_demo.sheet = MakeSheet();
    g_demo.sprite = MEM_NEW(Sprite, g_demo.sheet, 4, 1, kAllFrames);
    for (ANIMOBJECT*& flyer : g_demo.flyers)
        flyer = ANIMOBJECT::Create(anim, g_demo.sprite, 50);

    g_demo.push = ANIMBUTTON::Create(anim, kPushId, kButtonPush | kButtonCentred, 150, string("Press me"));
    const RECT pushRect{20, 20, 120, 56};
    g_demo.push->SetRect(&pushRect);
    g_demo.push->SetNotify(ButtonNotify, nullptr);

    g_demo.check = ANIMBUTTON::Create(anim, kCheckId, kButtonCheck | kButtonAutoToggle, 150, string("Sparkles"));
    g_demo.check->SetPosition(20, 70);
    g_demo.check->SetColor(kColorBackground, kNoColor);
    g_demo.check->SetColor(kColorText, RGB(255, 255, 255));
    g_demo.check->SetNotify(ButtonNotify, nullptr);

    g_demo.text = ANIMTEXT::Create(anim, 150, kTextWrap);
    const RECT textRect{20, 100, 160, 160};
    g_demo.text->SetRect(&textRect);
    g_demo.text->SetColor(kColorBackground, kNoColor);
    g_demo.text->SetColor(kColorText, RGB(255, 255, 0));
    ShowState();

    anim->ShowFrameRate(true);
    anim->SetStatusText(string("Quibo engine demo"));
    ScheduleLap(anim);
}

} // namespace

int main()
{
    if (!InitAnimEngine(nullptr, 0))
        return 1;
    HWND hwnd = CreateWindowExW(0, u"AnimWindow", u"Engine demo", WS_POPUP, 40, 40, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
    AnimWindow* anim = AnimWindow::FromWindow(hwnd);
    if (!anim)
        return 1;
    anim->SetCallback(EngineCallback);
    anim->SetFrameRate(20);
    Build(anim);
    ShowWindow(hwnd, SW_SHOW);
    // Runs until the window is closed; the controls outlive it and are freed after.
    anim->Run(-1);
    g_demo.push->Destroy();
    g_demo.check->Destroy();
    g_demo.text->Destroy();
    MEM_DELETE(g_demo.sprite);
    MEM_DELETE(g_demo.sheet);
    return 0;
}
