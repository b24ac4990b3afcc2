// The font routine: turns a layout font specification such as "MS Shell Dlg,-14,B" into a font.
//
// Its fields go on top of the stock system font: a size in points becomes a
// character height at the screen's pixels per inch, a negative size is that height in pixels,
// B, I and U set bold, italic and underline. Fonts are made with the default character set and
// antialiased quality.
#pragma once

#include <windows.h>

#include <string_view>

// The logical font a specification describes, for callers that adjust it before creating it.
LOGFONTW FontFromSpecification(std::string_view specification);

// The font a specification describes; null when it cannot be made (callers keep their default).
HFONT CreateFontFromSpecification(std::string_view specification);
