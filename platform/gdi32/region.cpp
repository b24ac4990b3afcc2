// Regions beyond one rectangle: sets of non-overlapping rectangles, combined the plain way
// (every operation subtracts or intersects rectangles pairwise). Skin outlines are a few hundred
// row runs, so nothing cleverer is needed.
#include "gdiobj.h"

#include "winbase.h"
#include "winerror.h"

#include <algorithm>
#include <cstring>

namespace {

bool Empty(const RECT& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

bool Overlap(const RECT& a, const RECT& b, RECT* both)
{
    const RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (Empty(r))
        return false;
    if (both)
        *both = r;
    return true;
}

// What of a lies outside b: up to four rectangles.
void Subtract(const RECT& a, const RECT& b, std::vector<RECT>& out)
{
    RECT mid;
    if (!Overlap(a, b, &mid)) {
        out.push_back(a);
        return;
    }
    if (a.top < mid.top)
        out.push_back({a.left, a.top, a.right, mid.top});
    if (mid.bottom < a.bottom)
        out.push_back({a.left, mid.bottom, a.right, a.bottom});
    if (a.left < mid.left)
        out.push_back({a.left, mid.top, mid.left, mid.bottom});
    if (mid.right < a.right)
        out.push_back({mid.right, mid.top, a.right, mid.bottom});
}

std::vector<RECT> Minus(std::vector<RECT> parts, const std::vector<RECT>& cut)
{
    for (const RECT& c : cut) {
        std::vector<RECT> next;
        for (const RECT& p : parts)
            Subtract(p, c, next);
        parts.swap(next);
    }
    return parts;
}

int Complexity(const Region& region)
{
    return region.parts.empty() ? NULLREGION : region.parts.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// Brings the bounding box up to date with the parts.
int Finish(Region& region)
{
    region.rect = region.parts.empty() ? RECT{0, 0, 0, 0} : region.parts[0];
    for (const RECT& p : region.parts) {
        region.rect.left = std::min(region.rect.left, p.left);
        region.rect.top = std::min(region.rect.top, p.top);
        region.rect.right = std::max(region.rect.right, p.right);
        region.rect.bottom = std::max(region.rect.bottom, p.bottom);
    }
    return Complexity(region);
}

Region* FindRegion(HRGN handle)
{
    Region* region = Find<Region>(handle);
    if (!region)
        SetLastError(ERROR_INVALID_HANDLE);
    return region;
}

} // namespace

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode)
{
    GdiGuard guard(GdiLock());
    Region* d = FindRegion(dest);
    const Region* a = FindRegion(src1);
    const Region* b = mode == RGN_COPY ? a : FindRegion(src2);
    if (!d || !a || !b || mode < RGN_AND || mode > RGN_COPY || mode == RGN_XOR) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    std::vector<RECT> result;
    switch (mode) {
    case RGN_AND:
        for (const RECT& p : a->parts)
            for (const RECT& q : b->parts)
                if (RECT both; Overlap(p, q, &both))
                    result.push_back(both);
        break;
    case RGN_OR:
        result = a->parts;
        for (const RECT& extra : Minus(b->parts, a->parts))
            result.push_back(extra);
        break;
    case RGN_DIFF: result = Minus(a->parts, b->parts); break;
    default: result = a->parts; break;
    }
    d->parts.swap(result);
    return Finish(*d);
}

HRGN ExtCreateRegion(const void* transform, DWORD count, const RGNDATA* data)
{
    if (transform || !data || count < sizeof(RGNDATAHEADER) || data->rdh.dwSize != sizeof(RGNDATAHEADER)
        || data->rdh.iType != RDH_RECTANGLES || data->rdh.nCount > (count - sizeof(RGNDATAHEADER)) / sizeof(RECT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto region = std::make_unique<Region>(RECT{0, 0, 0, 0});
    const auto* bytes = reinterpret_cast<const BYTE*>(data) + sizeof(RGNDATAHEADER);
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        RECT r;
        std::memcpy(&r, bytes + i * sizeof(RECT), sizeof r);
        if (Empty(r))
            continue;
        for (const RECT& extra : Minus({r}, region->parts))
            region->parts.push_back(extra);
    }
    Finish(*region);
    GdiGuard guard(GdiLock());
    return static_cast<HRGN>(AddObject(std::move(region)));
}

DWORD GetRegionData(HRGN handle, DWORD count, LPRGNDATA data)
{
    GdiGuard guard(GdiLock());
    const Region* region = FindRegion(handle);
    if (!region)
        return 0;
    const DWORD size = DWORD(sizeof(RGNDATAHEADER) + region->parts.size() * sizeof(RECT));
    if (!data)
        return size;
    if (count < size) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    data->rdh = RGNDATAHEADER{sizeof(RGNDATAHEADER), RDH_RECTANGLES, DWORD(region->parts.size()),
                              DWORD(region->parts.size() * sizeof(RECT)), region->rect};
    if (!region->parts.empty())
        std::memcpy(reinterpret_cast<BYTE*>(data) + sizeof(RGNDATAHEADER), region->parts.data(), region->parts.size() * sizeof(RECT));
    return size;
}

int GetRgnBox(HRGN handle, LPRECT rect)
{
    GdiGuard guard(GdiLock());
    const Region* region = FindRegion(handle);
    if (!region || !rect)
        return ERROR;
    *rect = region->rect;
    return Complexity(*region);
}

BOOL PtInRegion(HRGN handle, int x, int y)
{
    GdiGuard guard(GdiLock());
    const Region* region = FindRegion(handle);
    if (!region)
        return FALSE;
    return std::any_of(region->parts.begin(), region->parts.end(),
                       [&](const RECT& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; });
}

int OffsetRgn(HRGN handle, int dx, int dy)
{
    GdiGuard guard(GdiLock());
    Region* region = FindRegion(handle);
    if (!region)
        return ERROR;
    for (RECT& r : region->parts)
        r = RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
    return Finish(*region);
}
