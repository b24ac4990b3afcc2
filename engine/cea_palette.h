// PaletteGroup: one shared 256-colour palette for a set of 8-bit graphics and single
// colours, so that all of them can be shown together on a palettised display.
//
// Members and colours are added and removed between Open and Close; the outermost Close
// merges: it lays out the palette (pinned colours at their indices, then the plain colours,
// then every colour the member graphics use), remaps the members' pixels to it and gives
// every member the merged palette. Misuse of a closed group is reported and ignored.
#pragma once

#include "windows.h"

struct Graphic;
struct Sprite;

// Markers passed in place of palette entries: the display's system colours, and the fixed
// colour cube (4 red by 8 green by 8 blue levels) pinned over the whole palette.
inline const PALETTEENTRY* const kSystemColorsMarker = reinterpret_cast<const PALETTEENTRY*>(1);
inline const PALETTEENTRY* const kColorCubeMarker = reinterpret_cast<const PALETTEENTRY*>(2);

constexpr DWORD kNoIndex = 0xFFFFFFFF;

struct PaletteGroup {
    struct ITEM {
        DWORD used;
        DWORD specific;
        DWORD index; // kNoIndex when not pinned
        DWORD isGraphic;
        DWORD keepIndices;
        Graphic* graphic;
        COLORREF color;
    };

    ITEM* items;
    int cItems;
    HPALETTE palette;
    PALETTEENTRY entries[256];
    DWORD openCount;
    DWORD colourCube;
    BYTE* nearest;

    PaletteGroup();
    ~PaletteGroup();
    PaletteGroup(const PaletteGroup&) = delete;
    PaletteGroup& operator=(const PaletteGroup&) = delete;

    bool Open();
    void Close();

    // keepIndices: the graphic's pixels stay as they are; it only receives the palette.
    void Add(Graphic* graphic, bool keepIndices = false);
    void Remove(Graphic* graphic);
    // Every frame of the sprite (a child sprite's parent's frames).
    void Add(Sprite* sprite);
    void Remove(Sprite* sprite);
    void AddSpecific(DWORD index, COLORREF color);
    void AddSpecific(DWORD index, const PALETTEENTRY* entry);
    void RemoveSpecific(DWORD index);
    void Add(COLORREF color);
    void Remove(COLORREF color);
    void Add(const PALETTEENTRY* entries, DWORD count);
    void Remove(const PALETTEENTRY* entries, DWORD count);

    // These answer only while the group is closed.
    COLORREF GetPaletteColor(DWORD index) const;
    DWORD FindColor(COLORREF color) const;
    bool GetPaletteEntries(PALETTEENTRY* out, UINT first, UINT count) const;
    HPALETTE GetPalette();

    // The nearest palette index of every colour of 4 bits per channel (red << 8 | green << 4
    // | blue), by hue, saturation and lightness. Not made for the colour cube.
    bool BuildNearestTable();

    // The palette index blending uses for a colour: from the cube, else from the nearest
    // table; kNoIndex when the group has neither.
    DWORD BlendIndex(BYTE red, BYTE green, BYTE blue) const;

private:
    ITEM* NewItem();
    ITEM* FindGraphic(const Graphic* graphic);
    bool CheckOpen(const char* format, const void* subject) const;
    DWORD Allocate(DWORD index, COLORREF color);
    void Merge();
    void Remap(Graphic* graphic);
};

// Hue, saturation and lightness of a colour, each 0..255.
struct HSL {
    BYTE hue;
    BYTE saturation;
    BYTE lightness;
};
HSL ColorToHSL(BYTE red, BYTE green, BYTE blue);

// The palette index the colour cube gives a position red * 64 + green * 8 + blue.
BYTE ColorCubeIndex(DWORD position);
