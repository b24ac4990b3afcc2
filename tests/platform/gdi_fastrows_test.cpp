// The whole-row blits, with and without the wide vector loops, against the per-pixel path over
// random pictures: every pair of depths, clipped rectangles, palettes with repeated colours,
// keys that change between blits.
#include "gdi32/blitrows.h"
#include "gdi_support.h"

#include "windows.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <vector>

namespace {

const DWORD kWide[3] = {0x3FF00000, 0xFFC00, 0x3FF}; // 32 bits of 10-bit channels

struct Format {
    const char* name;
    int bitCount;
    const DWORD* masks;
};

const Format kFormats[] = {
    {"8", 8, nullptr}, {"555", 16, k555}, {"565", 16, k565}, {"24", 24, nullptr}, {"32", 32, nullptr}, {"32wide", 32, kWide},
};

// Rows of two whole 64-pixel steps and a part; an odd width leaves padding at the end of 24-bit rows.
constexpr int kWidth = 141, kHeight = 11;
constexpr COLORREF kKeys[] = {RGB(10, 20, 30), RGB(200, 0, 90)};

// Random colours, with both keys present twice so every index of a key colour is keyed.
std::vector<RGBQUAD> Palette(std::mt19937& rng)
{
    std::vector<RGBQUAD> table(256);
    for (RGBQUAD& q : table)
        q = {BYTE(rng()), BYTE(rng()), BYTE(rng()), 0};
    for (int i = 0; i < 2; ++i)
        table[7 + i] = table[200 + i] = {GetBValue(kKeys[i]), GetGValue(kKeys[i]), GetRValue(kKeys[i]), 0};
    return table;
}

std::unique_ptr<TestDib> Make(const Format& f, const std::vector<RGBQUAD>& palette, bool topDown)
{
    return std::make_unique<TestDib>(kWidth, kHeight, f.bitCount, f.bitCount == 8 ? palette : std::vector<RGBQUAD>{}, f.masks, topDown);
}

// Random pixels, a third of them one of the keys as this format stores it.
void Scatter(TestDib& dib, const Format& f, std::mt19937& rng)
{
    // Indices 7 and 8 hold the keys; other depths store them as a 1 x 1 fill shows.
    uint32_t keyValue[2] = {7, 8};
    for (int i = 0; f.bitCount != 8 && i < 2; ++i) {
        TestDib one(1, 1, f.bitCount, {}, f.masks);
        HBRUSH brush = CreateSolidBrush(kKeys[i]);
        const RECT r{0, 0, 1, 1};
        FillRect(one.Dc(), &r, brush);
        DeleteObject(brush);
        keyValue[i] = one.Raw(0, 0);
    }
    const uint32_t mask = f.bitCount == 32 ? 0xFFFFFFFF : (1u << f.bitCount) - 1;
    for (int i = 0; i < kWidth * kHeight; ++i)
        dib.SetRaw(i % kWidth, i / kWidth,
                   rng() % 3 ? uint32_t(rng()) & mask : keyValue[rng() % 2] | (f.bitCount == 32 ? uint32_t(rng()) << 24 : 0));
}

struct Blit {
    int dx, dy, w, h, sx, sy;
    int key; // index into kKeys, or -1
};

// The same blits from src onto equal destinations of format df: through the wide loops where
// the processor has them, through the portable ones, and through the per-pixel path.
void ExpectSamePixels(const TestDib& src, const Format& df, bool topDown, const std::vector<Blit>& blits, std::mt19937& rng)
{
    const std::vector<RGBQUAD> dstPalette = Palette(rng);
    std::unique_ptr<TestDib> dst[3] = {Make(df, dstPalette, topDown), Make(df, dstPalette, topDown), Make(df, dstPalette, topDown)};
    Scatter(*dst[0], df, rng);
    for (int path = 1; path < 3; ++path)
        BitBlt(dst[path]->Dc(), 0, 0, kWidth, kHeight, dst[0]->Dc(), 0, 0, SRCCOPY);
    for (int path = 0; path < 3; ++path) {
        SetWideRows(path == 0);
        SetPlainBlits(path == 2);
        for (const Blit& b : blits) {
            if (b.key < 0)
                BitBlt(dst[path]->Dc(), b.dx, b.dy, b.w, b.h, src.Dc(), b.sx, b.sy, SRCCOPY);
            else
                TransparentBlt(dst[path]->Dc(), b.dx, b.dy, b.w, b.h, src.Dc(), b.sx, b.sy, b.w, b.h, kKeys[b.key]);
        }
    }
    SetWideRows(true);
    SetPlainBlits(false);
    EXPECT_EQ(dst[0]->Pixels(), dst[2]->Pixels()) << df.name << " wide";
    EXPECT_EQ(dst[1]->Pixels(), dst[2]->Pixels()) << df.name;
}

} // namespace

TEST(FastRows, MatchThePerPixelPathForEveryPairOfDepths)
{
    std::mt19937 rng(23);
    for (const Format& sf : kFormats) {
        const bool topDown = rng() % 2;
        auto src = Make(sf, Palette(rng), topDown);
        Scatter(*src, sf, rng);
        for (const Format& df : kFormats) {
            // Whole pictures, then clipped rectangles on every side, keyed by turns with each key.
            std::vector<Blit> blits = {{0, 0, kWidth, kHeight, 0, 0, -1}, {0, 0, kWidth, kHeight, 0, 0, 0}};
            for (int i = 0; i < 12; ++i) {
                const int key = int(rng() % 3) - 1;
                blits.push_back({int(rng() % (kWidth + 8)) - 8, int(rng() % (kHeight + 4)) - 4, int(rng() % kWidth) + 1,
                                 int(rng() % kHeight) + 1, int(rng() % (kWidth + 8)) - 8, int(rng() % (kHeight + 4)) - 4, key});
            }
            SCOPED_TRACE(sf.name);
            ExpectSamePixels(*src, df, !topDown, blits, rng);
        }
    }
    // One source drawn by turns into destinations of different formats and palettes: a table
    // kept for the previous destination must not be reused.
    auto src = Make(kFormats[0], Palette(rng), true);
    Scatter(*src, kFormats[0], rng);
    for (int round = 0; round < 2; ++round)
        for (const Format& df : kFormats)
            ExpectSamePixels(*src, df, true, {{0, 0, kWidth, kHeight, 0, 0, round}}, rng);
}
