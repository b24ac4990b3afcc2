#include "display_fixture.h"

#include "cea_graphic.h"
#include "cea_main.h"
#include "display.h"
#include "layout.h"
#include "memmgr.h"
#include "screens.h"
#include "screens_stand_in.h"
#include "unzipper.h"
#include "zip_builder.h"

#include <filesystem>
#include <fstream>
#include <iterator>

std::string TestProgramFolder()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

void LoadShippedLayout(const std::string& deviceClass)
{
    std::ifstream in(std::string(QUIBO_LAYOUTS) + "/" + deviceClass + ".txt", std::ios::binary);
    const Bytes text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(text.empty()) << deviceClass;
    const Bytes zip = BuildZip({StoredItem("layout.txt", text)});
    ZIPFILE pack(zip.data(), DWORD(zip.size()), false);
    LoadLayout(pack);
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
    hwnd = CreateWindowExW(0, u"AnimWindow", u"display", WS_POPUP | WS_VISIBLE, 0, 0, 240, 294, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    anim = AnimWindow::FromWindow(hwnd);
    ASSERT_NE(anim, nullptr);
    anim->SetFrameRate(20);
    SetDisplayWindow(anim, nullptr);
    g_standIn = {SCREEN_PLAY, nullptr, 0};
}

void DisplayTest::TearDown()
{
    DeletePlayElements();
    EmptyPressedList();
    SetDisplayWindow(nullptr, nullptr);
    if (IsWindow(hwnd))
        DestroyWindow(hwnd);
}

void DisplayTest::FitWindowToLayout()
{
    SetWindowPos(hwnd, nullptr, 0, 0, LayoutNumber("cxWINDOW"), LayoutNumber("cyWINDOW"), SWP_NOMOVE | SWP_NOZORDER);
}
