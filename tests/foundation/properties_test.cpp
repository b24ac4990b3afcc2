#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cetl/properties.h"

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

TEST(Properties, KeysAndValuesAreTrimmed)
{
    PROPERTIES table = parsed("   button-menu left  =   621   \n\tfont-main\t=\tMS Shell Dlg,-14,B\t");
    ASSERT_EQ(table.Count(), 2u);
    EXPECT_EQ(table["button-menu left"].View(), "621");
    EXPECT_EQ(table["button-menu left"].Number(), 621);
    EXPECT_EQ(table["font-main"].View(), "MS Shell Dlg,-14,B");
    EXPECT_EQ(table["font-main"].Number(), 0);
}

TEST(Properties, CommentsSkippedLinesAndEqualsInValues)
{
    PROPERTIES table = parsed("# cxWINDOW = 1\n  = 7\nno equals here\nkey = a=b # c\nempty =\r\nlast=x");
    ASSERT_EQ(table.Count(), 3u);
    EXPECT_FALSE(table.Contains("# cxWINDOW"));
    EXPECT_FALSE(table.Contains("cxWINDOW"));
    EXPECT_EQ(table.Lookup("key").View(), "a=b # c");
    EXPECT_TRUE(table.Contains("empty"));
    EXPECT_TRUE(table.Lookup("empty").IsEmpty());
    EXPECT_EQ(table.Lookup("last").View(), "x"); // no line break at the end
}

TEST(Properties, LaterLinesAndOtherCasesReplaceEarlierOnes)
{
    PROPERTIES table = parsed("Font-Main = a\r\nfont-main = b\nFONT-MAIN = c\n");
    ASSERT_EQ(table.Count(), 1u);
    EXPECT_EQ(table.Lookup("font-MAIN").View(), "c");
}

TEST(Properties, MissingKeysReadAsZeroAndAreAddedByTheIndexOperator)
{
    PROPERTIES table = parsed("cxWINDOW = 760\n");
    EXPECT_EQ(table.Lookup("text-average disable").Number(), 0);
    EXPECT_FALSE(table.Contains("text-average disable"));
    EXPECT_EQ(table["text-average disable"].Number(), 0);
    EXPECT_TRUE(table.Contains("text-average disable"));
    EXPECT_TRUE(table.Lookup("text-average disable").IsEmpty());
}

TEST(Properties, RemoveModeDropsNamedKeys)
{
    PROPERTIES table = parsed("a = 1\nb = 2\nc = 3\n");
    table.Parse("B = ignored\nzzz = absent\n", PROPERTIES::kParseRemove);
    EXPECT_EQ(table.Count(), 2u);
    EXPECT_FALSE(table.Contains("b"));
    EXPECT_EQ(table.Lookup("c").Number(), 3);
}

TEST(Properties, WideTextWithEsperantoKeys)
{
    PROPERTIES table = parsed(string(u"ŜLOSILO = ĉevalo\n"));
    EXPECT_EQ(table.Lookup("ŝlosilo").View(), "ĉevalo");
}

TEST(Properties, NumbersOfValues)
{
    EXPECT_EQ(PROPERTIESVALUE("12").Number(), 12);
    EXPECT_EQ(PROPERTIESVALUE("-14").Number(), -14);
    EXPECT_EQ(PROPERTIESVALUE("+7px").Number(), 7);
    EXPECT_EQ(PROPERTIESVALUE("-").Number(), 0);
    EXPECT_EQ(PROPERTIESVALUE("").Number(), 0);
    EXPECT_EQ(PROPERTIESVALUE("99999999999").Number(), 2147483647);
    EXPECT_EQ(PROPERTIESVALUE("-99999999999").Number(), -2147483647 - 1);
}

TEST(Properties, ColoursOfValues)
{
    EXPECT_EQ(PROPERTIESVALUE("#0000FF").Colour(), 0x02FF0000u);
    EXPECT_EQ(PROPERTIESVALUE("#0000FF").Number(), 0);
    EXPECT_EQ(PROPERTIESVALUE("#00FF").Colour(), 0u);
    EXPECT_EQ(PROPERTIESVALUE("ff8000 and more").Colour(), 0x020080FFu);
    EXPECT_EQ(PROPERTIESVALUE("123456").Colour(), 0x02563412u);
    EXPECT_EQ(PROPERTIESVALUE("123456").Number(), 123456);
    EXPECT_EQ(PROPERTIESVALUE("#12345G").Colour(), 0u);
    EXPECT_EQ(PROPERTIESVALUE("##123456").Colour(), 0u);
}

TEST(Properties, CopiesKeepTextNumberAndColour)
{
    PROPERTIES table = parsed("a = #102030\n");
    PROPERTIES copy(table);
    const PROPERTIESVALUE value = copy.Get("A");
    EXPECT_EQ(value.View(), "#102030");
    EXPECT_EQ(value.Colour(), 0x02302010u);
    EXPECT_EQ(copy.PromotionPercent(), 79);
}

TEST(Properties, ArbitraryBytesNeverBreakTheParser)
{
    std::mt19937 random(11);
    const char alphabet[] = {'=', '#', ' ', '\t', '\r', '\n', 'a', 'B', '\0', '\xC4', '\x89', '\xFF'};
    for (int round = 0; round < 200; ++round) {
        std::string text(random() % 200, ' ');
        for (char& c : text)
            c = alphabet[random() % sizeof alphabet];
        PROPERTIES table(0.79, 32);
        table.Parse(string(text), PROPERTIES::kParseSet);
        for (const auto& entry : table) {
            EXPECT_FALSE(entry.key.IsEmpty());
            EXPECT_EQ(entry.value.View().find_first_of("\r\n"), std::string_view::npos);
        }
        table.Parse(string(text), PROPERTIES::kParseRemove);
        EXPECT_EQ(table.Count(), 0u);
    }
}

TEST(Properties, FontSpecificationFields)
{
    cetl::FONTFIELDS f = cetl::SplitFontSpecification("MS Shell Dlg,-14,B");
    EXPECT_EQ(f.face.View(), "MS Shell Dlg");
    EXPECT_EQ(f.size, -14);
    EXPECT_TRUE(f.fBold);
    EXPECT_FALSE(f.fItalic || f.fUnderline);

    f = cetl::SplitFontSpecification("MS Shell Dlg,11,B");
    EXPECT_EQ(f.size, 11);

    f = cetl::SplitFontSpecification("default,ib,Arial,Tahoma,U,DEFAULT");
    EXPECT_EQ(f.face.View(), "Tahoma"); // the later face wins, "default" is no face
    EXPECT_EQ(f.size, 0);
    EXPECT_TRUE(f.fBold && f.fItalic && f.fUnderline);

    f = cetl::SplitFontSpecification("MS Shell Dlg, B");
    EXPECT_EQ(f.face.View(), " B"); // items are not trimmed
    EXPECT_FALSE(f.fBold);

    f = cetl::SplitFontSpecification(",,0,");
    EXPECT_EQ(f.face.View(), "0");
    EXPECT_EQ(f.size, 0);

    f = cetl::SplitFontSpecification("");
    EXPECT_TRUE(f.face.IsEmpty());
    EXPECT_EQ(f.size, 0);
}
