#include "sformat.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string fmt(const sformat& s)
{
    return std::string(s.View());
}

string loadTestString(int id)
{
    switch (id) {
    case 11: return "Tempo:";
    case 20: return "%lu tiles";
    case 22: return "%{s,m} %2 %1";
    default: return "";
    }
}

} // namespace

TEST(Sformat, DeclarationsNumberThePlaceholders)
{
    EXPECT_EQ(fmt(sformat("%lu%c%02lu", 3, ':', 7)), "3:07");
    EXPECT_EQ(fmt(sformat("the entry %s in the .ZIP file", string("a.zz"))), "the entry a.zz in the .ZIP file");
    EXPECT_EQ(fmt(sformat(u"%{ld,s} Instalanta %2\n%1%% kompleta", 7L, u"ĝuo.exe")), "Instalanta ĝuo.exe\n7% kompleta");
    EXPECT_EQ(fmt(sformat("%{s;s s}%2 %1 %2 %3", "a", "b", "c")), "b a b c");
    EXPECT_EQ(fmt(sformat("%{d}\t%1", 5)), "5"); // one tab after the declaration is skipped
    EXPECT_EQ(fmt(sformat("%{d}  %1", 5)), " 5"); // but only one
    // Characters after the placeholder digits are text; inline conversions come after.
    EXPECT_EQ(fmt(sformat("%{d}%1.5", 7)), "7.5");
    EXPECT_EQ(fmt(sformat("%{d}%1 and %d", 1, 2)), "1 and 2");
}

TEST(Sformat, BadPlaceholdersAndTypesGiveQuestionMarks)
{
    EXPECT_EQ(fmt(sformat("%{ld,s}%3", 1, "x")), "(?)");
    EXPECT_EQ(fmt(sformat("%{ld,s}%0", 1, "x")), "(?)");
    // An unknown type takes no argument: "s" gets the second one.
    EXPECT_EQ(fmt(sformat("%{d,q,s}%1|%2|%3", 1, "x")), "1|(?)|x");
    EXPECT_EQ(fmt(sformat("%d %s", 1)), "1 (?)"); // missing argument
    EXPECT_EQ(fmt(sformat("%d", "text")), "(?)"); // wrong kind
    EXPECT_EQ(fmt(sformat("%{d}%1", 2.5)), "(?)");
    EXPECT_EQ(fmt(sformat("50%")), "50(?)");
    EXPECT_EQ(fmt(sformat("%{d", 1)), "(?){d"); // no closing brace: no declaration
    EXPECT_EQ(fmt(sformat("%99999999999999999999")), "(?)");
    EXPECT_EQ(sformat("%99999999d", 1).Length(), 1024u); // huge fields are clamped
    EXPECT_EQ(sformat("%.99999999f", 1.0).Length(), 1026u);
}

TEST(Sformat, IntegersAndCharacters)
{
    EXPECT_EQ(fmt(sformat("%d|%d|%d", 0, -5, INT_MIN)), "0|-5|-2147483648");
    EXPECT_EQ(fmt(sformat("%u|%lu", -1, 4294967296LL + 3)), "4294967295|3"); // 32 bits
    EXPECT_EQ(fmt(sformat("%x|%X|%x", 255, 0xBEEF, -1)), "ff|BEEF|-1");
    EXPECT_EQ(fmt(sformat("%+d|%+d|%+u", 5, -5, 5)), "+5|-5|+5");
    EXPECT_EQ(fmt(sformat("[%5d][%-5d][%05d][%05d]", 42, 42, 42, -42)), "[   42][42   ][00042][-0042]");
    EXPECT_EQ(fmt(sformat("%{05d;-4s}[%1][%2]", -42, "ab")), "[-0042][ab  ]");
    EXPECT_EQ(fmt(sformat("%c%lc%c", 'a', u'ŝ', U'ĉ')), "aŝĉ");
    EXPECT_EQ(fmt(sformat("[%3c][%-3c][%c]", 'x', 'y', 0)), "[  x][y  ][]");
    EXPECT_EQ(fmt(sformat("%c", 0x110000)), "\xEF\xBF\xBD");
    EXPECT_EQ(fmt(sformat("%c", static_cast<char>(0xE9))), "é"); // a lone byte reads as Latin-1
}

TEST(Sformat, DoublesAreCutNotRounded)
{
    EXPECT_EQ(fmt(sformat("%f", 1.5)), "1.50000000");
    EXPECT_EQ(fmt(sformat("%f", 0.3)), ".30000000"); // below 1 the integer part is left out
    EXPECT_EQ(fmt(sformat("%.2f", 2.999)), "2.99");
    EXPECT_EQ(fmt(sformat("%.0f", 0.7)), "0");
    EXPECT_EQ(fmt(sformat("%05.1f", 0.25)), "000.2");
    EXPECT_EQ(fmt(sformat("%.1f|%+.1f|%+.1f", -0.5, 2.5, -2.5)), "-.5|+2.5|-2.5");
    EXPECT_EQ(fmt(sformat("%.3f", 3)), "3.000"); // an integer argument is widened
    EXPECT_EQ(fmt(sformat("%.2f", 1e20)), "100000000000000000000.00");
    EXPECT_EQ(fmt(sformat("%f|%f", NAN, -INFINITY)), "nan|-inf");
}

TEST(Sformat, StringsAreCutAndPaddedByCharacters)
{
    EXPECT_EQ(fmt(sformat("%.2s", "ĉŝx")), "ĉŝ");
    EXPECT_EQ(fmt(sformat("[%5s][%-4hs]", "ĉu", "ĝi")), "[   ĉu][ĝi  ]");
    EXPECT_EQ(fmt(sformat("%ls/%s/%s", u"ĥoro", std::string("std"), std::u16string(u"ĵaŭdo"))), "ĥoro/std/ĵaŭdo");
    EXPECT_EQ(fmt(sformat("[%s]", static_cast<const char*>(nullptr))), "[]");
}

TEST(Sformat, StringIdsGoThroughTheLoader)
{
    EXPECT_EQ(fmt(sformat("[%m]", 11)), "[]"); // no loader yet
    EXPECT_EQ(SetSformatStringLoader(loadTestString), nullptr);
    EXPECT_EQ(fmt(sformat("%m %lu", 11, 5)), "Tempo: 5");
    EXPECT_EQ(fmt(sformat(20, 3)), "3 tiles");
    EXPECT_EQ(fmt(sformat(22, "x", 11)), "Tempo: x");
    EXPECT_EQ(fmt(sformat("%m", "11")), "(?)");
    EXPECT_EQ(SetSformatStringLoader(nullptr), loadTestString);
}
