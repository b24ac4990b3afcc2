#include "../gdi32/gdiobj.h"

#include "winbase.h"
#include "winerror.h"
#include "winuser.h"

namespace {

// Win32 lets a brush argument name a system colour as its index plus one.
constexpr uintptr_t kSysColorBrushes = COLOR_INFOBK + 2;

void FillSide(const Target& target, const RECT& r, int color)
{
    FillTarget(target, r, RgbFromColorRef(GetSysColor(color)));
}

// One ring of an edge: top and left in one colour, then bottom and right over the corners.
void Ring(const Target& target, const RECT& r, UINT flags, int topLeft, int bottomRight)
{
    if (flags & BF_LEFT)
        FillSide(target, {r.left, r.top, r.left + 1, r.bottom}, topLeft);
    if (flags & BF_TOP)
        FillSide(target, {r.left, r.top, r.right, r.top + 1}, topLeft);
    if (flags & BF_RIGHT)
        FillSide(target, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
    if (flags & BF_BOTTOM)
        FillSide(target, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
}

void Shrink(RECT& r, UINT flags)
{
    r.left += (flags & BF_LEFT) ? 1 : 0;
    r.top += (flags & BF_TOP) ? 1 : 0;
    r.right -= (flags & BF_RIGHT) ? 1 : 0;
    r.bottom -= (flags & BF_BOTTOM) ? 1 : 0;
}

} // namespace

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    GdiGuard guard(GdiLock());
    const std::optional<Target> target = TargetOf(hdc);
    if (!target || !rect)
        return 0;
    const auto value = reinterpret_cast<uintptr_t>(brush);
    if (value > 0 && value < kSysColorBrushes) {
        FillTarget(*target, *rect, RgbFromColorRef(GetSysColor(int(value - 1))));
        return 1;
    }
    const Brush* b = Find<Brush>(brush);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (b->style == BS_SOLID)
        FillTarget(*target, *rect, ResolveColor(*target->dc, b->color));
    return 1;
}

BOOL DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags)
{
    GdiGuard guard(GdiLock());
    const std::optional<Target> target = TargetOf(hdc);
    if (!target || !rect)
        return FALSE;
    RECT r = *rect;
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
        if (edge & BDR_RAISEDOUTER)
            Ring(*target, r, flags, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
        else
            Ring(*target, r, flags, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
        Shrink(r, flags);
    }
    if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
        if (edge & BDR_RAISEDINNER)
            Ring(*target, r, flags, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
        else
            Ring(*target, r, flags, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
        Shrink(r, flags);
    }
    if (flags & BF_MIDDLE)
        FillSide(*target, r, COLOR_BTNFACE);
    if (flags & BF_ADJUST)
        *rect = r;
    return TRUE;
}

// A dotted frame drawn by inverting every other pixel, so drawing it twice removes it.
BOOL DrawFocusRect(HDC hdc, const RECT* rect)
{
    GdiGuard guard(GdiLock());
    const std::optional<Target> target = TargetOf(hdc);
    if (!target || !rect)
        return FALSE;
    if (!target->surface.format)
        return TRUE;
    const Surface& s = target->surface;
    const uint32_t flip = s.format->Encode(0xFFFFFF);
    const RECT& b = target->bounds;
    auto invert = [&](LONG x, LONG y) {
        if (x < b.left || x >= b.right || y < b.top || y >= b.bottom || ((x + y) & 1))
            return;
        BYTE* row = s.Row(y);
        WritePixel(row, x, s.format->bitCount, ReadPixel(row, x, s.format->bitCount) ^ flip);
    };
    const RECT& r = *rect;
    for (LONG x = r.left; x < r.right; ++x) {
        invert(x, r.top);
        if (r.bottom - 1 > r.top)
            invert(x, r.bottom - 1);
    }
    for (LONG y = r.top + 1; y < r.bottom - 1; ++y) {
        invert(r.left, y);
        if (r.right - 1 > r.left)
            invert(r.right - 1, y);
    }
    return TRUE;
}
