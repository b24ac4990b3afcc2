#include "display_fixture.h"

#include "cea_graphic.h"
#include "cea_main.h"
#include "display.h"
#include "game.h"
#include "hostclock.h"
#include "layout.h"
#include "memmgr.h"
#include "screens.h"
#include "unzipper.h"
#include "window_support.h"
#include "zip_builder.h"

#include <filesystem>
#include <fstream>
#include <iterator>

int g_screen = SCREEN_PLAY, g_refreshes = 0;
ANIMBUTTON* g_guide = nullptr;

int CurrentScreen()
{
    return g_screen;
}

ANIMBUTTON* TutorialGuide()
{
    return g_guide;
}

void RefreshScreenTexts(bool)
{
    ++g_refreshes;
}

std::string TestProgramFolder()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

void DisplayTest::Layout(const std::string& deviceClass)
{
    std::ifstream in(std::string(QUIBO_LAYOUTS) + "/" + deviceClass + ".txt", std::ios::binary);
    const Bytes text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(text.empty()) << deviceClass;
    const Bytes zip = BuildZip({StoredItem("layout.txt", text)});
    ZIPFILE pack(zip.data(), DWORD(zip.size()), false);
    LoadLayout(pack);
    SetWindowPos(hwnd, nullptr, 0, 0, LayoutNumber("cxWINDOW"), LayoutNumber("cyWINDOW"), SWP_NOMOVE | SWP_NOZORDER);
}

Graphic* FilledGraphic(int cx, int cy, COLORREF color)
{
    Graphic* g = MEM_NEW(Graphic, cx, cy, 24, static_cast<const RGBQUAD*>(nullptr));
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            g->SetPixelColor(x, y, color);
    return g;
}

void DisplayTest::SetUp()
{
    ASSERT_TRUE(InitAnimEngine(nullptr, 0));
    RegisterRecordingClass();
    hwnd = CreateWindowExW(0, u"AnimWindow", u"display", WS_POPUP | WS_VISIBLE, 0, 0, 240, 294, nullptr, nullptr, nullptr, nullptr);
    target = CreateWindowExW(0, u"RecordingWindow", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    anim = AnimWindow::FromWindow(hwnd);
    anim->SetFrameRate(20);
    SetDisplayWindow(anim, target);
    g_screen = SCREEN_PLAY, g_refreshes = 0, g_guide = nullptr;
    g_settings = {}, g_game = {}, g_status = {};
    for (int i = 0; i < cFACESETS * cBUTTON_FACES; ++i) {
        g_media.rgFaces[i / cBUTTON_FACES][i % cBUTTON_FACES] = Made(cxBUTTON, cyBUTTON, FaceColor(i / cBUTTON_FACES, i % cBUTTON_FACES));
        g_media.rgCaptions[i / cBUTTON_FACES][i % cBUTTON_FACES] = Made(cxCAPTION, cyCAPTION, CaptionColor(i % cBUTTON_FACES));
    }
    for (int i = 0; i < cBUTTON_FRAMES; ++i)
        g_media.rgButtonsDown[i] = Made(cxBUTTON, cyBUTTON, DownColor(i));
    for (int i = 0; i < cEFFECT_FRAMES; ++i)
        g_media.rgEffects[i] = Made(cxEFFECT, cyEFFECT, RGB(i, i, i));
    for (int i = 0; i < cTILE_FACES; ++i)
        g_media.rgTiles[i] = g_tileArt.rgFaces[i] = Made(W, H, kTileColors[i]);
    for (int i = 0; i < cINSETS; ++i)
        g_tileArt.rgInsets[i] = Made(w, h, InsetColor(i));
    g_tileArt.cyInsetsSpacing = kSpacing;
    ClearLog();
    SetManualHostClock(true);
}

void DisplayTest::TearDown()
{
    DeletePlayElements();
    EmptyPressedList();
    SetDisplayWindow(nullptr, nullptr);
    DestroyWindow(hwnd);
    DestroyWindow(target);
    SetManualHostClock(false);
    for (Graphic* g : made)
        MEM_DELETE(g);
    g_media = {}, g_tileArt = {}, g_settings = {}, g_game = {};
}
