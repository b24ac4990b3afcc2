#include <gtest/gtest.h>

#include <string>

#include "font.h"

namespace {

std::u16string Face(const LOGFONTW& lf)
{
    return std::u16string(lf.lfFaceName);
}

} // namespace

TEST(FontRoutine, PointsPixelsAndStyleLetters)
{
    LOGFONTW lf = FontFromSpecification("MS Shell Dlg,-14,B");
    EXPECT_EQ(Face(lf), u"MS Shell Dlg");
    EXPECT_EQ(lf.lfHeight, -14);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(lf.lfQuality, ANTIALIASED_QUALITY);
    // 8 points at 96 pixels per inch: 10.67 pixels, rounded as MulDiv does.
    lf = FontFromSpecification("MS Shell Dlg,8");
    EXPECT_EQ(lf.lfHeight, -11);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    lf = FontFromSpecification("11,bi,Arial Eo");
    EXPECT_EQ(lf.lfHeight, -15);
    EXPECT_EQ(Face(lf), u"Arial Eo");
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_FALSE(lf.lfUnderline);
}

TEST(FontRoutine, MissingFieldsComeFromTheStockFont)
{
    LOGFONTW stock{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof stock, &stock);
    const LOGFONTW lf = FontFromSpecification("default,U");
    EXPECT_EQ(lf.lfHeight, stock.lfHeight);
    EXPECT_EQ(Face(lf), Face(stock));
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_EQ(FontFromSpecification("").lfHeight, stock.lfHeight);
}

TEST(FontRoutine, LongFaceNamesAreCutAndTheFontIsMade)
{
    const LOGFONTW lf = FontFromSpecification(std::string(100, 'x') + ",-12");
    EXPECT_EQ(Face(lf).size(), size_t(LF_FACESIZE - 1));
    HFONT font = CreateFontFromSpecification("MS Shell Dlg,-14,B");
    ASSERT_NE(font, nullptr);
    LOGFONTW made{};
    GetObjectW(font, sizeof made, &made);
    EXPECT_EQ(made.lfHeight, -14);
    EXPECT_TRUE(DeleteObject(font));
}
