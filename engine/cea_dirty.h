// DIRTYREGION: the parts of an animation window that must be rebuilt or shown again, kept as
// rectangles that never overlap. A rectangle that overlaps stored ones is merged with them into
// their bounding union; rectangles that merely touch stay apart, so two neighbouring moves do not
// grow into one large repaint.
#pragma once

#include "windef.h"

struct DIRTYREGION {
    int c; // rectangles in use
    int cAlloc; // capacity, grown 16 at a time
    RECT* rg;

    // A region with room for 16 rectangles, or none when memory is short.
    static DIRTYREGION* Create();
    void Destroy();

    // Empty rectangles are ignored.
    void Add(const RECT& rect);
    void Clear() { c = 0; }
    bool IsEmpty() const { return c == 0; }
    // Whether any stored rectangle shares area with rect.
    bool Intersects(const RECT& rect) const;
};

// Rectangle arithmetic shared by the engine; right and bottom are exclusive.
inline bool RectIsEmpty(const RECT& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}
// True when a and b share area (touching edges do not count).
inline bool RectsOverlap(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
RECT RectUnion(const RECT& a, const RECT& b);
// The common part of a and b; empty (all zero) when they do not overlap.
RECT RectIntersection(const RECT& a, const RECT& b);
