#include "gdi_support.h"
#include "last_error.h"

#include "windows.h"

#include <cstring>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

// A header followed by room for the masks or colour table.
struct Info {
    BITMAPINFOHEADER header;
    DWORD masks[3] = {};
};

Info Header(LONG width, LONG height, WORD bitCount, DWORD compression = BI_RGB, std::vector<DWORD> masks = {},
            DWORD size = sizeof(BITMAPINFOHEADER), WORD planes = 1)
{
    Info info{{size, width, height, planes, bitCount, compression, 0, 0, 0, 0, 0}, {}};
    std::copy(masks.begin(), masks.end(), info.masks);
    return info;
}

HBITMAP Create(const Info& info, void** bits = nullptr)
{
    return CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, bits, nullptr, 0);
}

} // namespace

TEST(DibSection, EveryDepthReportsItsGeometryAndHeadersAndMasksAreCheckedAndMasksKept)
{
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (LONG height : {-7, 7}) {
            Info info = Header(13, height, WORD(bits));
            info.header.biClrUsed = bits <= 8 ? 1 : 0;
            void* pixels = nullptr;
            HBITMAP bitmap = Create(info, &pixels);
            DIBSECTION ds{};
            const LONG pitch = (13 * bits + 31) / 32 * 4;
            const auto* bytes = static_cast<const BYTE*>(pixels);
            EXPECT_EQ(std::vector<LONG>({GetObject(bitmap, sizeof ds, &ds), ds.dsBm.bmWidth, ds.dsBm.bmHeight, ds.dsBm.bmWidthBytes,
                                         ds.dsBm.bmBitsPixel, ds.dsBmih.biHeight, ds.dsBm.bmBits == pixels,
                                         std::all_of(bytes, bytes + pitch * 7, [](BYTE b) { return b == 0; }),
                                         GetObject(bitmap, sizeof(BITMAP), &ds), DeleteObject(bitmap)}),
                      std::vector<LONG>({LONG(sizeof ds), 13, 7, pitch, bits, height, 1, 1, LONG(sizeof(BITMAP)), 1}))
                << bits;
        }
    }
    const std::vector<DWORD> k555 = {0x7C00, 0x3E0, 0x1F}, wide = {0x3FF00000, 0xFFC00, 0x3FF};
    const struct {
        const char* name;
        Info info;
        bool accepted;
    } cases[] = {
        {"5-5-5", Header(4, -4, 16, BI_BITFIELDS, k555), true},
        {"5-6-5", Header(4, -4, 16, BI_BITFIELDS, {0xF800, 0x7E0, 0x1F}), true},
        {"10-10-10", Header(4, -4, 32, BI_BITFIELDS, wide), true},
        {"no width", Header(0, 4, 8), false},
        {"negative width", Header(-4, 4, 8), false},
        {"no height", Header(4, 0, 8), false},
        {"three bits", Header(4, 4, 3), false},
        {"two bits", Header(4, 4, 2), false},
        {"24-bit masks", Header(4, 4, 24, BI_BITFIELDS, k555), false},
        {"8-bit masks", Header(4, 4, 8, BI_BITFIELDS, k555), false},
        {"too big", Header(100000, 100000, 32), false},
        {"run-length", Header(4, 4, 8, 1), false},
        {"no red", Header(4, 4, 16, BI_BITFIELDS, {0, 0x3E0, 0x1F}), false},
        {"overlapping", Header(4, 4, 16, BI_BITFIELDS, {0x7C00, 0x7E0, 0x1F}), false},
        {"gapped", Header(4, 4, 16, BI_BITFIELDS, {0x7C00, 0x3E0, 0x15}), false},
        {"past 16 bits", Header(4, 4, 16, BI_BITFIELDS, {0x7C0000, 0x3E0, 0x1F}), false},
        {"short header", Header(4, 4, 8, BI_RGB, {}, 12), false},
        {"two planes", Header(4, 4, 8, BI_RGB, {}, sizeof(BITMAPINFOHEADER), 2), false},
    };
    for (const auto& c : cases) {
        void* bits = reinterpret_cast<void*>(1);
        HBITMAP bitmap = Create(c.info, &bits);
        DIBSECTION ds{};
        EXPECT_EQ(std::make_tuple(bitmap != nullptr, bits != nullptr,
                                  !bitmap || (GetObject(bitmap, sizeof ds, &ds) && !std::memcmp(ds.dsBitfields, c.info.masks, 12))),
                  std::make_tuple(c.accepted, c.accepted, true))
            << c.name;
        DeleteObject(bitmap);
    }
    const Info info = Header(4, 4, 8);
    EXPECT_FALSE(CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_PAL_COLORS, nullptr, nullptr, 0)
                 || CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0));
}

