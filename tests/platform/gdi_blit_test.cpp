#include <gtest/gtest.h>

#include <vector>

#include "gdi_support.h"
#include "windows.h"

namespace {

const DWORD k555[3] = {0x7C00, 0x3E0, 0x1F};
const DWORD k565[3] = {0xF800, 0x7E0, 0x1F};

// A source whose pixels are the test table's sixteen colours, one per column.
struct Swatches {
    TestDib indexed{16, 2, 8, TestTable(256)};
    Swatches()
    {
        for (int x = 0; x < 16; ++x)
            for (int y = 0; y < 2; ++y)
                indexed.SetRaw(x, y, uint32_t(x));
    }
};

uint32_t Rgb(const RGBQUAD& q)
{
    return uint32_t(q.rgbRed) << 16 | q.rgbGreen << 8 | q.rgbBlue;
}

} // namespace

TEST(BitBlt, IndexedToEveryDirectDepthIsPixelExact)
{
    Swatches src;
    const auto table = TestTable(16);
    TestDib d555(16, 2, 16, {}, k555), d565(16, 2, 16, {}, k565), d24(16, 2, 24), d32(16, 2, 32);
    for (const TestDib* d : {&d555, &d565, &d24, &d32})
        ASSERT_TRUE(BitBlt(d->Dc(), 0, 0, 16, 2, src.indexed.Dc(), 0, 0, SRCCOPY));
    for (int x = 0; x < 16; ++x) {
        const uint32_t r = table[x].rgbRed, g = table[x].rgbGreen, b = table[x].rgbBlue;
        EXPECT_EQ(d555.Raw(x, 1), (r >> 3) << 10 | (g >> 3) << 5 | b >> 3) << x;
        EXPECT_EQ(d565.Raw(x, 1), (r >> 3) << 11 | (g >> 2) << 5 | b >> 3) << x;
        EXPECT_EQ(d24.Raw(x, 1), Rgb(table[x])) << x;
        EXPECT_EQ(d32.Raw(x, 1), Rgb(table[x])) << x;
    }
}

