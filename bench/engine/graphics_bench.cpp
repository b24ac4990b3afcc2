// Our drawing paths against SDL's blits and memcpy, on an 85 x 150 tile and a 760 x 520
// frame: the keyed copy through opaque runs against SDL's run-length colour-key blit, the
// per-pixel blend against SDL's alpha blit, and a whole-frame same-depth copy against
// memcpy. The argument is the bit depth of both sides (24 or 32).
#include "cea_graphic.h"

#include <SDL.h>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kTileWidth = 85;
constexpr int kTileHeight = 150;
constexpr int kFrameWidth = 760;
constexpr int kFrameHeight = 520;
constexpr DWORD kKey = 0x0000FF;

// A tile face: rounded corners and a keyed window in the middle, the rest textured.
bool Keyed(int x, int y)
{
    const int r = 12;
    const int cx = std::max({r - x, x - (kTileWidth - 1 - r), 0});
    const int cy = std::max({r - y, y - (kTileHeight - 1 - r), 0});
    const bool corner = cx * cx + cy * cy > r * r;
    const bool window = x > 25 && x < 60 && y > 40 && y < 110 && (x + y) % 7 != 0;
    return corner || window;
}

DWORD TileColor(int x, int y)
{
    return DWORD(40 + x * 2) << 16 | DWORD(60 + y) << 8 | DWORD(90 + (x ^ y) % 64);
}

BYTE Opacity(int x, int y)
{
    const double d = std::hypot(x - kTileWidth / 2.0, y - kTileHeight / 2.0);
    return BYTE(std::clamp(255.0 - d * 3, 0.0, 255.0));
}

std::unique_ptr<Graphic> MakeTile(int bitCount, bool keyed, bool translucent)
{
    auto tile = std::make_unique<Graphic>(kTileWidth, kTileHeight, bitCount);
    for (int y = 0; y < kTileHeight; ++y) {
        for (int x = 0; x < kTileWidth; ++x)
            tile->SetPixelValue(x, y, keyed && Keyed(x, y) ? kKey : TileColor(x, y));
    }
    if (keyed)
        tile->SetTransparency(RGB(0, 0, 255));
    if (translucent) {
        tile->SetTranslucency(kOpacityMap, 0);
        const TRANSLUCENCY* t = tile->GetTranslucency();
        for (int y = 0; y < kTileHeight; ++y) {
            for (int x = 0; x < kTileWidth; ++x)
                t->opacity[size_t(y) * t->cbStride + DWORD(x)] = Opacity(x, y);
        }
    }
    return tile;
}

std::unique_ptr<Graphic> MakeFrame(int bitCount)
{
    auto frame = std::make_unique<Graphic>(kFrameWidth, kFrameHeight, bitCount);
    for (int y = 0; y < kFrameHeight; ++y) {
        for (int x = 0; x < kFrameWidth; ++x)
            frame->SetPixelValue(x, y, DWORD(x % 256) << 16 | DWORD(y % 256) << 8 | 0x40);
    }
    return frame;
}

Uint32 SdlFormat(int bitCount)
{
    return bitCount == 24 ? SDL_PIXELFORMAT_RGB24 : SDL_PIXELFORMAT_RGB888;
}

SDL_Surface* SdlTile(int bitCount, bool keyed)
{
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, kTileWidth, kTileHeight, bitCount, SdlFormat(bitCount));
    SDL_LockSurface(s);
    for (int y = 0; y < kTileHeight; ++y) {
        for (int x = 0; x < kTileWidth; ++x) {
            const DWORD c = keyed && Keyed(x, y) ? kKey : TileColor(x, y);
            const Uint32 v = SDL_MapRGB(s->format, Uint8(c >> 16), Uint8(c >> 8), Uint8(c));
            std::memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * (bitCount / 8), &v, size_t(bitCount / 8));
        }
    }
    SDL_UnlockSurface(s);
    return s;
}

