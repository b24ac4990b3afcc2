#include "utf.h"

#include <gtest/gtest.h>

TEST(Utf, EsperantoAndSupplementaryLettersRoundTrip)
{
    const std::string text = "ĉ ĝ ĥ ĵ ŝ ŭ Ĉ Ĝ Ĥ Ĵ Ŝ Ŭ € \xF0\x9F\x83\x8F"; // U+1F0CF in a surrogate pair
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide.substr(0, 3), u"\u0109 \u011D");
    EXPECT_EQ(wide.substr(wide.size() - 2), u"\xD83C\xDCCF");
    EXPECT_EQ(Utf16ToUtf8(wide), text);
    EXPECT_EQ(Utf16Length(wide.c_str()), wide.size());
}

TEST(Utf, MalformedInputBecomesReplacementCharacters)
{
    EXPECT_EQ(Utf8ToUtf16("a\xC4"), u"a\uFFFD"); // truncated sequence
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAFz"), u"\uFFFDz"); // overlong form
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80x"), u"\uFFFDx"); // encoded surrogate
    EXPECT_EQ(Utf8ToUtf16("\xFF"), u"\uFFFD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00)) + u"z"), "\xEF\xBF\xBDz");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}
