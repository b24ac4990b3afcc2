#include <gtest/gtest.h>

#include "utf.h"

TEST(Utf, EsperantoLettersRoundTrip)
{
    const std::string eo = "ĉ ĝ ĥ ĵ ŝ ŭ Ĉ Ĝ Ĥ Ĵ Ŝ Ŭ";
    const std::u16string wide = Utf8ToUtf16(eo);
    EXPECT_EQ(wide.substr(0, 3), u"\u0109 \u011D");
    EXPECT_EQ(Utf16ToUtf8(wide), eo);
    EXPECT_EQ(Utf16Length(wide.c_str()), wide.size());
}

TEST(Utf, SupplementaryPlaneUsesSurrogatePairs)
{
    const std::u16string wide = Utf8ToUtf16("\xF0\x9F\x83\x8F"); // U+1F0CF
    ASSERT_EQ(wide.size(), 2u);
    EXPECT_EQ(wide[0], 0xD83C);
    EXPECT_EQ(wide[1], 0xDCCF);
    EXPECT_EQ(Utf16ToUtf8(wide), "\xF0\x9F\x83\x8F");
}

TEST(Utf, MalformedInputBecomesReplacementCharacters)
{
    EXPECT_EQ(Utf8ToUtf16("a\xC4"), u"a\uFFFD");          // truncated sequence
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAFz"), u"\uFFFDz");     // overlong form
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80x"), u"\uFFFDx"); // encoded surrogate
    EXPECT_EQ(Utf8ToUtf16("\xFF"), u"\uFFFD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00)) + u"z"), "\xEF\xBF\xBDz");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}
