#include "cea_main.h"

#include "cea_clock.h"
#include "cea_display.h"
#include "cea_palette.h"
#include "cea_window.h"
#include "memmgr.h"

namespace {

constexpr int kLiveGrowBy = 8;

struct ENGINE {
    bool fStarted;
    BOOL result;
    AnimWindow** live; // freed slots are set to none and reused
    int cLive;
    // The message dispatcher's last lookup.
    HWND lastHwnd;
    AnimWindow* lastWindow;
};
ENGINE g_engine;

BOOL RegisterAnimClass(HINSTANCE instance, LPCWSTR name, HCURSOR cursor)
{
    WNDCLASSW wc{};
    wc.style = CS_GLOBALCLASS | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = AnimWindowProc;
    wc.cbWndExtra = sizeof(AnimWindow*);
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.lpszClassName = name;
    return RegisterClassW(&wc) != 0;
}

} // namespace

BOOL InitAnimEngine(HINSTANCE instance, DWORD flags)
{
    if (g_engine.fStarted)
        return g_engine.result;
    g_engine.fStarted = true;
    g_engine.result = RegisterAnimClass(instance, u"AnimWindow", LoadCursorW(nullptr, IDC_ARROW))
                      && RegisterAnimClass(instance, u"AnimWindowNoCursor", nullptr);
    if (!g_engine.result)
        return FALSE;
    StartEngineClock();
    DISPLAY& display = GetDisplay();
    MeasureDisplaySize(display);
    if (HDC hdc = GetDC(nullptr)) {
        display.bitsPerPixel = GetDeviceCaps(hdc, BITSPIXEL);
        ReleaseDC(nullptr, hdc);
    }
    if (flags & kEnginePalettised)
        display.bitsPerPixel = 8;
    return TRUE;
}

int DisplayWidth()
{
    return GetDisplay().cx;
}

int DisplayHeight()
{
    return GetDisplay().cy;
}

int DisplayBitDepth()
{
    return GetDisplay().bitsPerPixel;
}

bool DisplayIsPalettised()
{
    return DisplayBitDepth() <= 8;
}

RECT DisplayRect()
{
    return {0, 0, DisplayWidth(), DisplayHeight()};
}

PaletteGroup* GetDisplayPaletteGroup()
{
    return GetDisplay().paletteGroup;
}

void SetDisplayPaletteGroup(PaletteGroup* group)
{
    GetDisplay().paletteGroup = group;
    for (int i = 0; i < g_engine.cLive; ++i)
        if (AnimWindow* window = g_engine.live[i])
            window->RebuildBuffers();
}

HPALETTE DisplayPalette()
{
    PaletteGroup* group = GetDisplayPaletteGroup();
    return DisplayIsPalettised() && group ? group->GetPalette() : nullptr;
}

bool AddLiveWindow(AnimWindow* window)
{
    int i = 0;
    while (i < g_engine.cLive && g_engine.live[i])
        ++i;
    if (i == g_engine.cLive) {
        if (!MEM_GROW_ARRAY(&g_engine.live, &g_engine.cLive, i + 1, kLiveGrowBy))
            return false;
        MEM_TARE(g_engine.live); // the list lives for the run
    }
    g_engine.live[i] = window;
    return true;
}

void RemoveLiveWindow(AnimWindow* window)
{
    for (int i = 0; i < g_engine.cLive; ++i)
        if (g_engine.live[i] == window)
            g_engine.live[i] = nullptr;
    if (g_engine.lastWindow == window) {
        g_engine.lastHwnd = nullptr;
        g_engine.lastWindow = nullptr;
    }
}

bool IsLiveWindow(const AnimWindow* window)
{
    if (!window)
        return false;
    for (int i = 0; i < g_engine.cLive; ++i)
        if (g_engine.live[i] == window)
            return true;
    return false;
}

bool DispatchToHooks(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hwnd != g_engine.lastHwnd || !g_engine.lastWindow) {
        g_engine.lastHwnd = hwnd;
        g_engine.lastWindow = AnimWindow::FromWindow(hwnd);
    }
    AnimWindow* window = g_engine.lastWindow;
    return window && window->hooks.Dispatch(window, message, wParam, lParam);
}
