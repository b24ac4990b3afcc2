#include "gdi_support.h"

#include "windows.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

struct Format {
    int bits;
    const DWORD* masks = nullptr;
    int tableSize = 0; // of the test table, for indexed formats
};
const Format kIdx8{8, nullptr, 16}, kIdx4{4, nullptr, 16}, kMono{1, nullptr, 2}, k16{16, k555}, k16x565{16, k565}, k24{24}, k32{32};

TestDib Make(const Format& f, int width, int height = 1)
{
    return TestDib(width, height, f.bits, f.tableSize ? TestTable(f.tableSize) : std::vector<RGBQUAD>{}, f.masks);
}

std::vector<uint32_t> Row(const TestDib& dib, int y = 0)
{
    return dib.Pixels(y, y + 1);
}

void Copy(const TestDib& dst, const TestDib& src)
{
    ASSERT_TRUE(BitBlt(dst.Dc(), 0, 0, src.Width(), src.Height(), src.Dc(), 0, 0, SRCCOPY));
}

} // namespace

TEST(BitBlt, ConvertsEachPixelBetweenDepths)
{
    // Indexed sources use the test table: 12 is (200, 100, 50), 14 is (255, 128, 7).
    const std::tuple<Format, uint32_t, Format, uint32_t> cases[] = {
        {kIdx8, 14, k16, 31 << 10 | 16 << 5 | 0},
        {kIdx8, 12, k16x565, 25 << 11 | 25 << 5 | 6},
        {kIdx8, 12, k24, 0xC86432},
        {kIdx8, 14, k32, 0xFF8007},
        {kIdx8, 14, kIdx4, 14},
        // Narrow channels widen by repeating their top bits.
        {k16, 31 << 10 | 16 << 5 | 1, k24, 0xFF8408},
        {k16x565, 16 << 11 | 32 << 5 | 0, k24, 0x848200},
        {k16, 31 << 10 | 16 << 5 | 1, k16x565, 31 << 11 | 33 << 5 | 1},
        {k24, 0xC86432, k16, 25 << 10 | 12 << 5 | 6},
        {k24, 0xABCDEF, k32, 0xABCDEF},
        {k32, 0xFFABCDEF, k24, 0xABCDEF},
        // Indexed targets take the nearest table colour.
        {k24, 0xF08010, kIdx8, 14},
        {k24, 0x101010, kIdx8, 0},
        {k24, 0x7F7F7F, kIdx8, 11},
        {k16x565, 0x1F, kIdx8, 4},
    };
    for (const auto& [from, in, to, out] : cases) {
        TestDib src = Make(from, 2), dst = Make(to, 2);
        src.FillRaw(in);
        Copy(dst, src);
        EXPECT_EQ(Row(dst), (std::vector<uint32_t>{out, out})) << from.bits << " -> " << to.bits << " of " << in;
    }
}

