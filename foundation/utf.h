// Conversions between UTF-8 (our narrow text) and UTF-16 (WCHAR text of the Win32 calls).
//
// Malformed input never fails: each bad UTF-8 sequence and each unpaired surrogate becomes
// U+FFFD, so text from outside can always be shown.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// The code point at text[i], moving i past it (a malformed sequence gives U+FFFD).
char32_t DecodeUtf8(std::string_view text, size_t& i);
char32_t DecodeUtf16(std::u16string_view text, size_t& i);

// Writes cp (a scalar value) as UTF-8 into out and returns the byte count, 1 to 4.
size_t EncodeUtf8(char32_t cp, char out[4]);

// Length of a zero-terminated UTF-16 string, in units.
size_t Utf16Length(const char16_t* text);
