#include "cetl/properties.h"

#include <gtest/gtest.h>
#include <string>

using cetl::PROPERTIES;
using cetl::PROPERTIESVALUE;

namespace {

PROPERTIES parsed(const string& text)
{
    PROPERTIES table(0.79, 32);
    table.Parse(text, PROPERTIES::kParseSet);
    return table;
}

} // namespace

TEST(Properties, LinesAreTrimmedCommentedAndSkipped)
{
    PROPERTIES table = parsed("   button-menu left  =   621   \n\tfont-main\t=\tMS Shell Dlg,-14,B\t\n"
                              "# cxWINDOW = 1\n  = 7\nno equals here\nkey = a=b # c\nempty =\r\nlast=x");
    ASSERT_EQ(table.Count(), 5u);
    EXPECT_EQ(table["button-menu left"].Number(), 621);
    EXPECT_EQ(table["font-main"].View(), "MS Shell Dlg,-14,B");
    EXPECT_EQ(table.Lookup("key").View(), "a=b # c");
    EXPECT_TRUE(table.Contains("empty"));
    EXPECT_EQ(table.Lookup("last").View(), "x"); // no line break at the end
}

TEST(Properties, LaterLinesAndOtherCasesReplaceEarlierOnes)
{
    PROPERTIES table = parsed(string(u"Font-Main = a\r\nfont-main = b\nFONT-MAIN = c\nŜLOSILO = ĉevalo\n"));
    ASSERT_EQ(table.Count(), 2u);
    EXPECT_EQ(table.Lookup("font-MAIN").View(), "c");
    EXPECT_EQ(table.Lookup("ŝlosilo").View(), "ĉevalo");
    // A missing key reads as zero; only the index operator adds it.
    EXPECT_EQ(table.Lookup("absent").Number(), 0);
    EXPECT_FALSE(table.Contains("absent"));
    EXPECT_TRUE(table["absent"].IsEmpty());
    EXPECT_TRUE(table.Contains("absent"));
}

TEST(Properties, RemoveModeDropsNamedKeys)
{
    PROPERTIES table = parsed("a = 1\nb = 2\nc = 3\n");
    table.Parse("B = ignored\nzzz = absent\n", PROPERTIES::kParseRemove);
    EXPECT_EQ(table.Count(), 2u);
    EXPECT_FALSE(table.Contains("b"));
}

TEST(Properties, NumbersAndColoursOfValues)
{
    const struct {
        const char* text;
        int32_t number;
        uint32_t colour;
    } cases[] = {
        {"12", 12, 0},
        {"-14", -14, 0},
        {"+7px", 7, 0},
        {"-", 0, 0},
        {"", 0, 0},
        {"99999999999", 2147483647, 0x02999999u},
        {"-99999999999", -2147483647 - 1, 0},
        {"#0000FF", 0, 0x02FF0000u},
        {"#00FF", 0, 0},
        {"ff8000 and more", 0, 0x020080FFu},
        {"123456", 123456, 0x02563412u},
        {"#12345G", 0, 0},
        {"##123456", 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PROPERTIESVALUE(c.text).Number(), c.number) << c.text;
        EXPECT_EQ(PROPERTIESVALUE(c.text).Colour(), c.colour) << c.text;
    }
}

TEST(Properties, FontSpecificationFields)
{
    const struct {
        const char* specification;
        const char* face;
        int size;
        bool bold, italic, underline;
    } cases[] = {
        {"MS Shell Dlg,-14,B", "MS Shell Dlg", -14, true, false, false},
        {"MS Shell Dlg,11,b", "MS Shell Dlg", 11, true, false, false},
        // The later face wins, "default" is no face; items are not trimmed.
        {"default,ib,Arial,Tahoma,U,DEFAULT", "Tahoma", 0, true, true, true},
        {"MS Shell Dlg, B", " B", 0, false, false, false},
        {"u,,0,", "0", 0, false, false, true},
        {"", "", 0, false, false, false},
    };
    for (const auto& c : cases) {
        const cetl::FONTFIELDS f = cetl::SplitFontSpecification(c.specification);
        EXPECT_EQ(f.face.View(), c.face) << c.specification;
        EXPECT_EQ(f.size, c.size) << c.specification;
        EXPECT_EQ(f.fBold, c.bold) << c.specification;
        EXPECT_EQ(f.fItalic, c.italic) << c.specification;
        EXPECT_EQ(f.fUnderline, c.underline) << c.specification;
    }
}
