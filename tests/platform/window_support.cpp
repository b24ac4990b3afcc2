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
    static const WNDCLASSW wc{CS_DBLCLKS, RecordingProc, 0, 8, nullptr, nullptr, nullptr, nullptr, nullptr, u"RecordingWindow"};
    static const ATOM atom = RegisterClassW(&wc); // once per program
    (void)atom;
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

void PumpReady(HWND dialog)
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        if (!dialog || !IsDialogMessageW(dialog, &msg)) {
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
    event.text = {SDL_TEXTINPUT, 0, HostId(topLevel), {}};
    std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
    SDL_PushEvent(&event);
}

static SDL_Surface* SurfaceOf(HWND topLevel)
{
    SDL_Window* host = SDL_GetWindowFromID(HostId(topLevel));
    return host ? SDL_GetWindowSurface(host) : nullptr;
}

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
    std::vector<uint32_t> pixels;
    for (int i = 0; surface && i < surface->w * surface->h; ++i)
        pixels.push_back(WindowPixel(topLevel, i % surface->w, i / surface->w));
    return surface && WritePng(TestOutputDir() / name, surface->w, surface->h, pixels);
}
