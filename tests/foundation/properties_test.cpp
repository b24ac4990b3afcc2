#include "cetl/properties.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>

using cetl::PROPERTIES;
using cetl::PROPERTIESVALUE;

namespace {

std::string contents(const PROPERTIES& table)
{
    std::string out;
    for (const auto& entry : table)
        out += std::string(entry.key.View()) + "=" + std::string(entry.value.View()) + "|";
    return out;
}

} // namespace

TEST(Properties, LinesAreTrimmedCommentedSkippedAndLaterOnesWin)
{
    const std::pair<const char*, const char*> cases[] = {
        {"   button-menu left  =   621   \n\tfont-main\t=\tMS Shell Dlg,-14,B\t\n# cxWINDOW = 1\n  = 7\nno equals here\n"
         "key = a=b # c\nempty =\r\nLast=x",
         "button-menu left=621|empty=|font-main=MS Shell Dlg,-14,B|key=a=b # c|Last=x|"},
        // Keys ignore case, in their order too, Esperanto letters included; the first spelling stays.
        {"Font-Main = a\r\nfont-main = b\nFONT-MAIN = c\nŜLOSILO = ĉevalo\nŝlosilo = ĝi\n", "Font-Main=c|ŜLOSILO=ĝi|"},
    };
    for (const auto& [text, expected] : cases) {
        PROPERTIES table(0.79, 32);
        table.Parse(string(text), PROPERTIES::kParseSet);
        EXPECT_EQ(contents(table), expected);
    }
    PROPERTIES table(0.79, 32);
    table.Parse("a = 1\nb = 2\nc = 3\n", PROPERTIES::kParseSet);
    table.Parse("B = ignored\nzzz = absent\n", PROPERTIES::kParseRemove);
    EXPECT_EQ(contents(table), "a=1|c=3|");
    EXPECT_EQ(std::pair(table.Lookup("absent").Number(), table.Count()),
              std::pair(0, size_t{2})); // a missing key reads as zero, and stays missing
}

TEST(Properties, NumbersAndColoursOfValues)
{
    const std::tuple<const char*, int32_t, uint32_t> cases[] = {
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
    for (const auto& [text, number, colour] : cases)
        EXPECT_EQ(std::pair(PROPERTIESVALUE(text).Number(), PROPERTIESVALUE(text).Colour()), std::pair(number, colour)) << text;
}

TEST(Properties, FontSpecificationFields)
{
    // Face, size, then the styles that are set.
    const std::pair<const char*, const char*> cases[] = {
        {"MS Shell Dlg,-14,B", "MS Shell Dlg|-14|B"},
        {"MS Shell Dlg,11,b", "MS Shell Dlg|11|B"},
        // The later face wins, "default" is no face; items are not trimmed.
        {"default,ib,Arial,Tahoma,U,DEFAULT", "Tahoma|0|BIU"},
        {"MS Shell Dlg, B", " B|0|"},
        {"u,,0,", "0|0|U"},
        {"", "|0|"},
    };
    for (const auto& [specification, expected] : cases) {
        const cetl::FONTFIELDS f = cetl::SplitFontSpecification(specification);
        const std::string styles = std::string(f.fBold ? "B" : "") + (f.fItalic ? "I" : "") + (f.fUnderline ? "U" : "");
        EXPECT_EQ(std::string(f.face.View()) + "|" + std::to_string(f.size) + "|" + styles, expected);
    }
}
