#include <gtest/gtest.h>

#include "gdi_support.h"
#include "windows.h"

TEST(SysColors, ClassicSchemeAndUnknownIndexes)
{
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(0, 0, 128));
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(1000), 0u);
    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
    EXPECT_EQ(GetSystemMetrics(12345), 0);
}

TEST(FillRect, SolidBrushesSystemColourBrushesAndBadBrushes)
{
    TestDib dib(4, 2, 24);
    RECT left{0, 0, 2, 2}, right{2, 0, 4, 2};
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_TRUE(FillRect(dib.Dc(), &left, brush));
    EXPECT_TRUE(FillRect(dib.Dc(), &right, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)));
    EXPECT_EQ(dib.Raw(1, 1), 0x010203u);
    EXPECT_EQ(dib.Raw(2, 0), 0xC0C0C0u);
    DeleteObject(brush);
    EXPECT_FALSE(FillRect(dib.Dc(), &left, brush));
    EXPECT_EQ(dib.Raw(0, 0), 0x010203u);
    EXPECT_TRUE(FillRect(dib.Dc(), &left, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))));
    EXPECT_EQ(dib.Raw(0, 0), 0x010203u);
}

TEST(DrawEdge, RaisedAndSunkenRingsUseTheThreeDColours)
{
    TestDib dib(6, 6, 24);
    RECT r{0, 0, 6, 6};
    ASSERT_TRUE(DrawEdge(dib.Dc(), &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST));
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.bottom, 4);
    EXPECT_EQ(dib.Raw(0, 2), 0xC0C0C0u); // outer top-left: 3D light
    EXPECT_EQ(dib.Raw(5, 2), 0x000000u); // outer bottom-right: dark shadow
    EXPECT_EQ(dib.Raw(2, 1), 0xFFFFFFu); // inner top-left: highlight
    EXPECT_EQ(dib.Raw(4, 2), 0x808080u); // inner bottom-right: shadow
    EXPECT_EQ(dib.Raw(0, 5), 0x000000u); // the bottom line owns its corner
    EXPECT_EQ(dib.Raw(3, 3), 0xC0C0C0u); // the middle: button face
    r = {0, 0, 6, 6};
    DrawEdge(dib.Dc(), &r, EDGE_SUNKEN, BF_RECT);
    EXPECT_EQ(dib.Raw(0, 2), 0x808080u);
    EXPECT_EQ(dib.Raw(5, 2), 0xFFFFFFu);
    EXPECT_EQ(dib.Raw(1, 2), 0x000000u);
    EXPECT_EQ(dib.Raw(4, 2), 0xC0C0C0u);
    EXPECT_EQ(r.left, 0); // no BF_ADJUST
}

TEST(DrawFocusRect, DotsInvertAndASecondCallRestores)
{
    for (int bits : {8, 16, 24, 32}) {
        TestDib dib(7, 5, bits, bits == 8 ? TestTable(256) : std::vector<RGBQUAD>{});
        dib.FillRaw(bits == 8 ? 11 : bits == 16 ? 0x1234 : 0x336699);
        const uint32_t before = dib.Raw(0, 0);
        RECT r{0, 0, 7, 5};
        ASSERT_TRUE(DrawFocusRect(dib.Dc(), &r));
        EXPECT_NE(dib.Raw(0, 0), before);
        EXPECT_EQ(dib.Raw(1, 0), before);
        EXPECT_NE(dib.Raw(2, 0), before);
        EXPECT_EQ(dib.Raw(3, 2), before); // inside untouched
        DrawFocusRect(dib.Dc(), &r);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                EXPECT_EQ(dib.Raw(x, y), before) << bits;
    }
}

TEST(Rectangle, PenOutlinesBrushFillsAndNoPenShrinks)
{
    TestDib dib(8, 8, 24);
    dib.FillRaw(0x111111);
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HGDIOBJ oldBrush = SelectObject(dib.Dc(), brush), oldPen = SelectObject(dib.Dc(), pen);
    ASSERT_TRUE(Rectangle(dib.Dc(), 0, 0, 4, 4));
    EXPECT_EQ(dib.Raw(0, 0), 0xFF0000u);
    EXPECT_EQ(dib.Raw(3, 3), 0xFF0000u);
    EXPECT_EQ(dib.Raw(1, 1), 0x0000FFu);
    EXPECT_EQ(dib.Raw(4, 4), 0x111111u);
    SelectObject(dib.Dc(), GetStockObject(NULL_PEN));
    Rectangle(dib.Dc(), 4, 4, 8, 8);
    EXPECT_EQ(dib.Raw(4, 4), 0x0000FFu);
    EXPECT_EQ(dib.Raw(6, 6), 0x0000FFu);
    EXPECT_EQ(dib.Raw(7, 7), 0x111111u);
    EXPECT_EQ(CreatePen(42, 1, 0), nullptr);
    SelectObject(dib.Dc(), oldBrush);
    SelectObject(dib.Dc(), oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}
