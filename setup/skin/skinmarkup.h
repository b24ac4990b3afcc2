// The text markup of skin text controls: <b>, <i>, <u>, <font face= size= color=>, <a href=>
// and closing tags "</...>", which close the innermost open tag of their name. Parsing is a
// function of the text alone: a closing tag with nothing open, or an unknown tag, is dropped;
// a "<" without a ">" after it is plain text; tags still open at the end simply end there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SKINTEXTSTYLE {
    bool fBold = false;
    bool fItalic = false;
    bool fUnderline = false;
    std::string face; // empty: the control's font
    int size = 0; // 0: the control's size; else points
    uint32_t color = 0xFFFFFFFF; // none: the control's colour
    std::string href; // non-empty inside a link
};

struct SKINTEXTRUN {
    std::string text; // UTF-8; "\n" breaks the line
    SKINTEXTSTYLE style;
};

std::vector<SKINTEXTRUN> ParseSkinMarkup(std::string_view text);
// The text without its markup.
std::string SkinMarkupPlainText(std::string_view text);
