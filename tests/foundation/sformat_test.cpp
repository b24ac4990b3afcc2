#include "sformat.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

string loadTestString(int id)
{
    static const std::map<int, string> kTexts = {{11, "Tempo:"}, {20, "%lu tiles"}, {22, "%{s,m} %2 %1"}};
    return kTexts.contains(id) ? kTexts.at(id) : string("");
}

} // namespace

TEST(Sformat, FormatsGiveTheirTexts)
{
    const std::pair<string, std::string_view> cases[] = {
        // Declarations number the placeholders; one blank after one is skipped, but only one.
        {sformat("%lu%c%02lu", 3, ':', 7), "3:07"},
        {sformat(u"%{ld,s} Instalanta %2\n%1%% kompleta", 7L, u"ĝuo.exe"), "Instalanta ĝuo.exe\n7% kompleta"},
        {sformat("%{s;s s}%2 %1 %2 %3", "a", "b", "c"), "b a b c"},
        {sformat("%{d}\t%1", 5), "5"},
        {sformat("%{d}  %1", 5), " 5"},
        // Characters after the placeholder digits are text; inline conversions come after.
        {sformat("%{d}%1.5 and %d", 7, 2), "7.5 and 2"},
        // Bad placeholders, types and arguments. An unknown type takes no argument.
        {sformat("%{ld,s}%3|%0", 1, "x"), "(?)|(?)"},
        {sformat("%{d,q,s}%1|%2|%3", 1, "x"), "1|(?)|x"},
        {sformat("%d %s|%d", 1, 2.5), "1 (?)|(?)"},
        {sformat("%d|%m", "text", "11"), "(?)|(?)"},
        {sformat("%{d}%1", 2.5), "(?)"},
        {sformat("50%"), "50(?)"},
        {sformat("%{d %d", 1), "(?){d 1"}, // no closing brace: no declaration
        {sformat("%99999999999999999999"), "(?)"},
        // Integers are 32 bits; widths count characters.
        {sformat("%d|%d|%d", 0, -5, INT_MIN), "0|-5|-2147483648"},
        {sformat("%u|%lu", -1, 4294967296LL + 3), "4294967295|3"},
        {sformat("%x|%X|%x", 255, 0xBEEF, -1), "ff|BEEF|-1"},
        {sformat("%+d|%+d|%+u", 5, -5, 5), "+5|-5|+5"},
        {sformat("[%5d][%-5d][%05d][%05d][%10d]", 42, 42, 42, -42, 7), "[   42][42   ][00042][-0042][         7]"},
        {sformat("%{05d;-4s}[%1][%2]", -42, "ab"), "[-0042][ab  ]"},
        {sformat("%c%lc%c", 'a', u'ŝ', U'ĉ'), "aŝĉ"},
        {sformat("[%3c][%-3c][%c]", 'x', 'y', 0), "[  x][y  ][]"},
        {sformat("%c%c", 0x110000, 0xD800), "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {sformat("%c", static_cast<char>(0xE9)), "é"}, // a lone byte reads as Latin-1
        // Doubles are cut, not rounded, and drop a lone leading zero.
        {sformat("%f|%f", 1.5, 0.3), "1.50000000|.30000000"},
        {sformat("%.2f|%.0f|%05.1f", 2.999, 0.7, 0.25), "2.99|0|000.2"},
        {sformat("%.1f|%+.1f|%+.1f", -0.5, 2.5, -2.5), "-.5|+2.5|-2.5"},
        {sformat("%.3f", 3), "3.000"}, // an integer argument is widened
        {sformat("%.2f", 1e20), "100000000000000000000.00"},
        {sformat("%f|%f", NAN, -INFINITY), "nan|-inf"},
        // Texts are cut and padded by characters.
        {sformat("%.2s", "ĉŝx"), "ĉŝ"},
        {sformat("[%5s][%-4hs]", "ĉu", "ĝi"), "[   ĉu][ĝi  ]"},
        {sformat("%ls/%s/%s", u"ĥoro", std::string("std"), std::u16string(u"ĵaŭdo")), "ĥoro/std/ĵaŭdo"},
        {sformat("[%s]", static_cast<const char*>(nullptr)), "[]"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(text.View(), expected);
    EXPECT_EQ(sformat("%99999999d", 1).Length(), 1024u); // huge fields are clamped
    EXPECT_EQ(sformat("%.99999999f", 1.0).Length(), 1026u);
}

TEST(Sformat, StringIdsGoThroughTheLoader)
{
    EXPECT_EQ(sformat("[%m]", 11), "[]"); // no loader yet
    EXPECT_EQ(SetSformatStringLoader(loadTestString), nullptr);
    EXPECT_EQ(sformat("%m %lu", 11, 5), "Tempo: 5");
    EXPECT_EQ(sformat(20, 3), "3 tiles");
    EXPECT_EQ(sformat(22, "x", 11), "Tempo: x");
    EXPECT_EQ(SetSformatStringLoader(nullptr), loadTestString);
}
