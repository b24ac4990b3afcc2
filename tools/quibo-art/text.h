// Text for captions, banners and the logo, rendered with SDL_ttf from faces that fontconfig
// finds, all with the Esperanto letters.
#pragma once

#include "mask.h"

#include <memory>
#include <string>

enum class Face {
    Condensed, // narrow bold, for the button captions
    Bold, // wide bold, for banners and the logo
};

// Rendered text cropped to its inked pixels; the baseline is a row of the mask (it may lie
// below the last row when nothing descends).
struct Ink {
    Mask mask;
    int baseline = 0;
};

class TextRenderer {
public:
    TextRenderer();
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // The UTF-8 text at the given pixel size.
    Ink Render(Face face, int pixelSize, const std::string& text);

private:
    struct Fonts;
    std::unique_ptr<Fonts> fonts_;
};

// The ink squeezed horizontally to at most width pixels (area-averaged), unchanged if narrower.
Ink Squeezed(const Ink& ink, int width);
