// Fonts as the layer realises them: a LOGFONTW matched through fontconfig to an installed face
// and opened with SDL_ttf at the pixel size it asks for.
#pragma once

#include "gdiobj.h"

#include <string_view>

typedef struct _TTF_Font TTF_Font;

struct RealFont {
    TTF_Font* ttf = nullptr;
    int ascent = 0;
    int descent = 0;
    int height = 0; // ascent + descent: the cell
    int internalLeading = 0;
    int externalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    LONG weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool antialiased = true;
};

// The realised font of a logical font; realised fonts are shared and live for the run.
// Null only when no usable face is installed.
const RealFont* Realise(const LOGFONTW& lf);
// The realised font selected into the DC.
const RealFont* DcFont(const DeviceContext& dc);

// Width of the text and the cell height of the font.
SIZE MeasureText(const RealFont& font, std::u16string_view text);
// Draws one line of text with its cell's top-left at (x, y) in the DC's text colour, over the
// DC's background colour when the background mode is OPAQUE. clip, when given, further limits
// drawing (DC coordinates).
void DrawTextLine(const Target& target, const RealFont& font, int x, int y, std::u16string_view text, const RECT* clip);