TEST(GdiHandles, DeletedForeignAndSelectedHandlesFailWithoutHarmAndSelectingReturnsThePreviousObjectOfItsKind)
{
    HBITMAP bitmap = Create(Header(2, 2, 32));
    ASSERT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(ErrorOf(DeleteObject(bitmap)), DWORD(ERROR_INVALID_HANDLE));
    HDC dc = CreateCompatibleDC(nullptr);
    const auto bogus = reinterpret_cast<HDC>(uintptr_t{0x1234});
    // A bitmap selected into one DC stays there and cannot be deleted; a DC is not an object
    // DeleteObject takes.
    TestDib dib(4, 4, 8, TestTable(256));
    EXPECT_EQ(std::vector<HGDIOBJ>({SelectObject(dc, bitmap), SelectObject(bogus, GetStockObject(WHITE_BRUSH)),
                                    SelectObject(dc, dib.Bitmap()), SelectObject(dib.Dc(), dib.Bitmap())}),
              std::vector<HGDIOBJ>({nullptr, nullptr, nullptr, dib.Bitmap()}));
    EXPECT_EQ(std::vector<int>({BitBlt(bogus, 0, 0, 1, 1, dc, 0, 0, SRCCOPY), SetTextColor(bogus, 0) == CLR_INVALID, DeleteObject(dc),
                                DeleteObject(dib.Bitmap()), DeleteDC(dc), DeleteDC(dc), GetDeviceCaps(dc, BITSPIXEL) == 0}),
              std::vector<int>({0, 1, 0, 0, 1, 0, 1}));
    HDC other = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(4, 5, 6));
    EXPECT_EQ(
        std::vector<HGDIOBJ>({SelectObject(other, brush), SelectObject(other, pen), SelectObject(other, GetStockObject(DEFAULT_GUI_FONT))}),
        std::vector<HGDIOBJ>({GetStockObject(WHITE_BRUSH), GetStockObject(BLACK_PEN), GetStockObject(SYSTEM_FONT)}));
    EXPECT_EQ((std::pair<BOOL, HGDIOBJ>{DeleteObject(brush), SelectObject(other, GetStockObject(BLACK_BRUSH))}),
              std::make_pair(FALSE, HGDIOBJ(brush))); // still selected
    DeleteDC(other);
    // Stock objects ignore deletion.
    LOGBRUSH lb{};
    EXPECT_TRUE(DeleteObject(brush) && DeleteObject(pen) && DeleteObject(GetStockObject(WHITE_BRUSH))
                && GetObject(GetStockObject(WHITE_BRUSH), sizeof lb, &lb) && lb.lbColor == RGB(255, 255, 255));
}

TEST(Palettes, TheSystemPaletteHoldsTheStaticColoursAtBothEndsAndALogicalOneGivesIndexedColours)
{
    HDC screen = GetDC(nullptr);
    PALETTEENTRY e[256];
    ASSERT_EQ(GetSystemPaletteEntries(screen, 0, 256, e), 256u);
    // The screen's metrics come from the display.
    EXPECT_EQ(
        std::vector<int>({e[7].peRed, e[9].peBlue, e[248].peGreen, e[249].peGreen, e[255].peBlue,
                          int(GetSystemPaletteEntries(screen, 250, 20, e)), e[5].peRed, int(GetSystemPaletteEntries(screen, 300, 2, e)),
                          GetDeviceCaps(screen, HORZRES) == GetSystemMetrics(SM_CXSCREEN), ReleaseDC(nullptr, screen),
                          ReleaseDC(nullptr, screen)}),
        (std::vector<int>{192, 240, 128, 0, 255, 6, 255, 0, 1, 1, 0}));
    struct {
        WORD version = 0x300, count = 3;
        PALETTEENTRY entries[3] = {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}};
    } log;
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&log));

    TestDib dib(2, 1, 24);
    HPALETTE old = SelectPalette(dib.Dc(), palette, FALSE);
    const UINT realized = RealizePalette(dib.Dc());
    HBRUSH brush = CreateSolidBrush(PALETTEINDEX(1));
    const RECT r{0, 0, 2, 1};
    FillRect(dib.Dc(), &r, brush);
    log.version = 0x200;
    EXPECT_EQ(std::vector<uintptr_t>({realized, dib.Raw(0, 0), uintptr_t(SelectPalette(dib.Dc(), old, FALSE)), uintptr_t(old),
                                      uintptr_t(CreatePalette(reinterpret_cast<LOGPALETTE*>(&log)))}),
              std::vector<uintptr_t>({3, 40u << 16 | 50u << 8 | 60u, uintptr_t(palette), uintptr_t(GetStockObject(DEFAULT_PALETTE)), 0}));
    EXPECT_TRUE(DeleteObject(brush) && DeleteObject(palette));
}