SDL_Surface* SdlAlphaTile()
{
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, kTileWidth, kTileHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_LockSurface(s);
    for (int y = 0; y < kTileHeight; ++y) {
        for (int x = 0; x < kTileWidth; ++x) {
            const DWORD c = TileColor(x, y);
            static_cast<Uint32*>(s->pixels)[y * s->pitch / 4 + x]
                = SDL_MapRGBA(s->format, Uint8(c >> 16), Uint8(c >> 8), Uint8(c), Opacity(x, y));
        }
    }
    SDL_UnlockSurface(s);
    SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
    return s;
}

SDL_Surface* SdlFrame(int bitCount)
{
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, kFrameWidth, kFrameHeight, bitCount, SdlFormat(bitCount));
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 30, 60, 90));
    return s;
}

void TilePixels(benchmark::State& state)
{
    state.SetItemsProcessed(int64_t(state.iterations()) * kTileWidth * kTileHeight);
}

void BM_OurRunCopy(benchmark::State& state)
{
    const int bitCount = int(state.range(0));
    auto tile = MakeTile(bitCount, true, false);
    auto frame = MakeFrame(bitCount);
    tile->DrawTo(frame.get(), 0, 0); // builds the runs
    for (auto _ : state)
        tile->DrawTo(frame.get(), 300, 200);
    TilePixels(state);
}
BENCHMARK(BM_OurRunCopy)->Arg(24)->Arg(32);

void BM_SdlColorKeyRle(benchmark::State& state)
{
    const int bitCount = int(state.range(0));
    SDL_Surface* tile = SdlTile(bitCount, true);
    SDL_Surface* frame = SdlFrame(bitCount);
    SDL_SetColorKey(tile, SDL_TRUE, SDL_MapRGB(tile->format, 0, 0, 255));
    SDL_SetSurfaceRLE(tile, 1);
    SDL_Rect at = {300, 200, kTileWidth, kTileHeight};
    SDL_BlitSurface(tile, nullptr, frame, &at); // encodes the runs
    for (auto _ : state) {
        at = {300, 200, kTileWidth, kTileHeight};
        SDL_BlitSurface(tile, nullptr, frame, &at);
    }
    TilePixels(state);
    SDL_FreeSurface(tile);
    SDL_FreeSurface(frame);
}
BENCHMARK(BM_SdlColorKeyRle)->Arg(24)->Arg(32);

void BM_OurBlend(benchmark::State& state)
{
    const int bitCount = int(state.range(0));
    auto tile = MakeTile(32, false, true);
    auto frame = MakeFrame(bitCount);
    for (auto _ : state)
        tile->DrawTo(frame.get(), 300, 200);
    TilePixels(state);
}
BENCHMARK(BM_OurBlend)->Arg(24)->Arg(32);

void BM_SdlAlphaBlit(benchmark::State& state)
{
    const int bitCount = int(state.range(0));
    SDL_Surface* tile = SdlAlphaTile();
    SDL_Surface* frame = SdlFrame(bitCount);
    for (auto _ : state) {
        SDL_Rect at = {300, 200, kTileWidth, kTileHeight};
        SDL_BlitSurface(tile, nullptr, frame, &at);
    }
    TilePixels(state);
    SDL_FreeSurface(tile);
    SDL_FreeSurface(frame);
}
BENCHMARK(BM_SdlAlphaBlit)->Arg(24)->Arg(32);

void FramePixels(benchmark::State& state)
{
    state.SetItemsProcessed(int64_t(state.iterations()) * kFrameWidth * kFrameHeight);
}

void BM_OurFrameCopy(benchmark::State& state)
{
    const int bitCount = int(state.range(0));
    auto from = MakeFrame(bitCount);
    auto to = MakeFrame(bitCount);
    for (auto _ : state)
        from->DrawTo(to.get(), 0, 0);
    FramePixels(state);
}
BENCHMARK(BM_OurFrameCopy)->Arg(24)->Arg(32);

void BM_MemcpyFrame(benchmark::State& state)
{
    const size_t cb = size_t(PitchOf(kFrameWidth, int(state.range(0)))) * kFrameHeight;
    std::vector<BYTE> from(cb, 1), to(cb);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), cb);
        benchmark::ClobberMemory();
    }
    FramePixels(state);
}
BENCHMARK(BM_MemcpyFrame)->Arg(24)->Arg(32);

} // namespace
