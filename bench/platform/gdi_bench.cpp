// Blits against the bound set by memory bandwidth: a plain memcpy of the destination's bytes.
#include "windows.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

namespace {

constexpr int kFrameWidth = 760, kFrameHeight = 520;
constexpr int kSpriteWidth = 85, kSpriteHeight = 150;

struct Bitmap {
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    BYTE* bits = nullptr;
    size_t bytes = 0;

    Bitmap(int width, int height, int bitCount)
    {
        std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
        auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
        bmi->bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, WORD(bitCount), BI_RGB, 0, 0, 0, 0, 0};
        for (int i = 0; i < 256; ++i)
            bmi->bmiColors[i] = {BYTE(i), BYTE(i * 3), BYTE(i * 7), 0};
        void* pixels = nullptr;
        bitmap = CreateDIBSection(nullptr, bmi, DIB_RGB_COLORS, &pixels, nullptr, 0);
        bits = static_cast<BYTE*>(pixels);
        bytes = size_t((width * bitCount + 31) / 32 * 4) * height;
        for (size_t i = 0; i < bytes; ++i)
            bits[i] = BYTE(i * 31 + i / 977);
        dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, bitmap);
    }
    ~Bitmap()
    {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
};

void Memcpy(benchmark::State& state, size_t bytes)
{
    std::vector<BYTE> src(bytes, 1), dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

void FrameBlit(benchmark::State& state, int sourceBits)
{
    Bitmap src(kFrameWidth, kFrameHeight, sourceBits), dst(kFrameWidth, kFrameHeight, 32);
    for (auto _ : state) {
        BitBlt(dst.dc, 0, 0, kFrameWidth, kFrameHeight, src.dc, 0, 0, SRCCOPY);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(dst.bytes));
}

void BM_Memcpy_Frame32(benchmark::State& state)
{
    Memcpy(state, size_t(kFrameWidth) * kFrameHeight * 4);
}
void BM_BitBlt_Frame8To32(benchmark::State& state)
{
    FrameBlit(state, 8);
}
void BM_BitBlt_Frame24To32(benchmark::State& state)
{
    FrameBlit(state, 24);
}

void BM_Memcpy_Sprite32(benchmark::State& state)
{
    Memcpy(state, size_t(kSpriteWidth) * kSpriteHeight * 4);
}

// A tile-sized sprite whose outer third is the key colour, onto a 32-bit frame.
void BM_TransparentBlt_Sprite(benchmark::State& state)
{
    Bitmap sprite(kSpriteWidth, kSpriteHeight, int(state.range(0))), dst(kFrameWidth, kFrameHeight, 32);
    const int pitch = int(sprite.bytes / kSpriteHeight), bpp = int(state.range(0)) / 8;
    for (int y = 0; y < kSpriteHeight; ++y)
        for (int x = 0; x < kSpriteWidth; ++x)
            if (x < kSpriteWidth / 6 || x >= kSpriteWidth * 5 / 6)
                std::memset(sprite.bits + y * pitch + x * bpp, 0, size_t(bpp)); // black is the key
    for (auto _ : state) {
        TransparentBlt(dst.dc, 100, 100, kSpriteWidth, kSpriteHeight, sprite.dc, 0, 0, kSpriteWidth, kSpriteHeight, RGB(0, 0, 0));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kSpriteWidth * kSpriteHeight * 4);
}

} // namespace

BENCHMARK(BM_Memcpy_Frame32);
BENCHMARK(BM_BitBlt_Frame8To32);
BENCHMARK(BM_BitBlt_Frame24To32);
BENCHMARK(BM_Memcpy_Sprite32);
BENCHMARK(BM_TransparentBlt_Sprite)->Arg(8)->Arg(24)->Arg(32);