TEST(BitBlt, SixteenBitChannelsWidenByRepeatingTheirTopBits)
{
    TestDib s555(2, 1, 16, {}, k555), s565(2, 1, 16, {}, k565), d(2, 1, 24);
    // 5-5-5 (31, 16, 1) and 5-6-5 (16, 32, 0).
    s555.SetRaw(0, 0, 31 << 10 | 16 << 5 | 1);
    s565.SetRaw(0, 0, 16 << 11 | 32 << 5 | 0);
    BitBlt(d.Dc(), 0, 0, 1, 1, s555.Dc(), 0, 0, SRCCOPY);
    BitBlt(d.Dc(), 1, 0, 1, 1, s565.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(d.Raw(0, 0), 0xFF8408u);
    EXPECT_EQ(d.Raw(1, 0), 0x848200u);
}

TEST(BitBlt, DirectDepthsRoundTripThroughEachOther)
{
    TestDib d24(64, 1, 24), d32(64, 1, 32), d555(64, 1, 16, {}, k555), d565(64, 1, 16, {}, k565), back(64, 1, 24);
    for (int x = 0; x < 64; ++x)
        d24.SetRaw(x, 0, uint32_t(x * 4) << 16 | uint32_t(255 - x * 4) << 8 | uint32_t(x * 3));
    BitBlt(d32.Dc(), 0, 0, 64, 1, d24.Dc(), 0, 0, SRCCOPY);
    BitBlt(back.Dc(), 0, 0, 64, 1, d32.Dc(), 0, 0, SRCCOPY);
    for (int x = 0; x < 64; ++x) {
        EXPECT_EQ(d32.Raw(x, 0), d24.Raw(x, 0));
        EXPECT_EQ(back.Raw(x, 0), d24.Raw(x, 0));
    }
    // 16-bit values survive a trip through 24 bits unchanged.
    BitBlt(d555.Dc(), 0, 0, 64, 1, d24.Dc(), 0, 0, SRCCOPY);
    BitBlt(d565.Dc(), 0, 0, 64, 1, d24.Dc(), 0, 0, SRCCOPY);
    TestDib again555(64, 1, 16, {}, k555), again565(64, 1, 16, {}, k565);
    BitBlt(back.Dc(), 0, 0, 64, 1, d555.Dc(), 0, 0, SRCCOPY);
    BitBlt(again555.Dc(), 0, 0, 64, 1, back.Dc(), 0, 0, SRCCOPY);
    BitBlt(back.Dc(), 0, 0, 64, 1, d565.Dc(), 0, 0, SRCCOPY);
    BitBlt(again565.Dc(), 0, 0, 64, 1, back.Dc(), 0, 0, SRCCOPY);
    // And 5-5-5 to 5-6-5 directly.
    TestDib direct565(64, 1, 16, {}, k565);
    BitBlt(direct565.Dc(), 0, 0, 64, 1, d555.Dc(), 0, 0, SRCCOPY);
    for (int x = 0; x < 64; ++x) {
        EXPECT_EQ(again555.Raw(x, 0), d555.Raw(x, 0));
        EXPECT_EQ(again565.Raw(x, 0), d565.Raw(x, 0));
        const uint32_t v = d555.Raw(x, 0), g5 = v >> 5 & 31;
        EXPECT_EQ(direct565.Raw(x, 0), (v >> 10) << 11 | (g5 << 1 | g5 >> 4) << 5 | (v & 31));
    }
}

TEST(BitBlt, DirectToIndexedTakesTheNearestTableColour)
{
    TestDib src(3, 1, 24), dst(3, 1, 8, TestTable(16));
    src.SetRaw(0, 0, 0xF08010); // nearest: (255, 128, 7), index 14
    src.SetRaw(1, 0, 0x101010); // black, index 0
    src.SetRaw(2, 0, 0x7F7F7F); // grey, index 11
    BitBlt(dst.Dc(), 0, 0, 3, 1, src.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(dst.Raw(0, 0), 14u);
    EXPECT_EQ(dst.Raw(1, 0), 0u);
    EXPECT_EQ(dst.Raw(2, 0), 11u);
}

TEST(BitBlt, IndexedToIndexedMapsThroughColours)
{
    Swatches src;
    auto reversed = TestTable(16);
    std::reverse(reversed.begin(), reversed.end());
    TestDib dst(16, 1, 8, reversed), same(16, 1, 8, TestTable(256)), four(16, 1, 4, TestTable(16));
    BitBlt(dst.Dc(), 0, 0, 16, 1, src.indexed.Dc(), 0, 0, SRCCOPY);
    BitBlt(same.Dc(), 0, 0, 16, 1, src.indexed.Dc(), 0, 0, SRCCOPY);
    BitBlt(four.Dc(), 0, 0, 16, 1, src.indexed.Dc(), 0, 0, SRCCOPY);
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(dst.Raw(x, 0), uint32_t(15 - x));
        EXPECT_EQ(same.Raw(x, 0), uint32_t(x));
        EXPECT_EQ(four.Raw(x, 0), uint32_t(x));
    }
    TestDib mono(16, 1, 1, TestTable(2));
    BitBlt(mono.Dc(), 0, 0, 16, 1, src.indexed.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(mono.Raw(0, 0), 0u);
    EXPECT_EQ(mono.Raw(1, 0), 1u);
    EXPECT_EQ(mono.Raw(5, 0), 1u); // yellow is nearer white
}

TEST(BitBlt, BottomUpAndTopDownBitmapsAgreeOnWhereRowsAre)
{
    TestDib bottomUp(2, 3, 24, {}, nullptr, false), topDown(2, 3, 24);
    bottomUp.SetRaw(1, 0, 0x123456); // top row
    BitBlt(topDown.Dc(), 0, 0, 2, 3, bottomUp.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(topDown.Raw(1, 0), 0x123456u);
    EXPECT_EQ(topDown.Raw(1, 2), 0u);
    // Raw storage of the bottom-up bitmap keeps the top row last.
    DIBSECTION ds{};
    GetObject(bottomUp.Bitmap(), sizeof ds, &ds);
    const BYTE* last = static_cast<BYTE*>(ds.dsBm.bmBits) + 2 * ds.dsBm.bmWidthBytes;
    EXPECT_EQ(last[3], 0x56);
}

TEST(BitBlt, ClipsToBothBitmapsAndTheClipRectangle)
{
    TestDib src(10, 10, 8, TestTable(256)), dst(10, 10, 8, TestTable(256));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            src.SetRaw(x, y, uint32_t(y * 10 + x + 1));
    // Left of the destination: source columns 3..9 land on 0..6.
    BitBlt(dst.Dc(), -3, 0, 10, 1, src.Dc(), 0, 0, SRCCOPY);
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(dst.Raw(x, 0), uint32_t(x + 4));
    EXPECT_EQ(dst.Raw(7, 0), 0u);
    // Source rectangle hanging off the source's edge leaves the rest untouched.
    BitBlt(dst.Dc(), 0, 1, 10, 1, src.Dc(), 5, 0, SRCCOPY);
    EXPECT_EQ(dst.Raw(4, 1), 10u);
    EXPECT_EQ(dst.Raw(5, 1), 0u);
    // The clip rectangle limits the destination.
    IntersectClipRect(dst.Dc(), 2, 2, 4, 4);
    BitBlt(dst.Dc(), 0, 0, 10, 10, src.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(dst.Raw(2, 2), 23u);
    EXPECT_EQ(dst.Raw(3, 3), 34u);
    EXPECT_EQ(dst.Raw(4, 3), 0u);
    EXPECT_EQ(dst.Raw(1, 2), 0u);
    SelectClipRgn(dst.Dc(), nullptr);
    HRGN region = CreateRectRgn(9, 9, 20, 20);
    EXPECT_EQ(SelectClipRgn(dst.Dc(), region), SIMPLEREGION);
    DeleteObject(region);
    BitBlt(dst.Dc(), 0, 0, 10, 10, src.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(dst.Raw(9, 9), 100u);
    EXPECT_EQ(dst.Raw(8, 9), 0u);
    EXPECT_EQ(IntersectClipRect(dst.Dc(), 0, 0, 5, 5), NULLREGION);
    // Huge and negative coordinates are harmless.
    SelectClipRgn(dst.Dc(), nullptr);
    EXPECT_TRUE(BitBlt(dst.Dc(), INT32_MAX - 5, -100000, 100, 100, src.Dc(), -50, INT32_MIN + 10, SRCCOPY));
}

TEST(BitBlt, OverlappingCopyWithinOneBitmapActsAtOnce)
{
    TestDib dib(8, 1, 8, TestTable(256));
    for (int x = 0; x < 8; ++x)
        dib.SetRaw(x, 0, uint32_t(x + 1));
    BitBlt(dib.Dc(), 2, 0, 6, 1, dib.Dc(), 0, 0, SRCCOPY);
    const uint32_t expected[8] = {1, 2, 1, 2, 3, 4, 5, 6};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(dib.Raw(x, 0), expected[x]);
}

TEST(TransparentBlt, KeyColouredPixelsLeaveTheDestinationAlone)
{
    // An indexed source with the key colour at two indices, and direct sources of each depth.
    auto table = TestTable(256);
    table[20] = table[4]; // a second blue
    TestDib s8(6, 1, 8, table), s24(6, 1, 24), s555(6, 1, 16, {}, k555), s32(6, 1, 32);
    const uint32_t pattern8[6] = {4, 2, 20, 3, 4, 1};
    for (int x = 0; x < 6; ++x) {
        s8.SetRaw(x, 0, pattern8[x]);
        const bool key = pattern8[x] == 4 || pattern8[x] == 20;
        s24.SetRaw(x, 0, key ? 0x0000FF : 0x00FF00 + x);
        s32.SetRaw(x, 0, key ? 0x0000FF : 0x00FF00 + x);
        s555.SetRaw(x, 0, key ? 0x1F : 0x3E0);
    }
    for (const TestDib* src : {&s8, &s24, &s555, &s32}) {
        TestDib dst(6, 1, 24);
        dst.FillRaw(0xABCDEF);
        ASSERT_TRUE(TransparentBlt(dst.Dc(), 0, 0, 6, 1, src->Dc(), 0, 0, 6, 1, RGB(0, 0, 255)));
        for (int x = 0; x < 6; ++x) {
            const bool key = pattern8[x] == 4 || pattern8[x] == 20;
            if (key)
                EXPECT_EQ(dst.Raw(x, 0), 0xABCDEFu) << x;
            else
                EXPECT_NE(dst.Raw(x, 0), 0xABCDEFu) << x;
        }
    }
    // Stretched, the key still holds.
    TestDib big(12, 2, 8, TestTable(256));
    big.FillRaw(7);
    TransparentBlt(big.Dc(), 0, 0, 12, 2, s8.Dc(), 0, 0, 6, 1, RGB(0, 0, 255));
    EXPECT_EQ(big.Raw(0, 1), 7u);
    EXPECT_EQ(big.Raw(1, 0), 7u);
    EXPECT_EQ(big.Raw(2, 1), 2u); // red
    EXPECT_EQ(big.Raw(4, 0), 7u);
}

TEST(StretchBlt, DoublesAndHalvesByRepeatingAndDroppingPixels)
{
    TestDib src(4, 4, 24), twice(8, 8, 24), half(2, 2, 24);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            src.SetRaw(x, y, uint32_t(y * 16 + x));
    ASSERT_TRUE(StretchBlt(twice.Dc(), 0, 0, 8, 8, src.Dc(), 0, 0, 4, 4, SRCCOPY));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(twice.Raw(x, y), uint32_t(y / 2 * 16 + x / 2)) << x << "," << y;
    ASSERT_TRUE(StretchBlt(half.Dc(), 0, 0, 2, 2, src.Dc(), 0, 0, 4, 4, SRCCOPY));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(half.Raw(x, y), uint32_t(y * 2 * 16 + x * 2));
    EXPECT_FALSE(StretchBlt(half.Dc(), 0, 0, -2, 2, src.Dc(), 0, 0, 4, 4, SRCCOPY));
}

TEST(PatBlt, FillsWithTheBrushOrBlackOrWhite)
{
    TestDib dib(4, 1, 8, TestTable(256));
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(dib.Dc(), red);
    EXPECT_TRUE(PatBlt(dib.Dc(), 0, 0, 2, 1, PATCOPY));
    EXPECT_TRUE(PatBlt(dib.Dc(), 4, 0, -1, 1, WHITENESS));
    EXPECT_EQ(dib.Raw(0, 0), 2u);
    EXPECT_EQ(dib.Raw(1, 0), 2u);
    EXPECT_EQ(dib.Raw(2, 0), 0u);
    EXPECT_EQ(dib.Raw(3, 0), 1u);
    EXPECT_TRUE(BitBlt(dib.Dc(), 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(dib.Raw(0, 0), 0u);
    EXPECT_FALSE(PatBlt(dib.Dc(), 0, 0, 1, 1, 0x00660046));
    SelectObject(dib.Dc(), old);
    DeleteObject(red);
}
