#include "cea_dirty.h"

#include "memmgr.h"

#include <algorithm>

namespace {

constexpr int kGrowBy = 16;

} // namespace

RECT RectUnion(const RECT& a, const RECT& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

RECT RectIntersection(const RECT& a, const RECT& b)
{
    if (!RectsOverlap(a, b))
        return {0, 0, 0, 0};
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

DIRTYREGION* DIRTYREGION::Create()
{
    auto* region = static_cast<DIRTYREGION*>(MEM_ALLOC(sizeof(DIRTYREGION), "DIRTYREGION"));
    if (!region)
        return nullptr;
    *region = {};
    if (!MEM_GROW_ARRAY(&region->rg, &region->cAlloc, 1, kGrowBy)) {
        MEM_FREE(region);
        return nullptr;
    }
    return region;
}

void DIRTYREGION::Destroy()
{
    MEM_FREE(rg);
    MEM_FREE(this);
}

bool DIRTYREGION::Intersects(const RECT& rect) const
{
    for (int i = 0; i < c; ++i)
        if (RectsOverlap(rg[i], rect))
            return true;
    return false;
}

void DIRTYREGION::Add(const RECT& rect)
{
    if (RectIsEmpty(rect))
        return;
    int iHit = 0;
    while (iHit < c && !RectsOverlap(rg[iHit], rect))
        ++iHit;
    if (iHit == c) {
        if (c < cAlloc || MEM_GROW_ARRAY(&rg, &cAlloc, c + 1, kGrowBy)) {
            rg[c++] = rect;
            return;
        }
        // No room for another rectangle: widen the first one instead, so nothing dirty is lost.
        iHit = 0;
    }
    rg[iHit] = RectUnion(rg[iHit], rect);
    // The grown rectangle may now overlap others: absorb them until it overlaps none.
    for (int i = 0; i < c;) {
        if (i == iHit || !RectsOverlap(rg[i], rg[iHit])) {
            ++i;
            continue;
        }
        rg[iHit] = RectUnion(rg[iHit], rg[i]);
        rg[i] = rg[--c];
        if (iHit == c)
            iHit = i;
        i = 0;
    }
}
