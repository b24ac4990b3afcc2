// cetl::PROPERTIES: the table of "key = value" lines that layout and skin files are made of.
//
// Keys ignore case. A value is its text, trimmed, which also reads as a number and as a
// colour. Lines are added with Parse:
//
//     key = value      # "#" starts a comment only as a line's first non-blank character
//
// Lines without "=" are skipped; a later line with the same key replaces the earlier value.
#pragma once

#include "cetl/stringmap.h"
#include "tl_string.h"

#include <cstdint>
#include <string_view>

namespace cetl {

class PROPERTIESVALUE : public string {
public:
    using string::string;
    PROPERTIESVALUE() = default;
    PROPERTIESVALUE(const string& text) : string(text) { }

    // The text as a decimal integer: an optional sign and the digits up to the first other
    // character; 0 when it does not start with a number. Saturates at the 32-bit limits.
    int32_t Number() const;

    // The text as "#RRGGBB" (the "#" optional), packed as the palette-relative colour
    // 0x02BBGGRR; 0 when the first six characters are not all hexadecimal digits.
    uint32_t Colour() const;
};

class PROPERTIES : public stringmap<PROPERTIESVALUE> {
public:
    using stringmap<PROPERTIESVALUE>::stringmap;

    static constexpr int kParseSet = 0; // each key gets its value
    static constexpr int kParseRemove = 1; // each key named is removed, its value ignored

    void Parse(const string& text, int mode);
};

// The fields of a font specification such as "MS Shell Dlg,-14,B": comma-separated items in
// any order, not trimmed. A non-zero number is the size, letters B, I and U (either case) set
// bold, italic and underline, "default" is ignored and anything else is the face (the last
// one wins).
struct FONTFIELDS {
    int32_t size = 0; // 0: not given; > 0: points; < 0: character height in pixels
    bool fBold = false;
    bool fItalic = false;
    bool fUnderline = false;
    string face; // empty: not given
};

FONTFIELDS SplitFontSpecification(std::string_view specification);

} // namespace cetl
