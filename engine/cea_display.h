// The description of the display that graphics are made for: its size, its depth (the
// default depth of new graphics), whether its 16-bit pixels are 5-5-5, and the palette group
// that owns its palette. Engine start-up fills it; until then it describes the screen as the
// platform reports it.
#pragma once

struct PaletteGroup;

struct DISPLAY {
    int cx;
    int cy;
    int bitsPerPixel;
    bool f555;
    PaletteGroup* paletteGroup;
};

DISPLAY& GetDisplay();

// A player can make the display report another size: QUIBO_DISPLAY=WIDTHxHEIGHT (for example
// "240x320" to play the handheld layout on a desktop). The depth stays what the engine finds.
// False, leaving the size alone, when text is none or not of that form.
bool ParseDisplayOverride(const char* text, int* cx, int* cy);
// Measures the screen through the platform and applies the override.
void MeasureDisplaySize(DISPLAY& display);
