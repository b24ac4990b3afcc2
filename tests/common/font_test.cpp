#include "font.h"

#include <gtest/gtest.h>
#include <string>

TEST(FontRoutine, SpecificationsGiveSizeStyleAndFace)
{
    LOGFONTW stock{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof stock, &stock);
    const struct {
        std::string specification;
        LONG height; // 0: the stock font's
        LONG weight;
        bool italic, underline;
        std::u16string face; // empty: the stock font's
    } cases[] = {
        {"MS Shell Dlg,-14,B", -14, FW_BOLD, false, false, u"MS Shell Dlg"},
        // Points at 96 pixels per inch, rounded as MulDiv does: 8 points are 10.67 pixels.
        {"MS Shell Dlg,8", -11, FW_NORMAL, false, false, u"MS Shell Dlg"},
        {"11,bi,Arial Eo", -15, FW_BOLD, true, false, u"Arial Eo"},
        {"default,U", 0, FW_NORMAL, false, true, u""},
        {"", 0, FW_NORMAL, false, false, u""},
        {std::string(100, 'x') + ",-12", -12, FW_NORMAL, false, false, std::u16string(LF_FACESIZE - 1, u'x')},
    };
    for (const auto& c : cases) {
        const LOGFONTW lf = FontFromSpecification(c.specification);
        SCOPED_TRACE(c.specification);
        EXPECT_EQ(lf.lfHeight, c.height ? c.height : stock.lfHeight);
        EXPECT_EQ(lf.lfWeight, c.weight);
        EXPECT_EQ(lf.lfItalic != 0, c.italic);
        EXPECT_EQ(lf.lfUnderline != 0, c.underline);
        EXPECT_EQ(std::u16string(lf.lfFaceName), c.face.empty() ? std::u16string(stock.lfFaceName) : c.face);
        EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
        EXPECT_EQ(lf.lfQuality, ANTIALIASED_QUALITY);
    }
    HFONT font = CreateFontFromSpecification("MS Shell Dlg,-14,B");
    LOGFONTW made{};
    GetObjectW(font, sizeof made, &made);
    EXPECT_EQ(made.lfHeight, -14);
    EXPECT_TRUE(DeleteObject(font));
}
