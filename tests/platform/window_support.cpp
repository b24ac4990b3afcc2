#include "window_support.h"

#include "screenshot.h"

#include <cstring>

std::vector<Received>& Log()
{
    static std::vector<Received> log;
    return log;
}

void ClearLog()
{
    Log().clear();
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Log().push_back(Received{hwnd, msg, wParam, lParam});
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

std::vector<Received> LogOf(UINT msg)
{
    std::vector<Received> only;
    for (const Received& r : Log())
        if (r.msg == msg)
            only.push_back(r);
    return only;
}

void RegisterRecordingClass()
{
    static bool done = false;
    if (done)
        return;
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = RecordingProc;
    wc.cbWndExtra = 8;
    wc.lpszClassName = u"RecordingWindow";
    done = RegisterClassW(&wc) != 0;
}

void WindowFixture::TearDown()
{
    for (HWND hwnd : created)
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
    PumpReady();
}

HWND WindowFixture::Make(DWORD style, int x, int y, int w, int h, HWND parent, int id, LPCWSTR cls, LPCWSTR text)
{
    HWND hwnd = CreateWindowExW(0, cls ? cls : u"RecordingWindow", text, style, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    created.push_back(hwnd);
    return hwnd;
}

void PumpReady()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

Uint32 HostId(HWND topLevel)
{
    for (Uint32 id = 1; id < 1000; ++id)
        if (SDL_Window* host = SDL_GetWindowFromID(id); host && SDL_GetWindowData(host, "hwnd") == topLevel)
            return id;
    return 0;
}

void PushButton(HWND topLevel, bool down, int x, int y, Uint8 button, Uint8 clicks)
{
    SDL_Event event{};
    const Uint32 type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button = {type, 0, HostId(topLevel), 0, button, Uint8(down ? SDL_PRESSED : SDL_RELEASED), clicks, 0, x, y};
    SDL_PushEvent(&event);
}

void PushMotion(HWND topLevel, int x, int y)
{
    SDL_Event event{};
    event.motion = {SDL_MOUSEMOTION, 0, HostId(topLevel), 0, 0, x, y, 0, 0};
    SDL_PushEvent(&event);
}

void PushKey(HWND topLevel, SDL_Keycode key, bool down)
{
    SDL_Event event{};
    event.key = {Uint32(down ? SDL_KEYDOWN : SDL_KEYUP),  0, HostId(topLevel), Uint8(down ? SDL_PRESSED : SDL_RELEASED), 0, 0, 0,
                 {SDL_GetScancodeFromKey(key), key, 0, 0}};
    SDL_PushEvent(&event);
}

void PushText(HWND topLevel, const char* utf8)
{
    SDL_Event event{};
    event.text.type = SDL_TEXTINPUT;
    event.text.windowID = HostId(topLevel);
    std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
    SDL_PushEvent(&event);
}

namespace {

SDL_Surface* SurfaceOf(HWND topLevel)
{
    SDL_Window* host = SDL_GetWindowFromID(HostId(topLevel));
    return host ? SDL_GetWindowSurface(host) : nullptr;
}

} // namespace

uint32_t WindowPixel(HWND topLevel, int x, int y)
{
    SDL_Surface* surface = SurfaceOf(topLevel);
    if (!surface || x < 0 || y < 0 || x >= surface->w || y >= surface->h)
        return 0xFFFFFFFF;
    const auto* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
    uint32_t pixel;
    std::memcpy(&pixel, row + 4 * x, 4);
    return pixel & 0xFFFFFF;
}

bool SaveWindowPng(HWND topLevel, const char* name)
{
    SDL_Surface* surface = SurfaceOf(topLevel);
    if (!surface)
        return false;
    std::vector<uint32_t> pixels;
    for (int y = 0; y < surface->h; ++y)
        for (int x = 0; x < surface->w; ++x)
            pixels.push_back(WindowPixel(topLevel, x, y));
    return WritePng(TestOutputDir() / name, surface->w, surface->h, pixels);
}
