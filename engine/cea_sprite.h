// Sprite: a list of frame graphics, made from the layers of one layered image file or by
// cutting one picture (the sheet) into a grid. An object showing a sprite shows the frame
// for its window's current frame number. A child sprite shows one rectangle of every frame
// of its parent.
#pragma once

#include "cea_graphic.h"

#include "windows.h"

struct AnimWindow;

// A count that takes every cell of the grid.
constexpr DWORD kAllFrames = 0x80000000;

// across (down): a number of columns (rows), 0 counting as 1; or, with the high bit set, the
// frame width (height) itself in the low 31 bits.
struct Sprite {
    BOOL ownsSheet;
    Graphic* sheet;
    BOOL isChild;
    RECT rect; // a child's part of each parent frame
    Sprite* parent;
    FrameList frames;
    Sprite** children; // freed slots are set to none and reused
    int cChildren;

    Sprite(LPCWSTR path, COLORREF transparency, int across, int down, DWORD count);
    Sprite(HANDLE file, COLORREF transparency, int across, int down, DWORD count);
    Sprite(const void* data, DWORD cb, COLORREF transparency, int across, int down, DWORD count);
    Sprite(HMODULE module, LPCWSTR name, COLORREF transparency, int across, int down, DWORD count);
    // Cuts an existing graphic, which stays the caller's.
    Sprite(Graphic* sheet, int across, int down, DWORD count);
    Sprite(Sprite* parent, const RECT& rect);
    ~Sprite();
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    bool IsChild() const { return isChild != 0; }
    Sprite* GetParent() const { return parent; }
    RECT GetRect() const;
    int GetWidth() const;
    int GetHeight() const;
    Graphic* Frame(int i) const;
    int FrameCount() const { return int(frames.Count()); }
    // The frame for the window's current frame number; none without frames.
    Graphic* FrameFor(const AnimWindow* window) const;

private:
    void Clear();
    void Split(int across, int down, DWORD count);
    void AddChild(Sprite* child);
    void RemoveChild(Sprite* child);
};