TEST(BitBlt, WholeRowsKeepEveryPixelInItsPlace)
{
    // The sixteen table colours, one per column, through every depth and back.
    TestDib swatches = Make({8, nullptr, 256}, 16), back = Make(kIdx8, 16), mono = Make(kMono, 16);
    for (int x = 0; x < 16; ++x)
        swatches.SetRaw(x, 0, uint32_t(x));
    for (const Format& f : {kIdx4, k16, k16x565, k24, k32, Format{8, nullptr, 256}}) {
        TestDib middle = Make(f, 16);
        Copy(middle, swatches);
        Copy(back, middle);
        EXPECT_EQ(Row(back), Row(swatches)) << f.bits;
    }
    Copy(mono, swatches);
    EXPECT_EQ(Row(mono), (std::vector<uint32_t>{0, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1, 0, 0, 1, 1}));
    auto reversed = TestTable(16);
    std::reverse(reversed.begin(), reversed.end());
    TestDib flipped(16, 1, 8, reversed);
    Copy(flipped, swatches);
    EXPECT_EQ(Row(flipped), (std::vector<uint32_t>{15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
}

TEST(BitBlt, KeepsRowsInPlaceBottomUpOrTopDownAndClipsToBothBitmapsAndTheClipRectangle)
{
    TestDib bottomUp(2, 3, 24, {}, nullptr, false), topDown(2, 3, 24);
    bottomUp.SetRaw(1, 0, 0x123456); // the top row, stored last
    Copy(topDown, bottomUp);
    EXPECT_EQ(topDown.Pixels(), (std::vector<uint32_t>{0, 0x123456, 0, 0, 0, 0}));
    TestDib src(10, 10, 8, TestTable(256)), dst(10, 10, 8, TestTable(256));
    for (int i = 0; i < 100; ++i)
        src.SetRaw(i % 10, i / 10, uint32_t(i + 1));
    // Left of the destination: source columns 3..9 land on 0..6.
    BitBlt(dst.Dc(), -3, 0, 10, 1, src.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(Row(dst), (std::vector<uint32_t>{4, 5, 6, 7, 8, 9, 10, 0, 0, 0}));
    // Source rectangle hanging off the source's edge leaves the rest untouched.
    BitBlt(dst.Dc(), 0, 1, 10, 1, src.Dc(), 5, 0, SRCCOPY);
    EXPECT_EQ(Row(dst, 1), (std::vector<uint32_t>{6, 7, 8, 9, 10, 0, 0, 0, 0, 0}));
    IntersectClipRect(dst.Dc(), 2, 2, 4, 4);
    BitBlt(dst.Dc(), 0, 0, 10, 10, src.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(Row(dst, 2), (std::vector<uint32_t>{0, 0, 23, 24, 0, 0, 0, 0, 0, 0}));
    HRGN region = CreateRectRgn(9, 9, 20, 20);
    EXPECT_EQ(SelectClipRgn(dst.Dc(), region), SIMPLEREGION);
    DeleteObject(region);
    BitBlt(dst.Dc(), 0, 0, 10, 10, src.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(std::vector<uint32_t>({dst.Raw(2, 4), dst.Raw(9, 9), dst.Raw(8, 9), uint32_t(IntersectClipRect(dst.Dc(), 0, 0, 5, 5))}),
              std::vector<uint32_t>({0, 100, 0, NULLREGION}));
    // Huge and negative coordinates are harmless.
    SelectClipRgn(dst.Dc(), nullptr);
    EXPECT_TRUE(BitBlt(dst.Dc(), INT32_MAX - 5, -100000, 100, 100, src.Dc(), -50, INT32_MIN + 10, SRCCOPY));
    // Overlapping rectangles of one bitmap copy as if at once.
    BitBlt(src.Dc(), 2, 0, 6, 1, src.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(Row(src), (std::vector<uint32_t>{1, 2, 1, 2, 3, 4, 5, 6, 9, 10}));
}

TEST(TransparentBlt, KeyColouredPixelsLeaveTheDestinationAlone)
{
    // An indexed source with the key colour at two indices, and direct sources of each depth.
    auto table = TestTable(256);
    table[20] = table[4]; // a second blue
    TestDib s8(6, 1, 8, table), s24(6, 1, 24), s555(6, 1, 16, {}, k555), s32(6, 1, 32);
    const uint32_t pattern8[6] = {4, 2, 20, 3, 4, 1};
    const bool keyed[6] = {true, false, true, false, true, false};
    for (int x = 0; x < 6; ++x) {
        s8.SetRaw(x, 0, pattern8[x]);
        for (TestDib* direct : {&s24, &s32})
            direct->SetRaw(x, 0, keyed[x] ? 0x0000FF : 0x00FF00 + x);
        s555.SetRaw(x, 0, keyed[x] ? 0x1F : 0x3E0);
    }
    for (const TestDib* src : {&s8, &s24, &s555, &s32}) {
        TestDib dst(6, 1, 24);
        dst.FillRaw(0xABCDEF);
        ASSERT_TRUE(TransparentBlt(dst.Dc(), 0, 0, 6, 1, src->Dc(), 0, 0, 6, 1, RGB(0, 0, 255)));
        std::vector<bool> kept;
        for (uint32_t pixel : dst.Pixels())
            kept.push_back(pixel == 0xABCDEF);
        EXPECT_EQ(kept, std::vector<bool>(keyed, keyed + 6));
    }
    // Stretched, the key still holds.
    TestDib big(12, 2, 8, TestTable(256));
    big.FillRaw(7);
    TransparentBlt(big.Dc(), 0, 0, 12, 2, s8.Dc(), 0, 0, 6, 1, RGB(0, 0, 255));
    EXPECT_EQ(big.Pixels(), (std::vector<uint32_t>{7, 7, 2, 2, 7, 7, 3, 3, 7, 7, 1, 1, 7, 7, 2, 2, 7, 7, 3, 3, 7, 7, 1, 1}));
}

TEST(StretchBlt, DoublesAndHalvesByRepeatingAndDroppingPixels)
{
    TestDib src(4, 4, 24), twice(8, 8, 24), half(2, 2, 24);
    for (int i = 0; i < 16; ++i)
        src.SetRaw(i % 4, i / 4, uint32_t(i / 4 * 16 + i % 4));
    ASSERT_TRUE(StretchBlt(twice.Dc(), 0, 0, 8, 8, src.Dc(), 0, 0, 4, 4, SRCCOPY)
                && StretchBlt(half.Dc(), 0, 0, 2, 2, src.Dc(), 0, 0, 4, 4, SRCCOPY));
    std::vector<uint32_t> doubled;
    for (uint32_t i = 0; i < 64; ++i)
        doubled.push_back(i / 16 * 16 + i % 8 / 2);
    EXPECT_EQ(twice.Pixels(), doubled);
    EXPECT_EQ(half.Pixels(), (std::vector<uint32_t>{0, 2, 32, 34}));
    EXPECT_FALSE(StretchBlt(half.Dc(), 0, 0, -2, 2, src.Dc(), 0, 0, 4, 4, SRCCOPY));
}
