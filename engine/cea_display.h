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
