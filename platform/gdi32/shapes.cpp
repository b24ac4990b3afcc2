#include "gdiobj.h"

#include "winbase.h"
#include "winerror.h"

#include <algorithm>

HBRUSH CreateSolidBrush(COLORREF color)
{
    GdiGuard guard(GdiLock());
    return static_cast<HBRUSH>(AddObject(std::make_unique<Brush>(BS_SOLID, color)));
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    GdiGuard guard(GdiLock());
    if (style != PS_SOLID && style != PS_NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return static_cast<HPEN>(AddObject(std::make_unique<Pen>(UINT(style), width < 1 ? 1 : width, color)));
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    GdiGuard guard(GdiLock());
    const std::optional<Target> target = TargetOf(hdc);
    if (!target)
        return FALSE;
    RECT r{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    const Pen* pen = Find<Pen>(target->dc->pen);
    const Brush* brush = Find<Brush>(target->dc->brush);
    const bool outline = pen && pen->style == PS_SOLID;
    if (outline) {
        const uint32_t rgb = ResolveColor(*target->dc, pen->color);
        const int w = std::min<int>(pen->width, std::min(r.right - r.left, r.bottom - r.top) / 2 + 1);
        FillTarget(*target, {r.left, r.top, r.right, r.top + w}, rgb);
        FillTarget(*target, {r.left, r.bottom - w, r.right, r.bottom}, rgb);
        FillTarget(*target, {r.left, r.top + w, r.left + w, r.bottom - w}, rgb);
        FillTarget(*target, {r.right - w, r.top + w, r.right, r.bottom - w}, rgb);
        r = {r.left + w, r.top + w, r.right - w, r.bottom - w};
    } else {
        // Without a pen the interior stops one pixel short of the right and bottom edges.
        --r.right;
        --r.bottom;
    }
    if (brush && brush->style == BS_SOLID)
        FillTarget(*target, r, ResolveColor(*target->dc, brush->color));
    return TRUE;
}
