#include "utf.h"

#include <gtest/gtest.h>

TEST(Utf, EsperantoAndSupplementaryLettersRoundTripAndMalformedInputIsReplaced)
{
    const std::string text = "ĉ ĝ ĥ ĵ ŝ ŭ Ĉ Ĝ Ĥ Ĵ Ŝ Ŭ € \xF0\x9F\x83\x8F"; // U+1F0CF in a surrogate pair
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide.substr(0, 3) + wide.substr(wide.size() - 2), u"\u0109 \u011D\xD83C\xDCCF");
    EXPECT_EQ(Utf16ToUtf8(wide), text);
    EXPECT_EQ(Utf16Length(wide.c_str()), wide.size());
    // A truncated sequence, an overlong form, an encoded surrogate, a byte that never starts one.
    EXPECT_EQ(Utf8ToUtf16("a\xC4|\xC0\xAFz|\xED\xA0\x80x|\xFF"), u"a\uFFFD|\uFFFDz|\uFFFDx|\uFFFD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00)) + u"z" + char16_t(0xD800)), "\xEF\xBF\xBDz\xEF\xBF\xBD");
}
