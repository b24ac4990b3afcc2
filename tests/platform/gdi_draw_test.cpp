#include "gdi_support.h"

#include "windows.h"

#include <gtest/gtest.h>

TEST(Brushes, FillSolidOrInSystemColoursRectanglesTakeThePenOutlineAndBadBrushesFail)
{
    // Unknown colour and metric indexes give nothing.
    EXPECT_EQ(std::vector<DWORD>({GetSysColor(-1), GetSysColor(1000), DWORD(GetSystemMetrics(12345))}), std::vector<DWORD>(3, 0));
    TestDib dib(4, 2, 24);
    RECT left{0, 0, 2, 2}, right{2, 0, 4, 2};
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    const bool filled = FillRect(dib.Dc(), &left, brush) && FillRect(dib.Dc(), &right, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    DeleteObject(brush);
    const bool deleted = FillRect(dib.Dc(), &left, brush),
               none = FillRect(dib.Dc(), &left, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(std::vector<uint32_t>({filled, deleted, none, dib.Raw(1, 1), dib.Raw(2, 0), dib.Raw(0, 0)}),
              std::vector<uint32_t>({1, 0, 1, 0x010203, 0xC0C0C0, 0x010203}));
    TestDib boxed(6, 6, 24);
    boxed.FillRaw(0x111111);
    HGDIOBJ oldBrush = SelectObject(boxed.Dc(), CreateSolidBrush(RGB(0, 0, 255)));
    ASSERT_TRUE(Rectangle(boxed.Dc(), 0, 0, 4, 4));
    EXPECT_EQ(std::vector<uint32_t>({boxed.Raw(0, 0), boxed.Raw(3, 3), boxed.Raw(1, 1), boxed.Raw(2, 2), boxed.Raw(4, 4)}),
              (std::vector<uint32_t>{0, 0, 0xFF, 0xFF, 0x111111}));
    DeleteObject(SelectObject(boxed.Dc(), oldBrush));
}

TEST(DrawEdge, RaisedAndSunkenRingsUseTheThreeDColours)
{
    TestDib dib(6, 6, 24);
    RECT r{0, 0, 6, 6};
    ASSERT_TRUE(DrawEdge(dib.Dc(), &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST));
    // Outer top-left: 3D light; outer bottom-right: dark shadow (the bottom line owns its
    // corner); inner: highlight and shadow; the middle: button face.
    const std::vector<uint32_t> raised
        = {dib.Raw(0, 2), dib.Raw(5, 2), dib.Raw(0, 5), dib.Raw(2, 1), dib.Raw(4, 2), dib.Raw(3, 3), uint32_t(r.left), uint32_t(r.bottom)};
    EXPECT_EQ(raised, (std::vector<uint32_t>{0xC0C0C0, 0, 0, 0xFFFFFF, 0x808080, 0xC0C0C0, 2, 4}));
    r = {0, 0, 6, 6};
    DrawEdge(dib.Dc(), &r, EDGE_SUNKEN, BF_RECT); // no BF_ADJUST: the rectangle stays
    EXPECT_EQ(std::vector<uint32_t>({dib.Raw(0, 2), dib.Raw(5, 2), dib.Raw(1, 2), dib.Raw(4, 2), uint32_t(r.left)}),
              (std::vector<uint32_t>{0x808080, 0xFFFFFF, 0, 0xC0C0C0, 0}));
}

TEST(DrawFocusRect, DotsInvertAndASecondCallRestores)
{
    for (int bits : {8, 16, 24, 32}) {
        TestDib dib(7, 5, bits, bits == 8 ? TestTable(256) : std::vector<RGBQUAD>{});
        dib.FillRaw(bits == 8 ? 11 : bits == 16 ? 0x1234 : 0x336699);
        const uint32_t before = dib.Raw(0, 0);
        RECT r{0, 0, 7, 5};
        ASSERT_TRUE(DrawFocusRect(dib.Dc(), &r));
        // Every other pixel of the frame; the inside untouched.
        EXPECT_EQ(std::vector<bool>({dib.Raw(0, 0) != before, dib.Raw(1, 0) != before, dib.Raw(2, 0) != before, dib.Raw(3, 2) != before}),
                  (std::vector<bool>{true, false, true, false}))
            << bits;
        DrawFocusRect(dib.Dc(), &r);
        EXPECT_EQ(dib.Pixels(), std::vector<uint32_t>(35, before)) << bits;
    }
}
