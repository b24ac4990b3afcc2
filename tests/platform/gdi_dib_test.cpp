#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gdi_support.h"
#include "windows.h"

namespace {

BITMAPINFO Header(LONG width, LONG height, WORD bitCount, DWORD compression = BI_RGB)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = bitCount;
    bmi.bmiHeader.biCompression = compression;
    return bmi;
}

} // namespace

TEST(DibSection, EveryDepthReportsItsGeometry)
{
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (bool topDown : {true, false}) {
            BITMAPINFO bmi = Header(13, topDown ? -7 : 7, WORD(bits));
            bmi.bmiHeader.biClrUsed = bits <= 8 ? 1 : 0;
            void* pixels = nullptr;
            HBITMAP bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pixels, nullptr, 0);
            ASSERT_NE(bitmap, nullptr) << bits;
            DIBSECTION ds{};
            ASSERT_EQ(GetObject(bitmap, sizeof ds, &ds), int(sizeof ds));
            EXPECT_EQ(ds.dsBm.bmWidth, 13);
            EXPECT_EQ(ds.dsBm.bmHeight, 7);
            EXPECT_EQ(ds.dsBm.bmWidthBytes, (13 * bits + 31) / 32 * 4);
            EXPECT_EQ(ds.dsBm.bmBitsPixel, bits);
            EXPECT_EQ(ds.dsBm.bmBits, pixels);
            EXPECT_EQ(ds.dsBmih.biHeight, topDown ? -7 : 7);
            const auto* bytes = static_cast<const BYTE*>(pixels);
            EXPECT_TRUE(std::all_of(bytes, bytes + ds.dsBm.bmWidthBytes * 7, [](BYTE b) { return b == 0; }));
            BITMAP bm{};
            EXPECT_EQ(GetObject(bitmap, sizeof bm, &bm), int(sizeof bm));
            EXPECT_EQ(bm.bmHeight, 7);
            EXPECT_TRUE(DeleteObject(bitmap));
        }
    }
}

TEST(DibSection, BitFieldMasksAreKept)
{
    struct {
        WORD bits;
        DWORD masks[3];
    } cases[] = {{16, {0x7C00, 0x3E0, 0x1F}}, {16, {0xF800, 0x7E0, 0x1F}}, {32, {0x3FF00000, 0xFFC00, 0x3FF}}};
    for (const auto& c : cases) {
        std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 12);
        BITMAPINFO bmi = Header(4, -4, c.bits, BI_BITFIELDS);
        std::memcpy(info.data(), &bmi.bmiHeader, sizeof bmi.bmiHeader);
        std::memcpy(info.data() + sizeof bmi.bmiHeader, c.masks, 12);
        HBITMAP bitmap =
            CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, nullptr, nullptr, 0);
        ASSERT_NE(bitmap, nullptr);
        DIBSECTION ds{};
        GetObject(bitmap, sizeof ds, &ds);
        EXPECT_EQ(0, std::memcmp(ds.dsBitfields, c.masks, 12));
        DeleteObject(bitmap);
    }
}

TEST(DibSection, BadHeadersAreRefused)
{
    std::vector<BITMAPINFO> bad = {
        Header(0, 4, 8),  Header(-4, 4, 8), Header(4, 0, 8),          Header(4, 4, 3),
        Header(4, 4, 2),  Header(4, 4, 24, BI_BITFIELDS),             Header(4, 4, 8, BI_BITFIELDS),
        Header(100000, 100000, 32), Header(4, 4, 8, 1 /* run-length */),
    };
    BITMAPINFO small = Header(4, 4, 8);
    small.bmiHeader.biSize = 12;
    bad.push_back(small);
    BITMAPINFO planes = Header(4, 4, 8);
    planes.bmiHeader.biPlanes = 2;
    bad.push_back(planes);
    for (const BITMAPINFO& bmi : bad) {
        void* bits = reinterpret_cast<void*>(1);
        EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
        EXPECT_EQ(bits, nullptr);
    }
    BITMAPINFO good = Header(4, 4, 8);
    EXPECT_EQ(CreateDIBSection(nullptr, &good, DIB_PAL_COLORS, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

TEST(DibSection, OverlappingOrGappedMasksAreRefused)
{
    const DWORD badMasks[][3] = {{0, 0x3E0, 0x1F}, {0x7C00, 0x7E0, 0x1F}, {0x7C00, 0x3E0, 0x15}, {0x7C0000, 0x3E0, 0x1F}};
    for (const auto& masks : badMasks) {
        std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 12);
        BITMAPINFO bmi = Header(4, 4, 16, BI_BITFIELDS);
        std::memcpy(info.data(), &bmi.bmiHeader, sizeof bmi.bmiHeader);
        std::memcpy(info.data() + sizeof bmi.bmiHeader, masks, 12);
        EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, nullptr,
                                   nullptr, 0),
                  nullptr);
    }
}

