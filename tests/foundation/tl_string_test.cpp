#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>
#include <utility>

#include "tl_string.h"

TEST(String, EsperantoCapitalsFoldToTheirSmallLetters)
{
    const char32_t pairs[][2] = {{U'Ĉ', U'ĉ'}, {U'Ĝ', U'ĝ'}, {U'Ĥ', U'ĥ'}, {U'Ĵ', U'ĵ'}, {U'Ŝ', U'ŝ'}, {U'Ŭ', U'ŭ'}};
    for (const auto& pair : pairs) {
        EXPECT_EQ(FoldCase(pair[0]), pair[1]);
        EXPECT_EQ(FoldCase(pair[1]), pair[1]);
    }
    EXPECT_TRUE(istring("ĈIU ĜIS ĤORO ĴAŬDO ŜI") == "ĉiu ĝis ĥoro ĵaŭdo ŝi");
    EXPECT_FALSE(string("ĈIU") == "ĉiu");
}

TEST(String, FoldingCoversLatinOneAndExtendedA)
{
    EXPECT_EQ(FoldCase(U'À'), U'à');
    EXPECT_EQ(FoldCase(U'Þ'), U'þ');
    EXPECT_EQ(FoldCase(U'×'), U'×'); // a sign, not a letter
    EXPECT_EQ(FoldCase(U'ß'), U'ß');
    EXPECT_EQ(FoldCase(U'Ł'), U'ł');  // odd capitals in the middle of the block
    EXPECT_EQ(FoldCase(U'Ž'), U'ž');
    EXPECT_EQ(FoldCase(U'Ÿ'), U'ÿ');
    EXPECT_EQ(FoldCase(U'ſ'), U's');
    EXPECT_EQ(FoldCase(U'İ'), U'İ'); // no simple small letter
    EXPECT_EQ(FoldCase(U'ĸ'), U'ĸ');
    EXPECT_EQ(FoldCase(U'Ω'), U'ω');
    EXPECT_EQ(FoldCase(U'Ж'), U'ж');
    EXPECT_EQ(FoldCase(U'Ё'), U'ё');
}

TEST(String, IstringOrdersByFoldedCharacters)
{
    EXPECT_LT(istring("abc").Compare("ABD"), 0);
    EXPECT_GT(istring("Zeta").Compare("alpha"), 0);
    EXPECT_EQ(istring("Ĉapelo").Compare("ĉAPELO"), 0);
    EXPECT_LT(istring("ab").Compare("AbC"), 0);
    EXPECT_GT(istring("abc").Compare("AB"), 0);
    EXPECT_LT(string("B").Compare("a"), 0); // exact: capitals sort first
}

TEST(String, MalformedBytesStayDistinctKeys)
{
    EXPECT_FALSE(istring("\x81") == "\x82");
    EXPECT_TRUE(istring("A\x81") == "a\x81");
    EXPECT_NE(istring("\xC4").Compare("\xC4\x88"), 0);
    EXPECT_TRUE(istring("\xEF\xBF\xBD") == "\xEF\xBF\xBD");
}

TEST(String, IstringOrderIsConsistentOnMixedAndMalformedText)
{
    // Pieces that make prefixes end inside characters and malformed sequences meet letters.
    const char* const pieces[] = {"a", "A", "ĉ", "Ĉ", "\xC4", "\x88", "\x81", "z", "\xC5"};
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
            for (const istring& c : texts) {
                if (ab <= 0 && b.Compare(c) <= 0) {
                    ASSERT_LE(a.Compare(c), 0);
                }
            }
        }
    }
}

TEST(String, AnIstringOnEitherSideIgnoresCase)
{
    const string exact("KEY");
    const istring folded("key");
    EXPECT_TRUE(folded == exact);
    EXPECT_TRUE(exact == folded);
    EXPECT_TRUE("Key" == folded);
    EXPECT_TRUE(folded == std::string_view("kEy"));
    EXPECT_TRUE(folded != "other");
    EXPECT_FALSE(exact == string("key"));
    EXPECT_FALSE(exact == "key");
}

TEST(String, WideCopyFollowsTheText)
{
    string s(u"ĉapelo");
    EXPECT_EQ(s.View(), "ĉapelo");
    EXPECT_EQ(std::u16string(s.Wide()), u"ĉapelo");
    s += " 🃏";
    EXPECT_EQ(std::u16string(s.Wide()), u"ĉapelo 🃏");
    s.Clear();
    EXPECT_EQ(std::u16string(s.Wide()), u"");
    EXPECT_EQ(std::u16string(string("a\xFF").Wide()), u"a\uFFFD");
}

TEST(String, NullAndEmptyTextsAreEmpty)
{
    EXPECT_TRUE(string(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_TRUE(string(static_cast<const char16_t*>(nullptr)).IsEmpty());
    EXPECT_STREQ(string().c_str(), "");
    EXPECT_EQ(string().Wide()[0], u'\0');
}

TEST(String, CopiesMovesAndSelfAppends)
{
    string a("ŝanco");
    string b(a);
    b += "!";
    EXPECT_EQ(a.View(), "ŝanco");
    EXPECT_EQ(b.View(), "ŝanco!");
    b.Append(b.View()); // a view of its own block, which the growth replaces
    EXPECT_EQ(b.View(), "ŝanco!ŝanco!");
    string c(std::move(b));
    EXPECT_EQ(c.View(), "ŝanco!ŝanco!");
    a = std::move(c);
    EXPECT_EQ(a.View(), "ŝanco!ŝanco!");
    a = a;
    EXPECT_EQ(a.Length(), 14u);
    EXPECT_EQ((string("x") + "y").View(), "xy");
}
