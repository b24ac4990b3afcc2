// The play screen on its own: the pack that fits the display (QUIBO_DISPLAY picks another),
// twelve tiles dealt in from the deck, the buttons with their pressed looks and sounds, the
// status texts, the guide button's shimmer and the sparkles. Each button's command is printed
// on standard output; Exit closes the window from inside the click, as the handheld's does.
#include "aux_control.h"
#include "cea_main.h"
#include "cea_object.h"
#include "cea_window.h"
#include "display.h"
#include "game.h"
#include "layout.h"
#include "media.h"
#include "records.h"
#include "screens.h"
#include "sequencer.h"
#include "tile.h"

#include <cstdio>

// The screen switch is not part of this demo: the play screen is the only one.
int CurrentScreen()
{
    return SCREEN_PLAY;
}

ANIMBUTTON* TutorialGuide()
{
    return nullptr;
}

void RefreshScreenTexts(bool) { }

namespace {

// An application event of the demo's own, after everything else scheduled at the start.
constexpr DWORD kReadyEvent = 100;

HWND g_play;

LRESULT CALLBACK CommandProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        std::printf("command %d\n", LOWORD(wParam));
        std::fflush(stdout);
        if (LOWORD(wParam) == IDC_EXIT)
            DestroyWindow(g_play);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT EventProc(AnimWindow*, UINT code, WPARAM a, LPARAM b)
{
    if (code == kAnimBeforeUpdate) {
        DisplayTick();
    } else if (code == kAnimEvent && a == kReadyEvent) {
        std::printf("ready\n");
        std::fflush(stdout);
    } else if (code == kAnimEvent) {
        SequencerEvent(DWORD(a), reinterpret_cast<ANIMOBJECT*>(b));
    }
    return 1;
}

// Twelve tiles, dealt column by column from the deck, the second and seventh selected.
void Deal(AnimWindow* anim)
{
    constexpr int kTiles[12] = {0, 41, 80, 13, 67, 26, 54, 7, 35, 61, 19, 75};
    g_game.fActive = 1;
    g_game.iNextTile = 12;
    g_game.tStart = GetTickCount();
    DWORD frame = anim->GetCurrentFrame();
    for (int i = 0; i < 12; ++i) {
        const int t = kTiles[i];
        const int column = i / 3, row = i % 3;
        PIECE& slot = g_game.rgBoard[row][column];
        slot = {1, uint32_t(t / 27), uint32_t(t / 9 % 3), uint32_t(t / 3 % 3), uint32_t(t % 3), nullptr, uint32_t(i == 1 || i == 6)};
        slot.pObject = CreateTileObject(anim, slot, column, row);
        slot.pObject->SetRect(TilePosition(-1, row, false));
        Fly(slot.pObject, TilePosition(column, row, false), false, false, frame + DWORD(row));
        if (row == 2)
            frame += 5;
    }
}

} // namespace

int main()
{
    if (!InitAnimEngine(nullptr, 0) || !ChoosePack() || !LoadImages()) {
        std::fprintf(stderr, "play_display_demo: no pack could be loaded\n");
        return 1;
    }
    LoadSounds();
    ClosePack();
    g_settings.iEffects = 2;
    g_settings.fSmoothAnimation = 1;
    g_settings.fSoundEffects = 1;

    WNDCLASSW wc{};
    wc.lpfnWndProc = CommandProc;
    wc.lpszClassName = u"PlayDisplayCommands";
    RegisterClassW(&wc);
    HWND commands = CreateWindowExW(0, u"PlayDisplayCommands", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    g_play = CreateWindowExW(0, u"AnimWindow", u"Play display", WS_POPUP | WS_VISIBLE, 40, 40, LayoutNumber("cxWINDOW"),
                             LayoutNumber("cyWINDOW"), nullptr, nullptr, nullptr, nullptr);
    AnimWindow* anim = AnimWindow::FromWindow(g_play);
    anim->Fill(RGB(0, 64, 32));
    anim->SetCallback(EventProc);
    anim->SetFrameRate(20);
    SetDisplayWindow(anim, commands);

    Deal(anim);
    BuildPlayScreen();
    anim->ScheduleAppEvent(anim->GetEndFrame(), kReadyEvent, 0);
    // Runs until Exit closes the window; the elements outlive it and are freed after.
    anim->Run(-1);

    SetDisplayWindow(nullptr, nullptr);
    DeletePlayElements();
    DestroyWindow(commands);
    FreeImages();
    FreeSounds();
    std::printf("closed\n");
    return 0;
}