TEST(GdiHandles, DeletedAndForeignHandlesFailWithoutHarm)
{
    BITMAPINFO bmi = Header(2, 2, 32);
    HBITMAP bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, nullptr, nullptr, 0);
    ASSERT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    BITMAP bm;
    EXPECT_EQ(GetObject(bitmap, sizeof bm, &bm), 0);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
    const auto bogus = reinterpret_cast<HDC>(uintptr_t{0x1234});
    EXPECT_EQ(SelectObject(bogus, GetStockObject(WHITE_BRUSH)), nullptr);
    EXPECT_FALSE(BitBlt(bogus, 0, 0, 1, 1, dc, 0, 0, SRCCOPY));
    EXPECT_EQ(SetTextColor(bogus, 0), CLR_INVALID);
    EXPECT_EQ(CreateCompatibleDC(bogus), nullptr);
    EXPECT_FALSE(DeleteObject(dc)); // a DC is not an object DeleteObject takes
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 0);
}

TEST(GdiHandles, SelectedBitmapStaysInOneDcAndCannotBeDeleted)
{
    TestDib dib(4, 4, 8, TestTable(256));
    HDC other = CreateCompatibleDC(dib.Dc());
    EXPECT_EQ(SelectObject(other, dib.Bitmap()), nullptr);
    EXPECT_FALSE(DeleteObject(dib.Bitmap()));
    // Reselecting into its own DC is fine and returns itself.
    EXPECT_EQ(SelectObject(dib.Dc(), dib.Bitmap()), dib.Bitmap());
    DeleteDC(other);
}

TEST(GdiHandles, SelectObjectReturnsThePreviousObjectOfItsKind)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(4, 5, 6));
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT)), GetStockObject(SYSTEM_FONT));
    EXPECT_FALSE(DeleteObject(brush)); // still selected
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_BRUSH)), brush);
    EXPECT_TRUE(DeleteObject(brush));
    LOGPEN lp{};
    EXPECT_EQ(GetObject(pen, sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnColor, RGB(4, 5, 6));
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH))); // stock objects ignore deletion
    LOGBRUSH lb{};
    GetObject(GetStockObject(WHITE_BRUSH), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, RGB(255, 255, 255));
}

TEST(Palettes, SystemPaletteHoldsTheStaticColoursAtBothEnds)
{
    HDC screen = GetDC(nullptr);
    PALETTEENTRY entries[256];
    ASSERT_EQ(GetSystemPaletteEntries(screen, 0, 256, entries), 256u);
    EXPECT_EQ(entries[0].peRed, 0);
    EXPECT_EQ(entries[7].peRed, 192);
    EXPECT_EQ(entries[9].peBlue, 240);
    EXPECT_EQ(entries[248].peGreen, 128);
    EXPECT_EQ(entries[249].peRed, 255);
    EXPECT_EQ(entries[249].peGreen, 0);
    EXPECT_EQ(entries[255].peBlue, 255);
    EXPECT_EQ(GetSystemPaletteEntries(screen, 250, 20, entries), 6u);
    EXPECT_EQ(entries[5].peRed, 255);
    EXPECT_EQ(GetSystemPaletteEntries(screen, 300, 2, entries), 0u);
    ReleaseDC(nullptr, screen);
}

TEST(Palettes, SelectRealizeAndPaletteIndexColours)
{
    std::vector<BYTE> storage(sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(storage.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 3;
    lp->palPalEntry[0] = {10, 20, 30, 0};
    lp->palPalEntry[1] = {40, 50, 60, 0};
    lp->palPalEntry[2] = {70, 80, 90, 0};
    HPALETTE palette = CreatePalette(lp);
    ASSERT_NE(palette, nullptr);
    lp->palVersion = 0x200;
    EXPECT_EQ(CreatePalette(lp), nullptr);

    TestDib dib(2, 1, 24);
    HPALETTE old = SelectPalette(dib.Dc(), palette, FALSE);
    EXPECT_EQ(old, GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(RealizePalette(dib.Dc()), 3u);
    HBRUSH brush = CreateSolidBrush(PALETTEINDEX(1));
    RECT r{0, 0, 2, 1};
    FillRect(dib.Dc(), &r, brush);
    EXPECT_EQ(dib.Raw(0, 0), 40u << 16 | 50u << 8 | 60u);
    EXPECT_EQ(SelectPalette(dib.Dc(), old, FALSE), palette);
    DeleteObject(brush);
    EXPECT_TRUE(DeleteObject(palette));
}

TEST(DeviceCaps, ScreenMetricsComeFromTheDisplay)
{
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    EXPECT_GT(GetDeviceCaps(screen, HORZRES), 0);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(GetDeviceCaps(screen, VERTRES), GetSystemMetrics(SM_CYSCREEN));
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    EXPECT_TRUE(bits == 8 || bits == 16 || bits == 32) << bits;
    EXPECT_TRUE(GetDeviceCaps(screen, RASTERCAPS) & RC_STRETCHBLT);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
}
