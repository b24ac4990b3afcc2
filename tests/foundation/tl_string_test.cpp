#include "tl_string.h"

#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

TEST(String, FoldingCoversEsperantoLatinGreekAndCyrillic)
{
    const std::pair<char32_t, char32_t> folds[] = {
        {U'Ĉ', U'ĉ'}, {U'Ŭ', U'ŭ'}, {U'ĉ', U'ĉ'}, {U'À', U'à'}, {U'Þ', U'þ'}, {U'×', U'×'}, // a sign, not a letter
        {U'ß', U'ß'}, {U'Ł', U'ł'}, {U'Ž', U'ž'}, {U'ž', U'ž'}, // odd capitals in the middle and at the end of the block
        {U'Ÿ', U'ÿ'}, {U'ſ', U's'}, {U'İ', U'İ'}, {U'ĸ', U'ĸ'}, // no simple small letter
        {U'Ω', U'ω'}, {U'Ж', U'ж'}, {U'Ё', U'ё'},
    };
    for (const auto& [from, to] : folds)
        EXPECT_EQ(FoldCase(from), to) << static_cast<uint32_t>(from);
}

TEST(String, IstringOrdersByFoldedCharactersAndMalformedBytesStayDistinct)
{
    const std::tuple<const char*, const char*, int> cases[] = {
        {"abc", "ABD", -1},    {"Zeta", "alpha", 1},    {"ĈIU ĜIS ĤORO ĴAŬDO ŜI", "ĉiu ĝis ĥoro ĵaŭdo ŝi", 0},
        {"ab", "AbC", -1},     {"abc", "AB", 1},        {"\x81", "\x82", -1},
        {"A\x81", "a\x81", 0}, {"\xC4", "\xC4\x88", 1}, {"\xEF\xBF\xBD", "\xEF\xBF\xBD", 0}, // a malformed byte is no replacement character
    };
    for (const auto& [a, b, order] : cases)
        EXPECT_EQ(istring(a).Compare(b), order) << a << " / " << b;
    EXPECT_LT(string("B").Compare("a"), 0); // exact: capitals sort first

    // An istring on either side of == ignores case; two strings compare exactly.
    const string exact("KEY");
    const istring folded("key");
    EXPECT_TRUE(folded == exact && exact == folded && "Key" == folded && folded == std::string_view("kEy"));
    EXPECT_TRUE(folded != "other");
    EXPECT_FALSE(exact == string("key") || exact == "key");
    EXPECT_TRUE(EqualsIgnoringAsciiCase("Quibo.EXE", "quibo.exe") && EqualsIgnoringAsciiCase(u"Ab", u"aB")
                && !EqualsIgnoringAsciiCase("ab", "abc"));
}

TEST(String, IstringOrderIsConsistentOnMixedAndMalformedText)
{
    // Pieces that make prefixes end inside characters and malformed sequences meet letters.
    const char* const pieces[] = {"a", "A", "ĉ", "Ĉ", "\xC4", "\x88", "\x81", "z", "\xC5", "€", "\xE2\x82"};
    std::mt19937 random(3);
    std::vector<istring> texts;
    for (int n = 0; n < 40; ++n) {
        std::string text;
        for (int k = static_cast<int>(random() % 5); k > 0; --k)
            text += pieces[random() % std::size(pieces)];
        texts.emplace_back(text);
    }
    for (const istring& a : texts) {
        for (const istring& b : texts) {
            const int ab = a.Compare(b);
            ASSERT_EQ(ab, -b.Compare(a)) << a.c_str() << " / " << b.c_str();
            for (const istring& c : texts)
                ASSERT_TRUE(ab > 0 || b.Compare(c) > 0 || a.Compare(c) <= 0);
        }
    }
}

TEST(String, CopiesMovesAppendsAndTheWideCopy)
{
    string a("ŝanco");
    string b(a);
    b += "!";
    EXPECT_EQ(a, "ŝanco");
    b.Append(b.View()); // a view of its own block, which the growth replaces
    string c(std::move(b));
    a = std::move(c);
    a = a;
    EXPECT_EQ(a, "ŝanco!ŝanco!");
    EXPECT_EQ(string("x") + "y", "xy");

    string s(u"ĉapelo");
    EXPECT_EQ(std::u16string(s.Wide()), u"ĉapelo");
    s += " 🃏"; // the wide copy made before is stale now
    EXPECT_EQ(std::u16string(s.Wide()), u"ĉapelo 🃏");
    s.Clear();
    EXPECT_EQ(std::u16string(s.Wide()), u"");
    EXPECT_EQ(std::u16string(string("a\xFF").Wide()), u"a\uFFFD");
    EXPECT_TRUE(string(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_TRUE(string(static_cast<const char16_t*>(nullptr)).IsEmpty());
}
