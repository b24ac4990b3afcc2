#include "gdiobj.h"

#include "winbase.h"
#include "winerror.h"

#include <algorithm>
#include <utility>

namespace {

template<class H> H Swap(H& slot, H next)
{
    const H previous = slot;
    if (GdiObject* old = FindObject(previous))
        --old->selections;
    ++FindObject(next)->selections;
    slot = next;
    return previous;
}

void Deselect(HGDIOBJ handle)
{
    if (GdiObject* object = FindObject(handle))
        --object->selections;
}

DeviceContext* FindDC(HDC hdc)
{
    DeviceContext* dc = Find<DeviceContext>(hdc);
    if (!dc)
        SetLastError(ERROR_INVALID_HANDLE);
    return dc;
}

int ClipType(const DeviceContext& dc)
{
    if (!dc.clip)
        return SIMPLEREGION;
    return dc.clip->left < dc.clip->right && dc.clip->top < dc.clip->bottom ? SIMPLEREGION : NULLREGION;
}

} // namespace

HDC NewDC(bool memory)
{
    auto dc = std::make_unique<DeviceContext>();
    dc->memory = memory;
    DeviceContext& ref = *dc;
    HDC hdc = static_cast<HDC>(AddObject(std::move(dc)));
    if (memory)
        Swap(ref.bitmap, DefaultBitmap());
    Swap(ref.brush, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    Swap(ref.pen, static_cast<HPEN>(GetStockObject(BLACK_PEN)));
    Swap(ref.font, static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    Swap(ref.palette, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)));
    return hdc;
}

HDC CreateCompatibleDC(HDC hdc)
{
    GdiGuard guard(GdiLock());
    if (hdc && !FindDC(hdc))
        return nullptr;
    return NewDC(true);
}

BOOL DeleteDC(HDC hdc)
{
    GdiGuard guard(GdiLock());
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return FALSE;
    for (HGDIOBJ held : {HGDIOBJ(dc->bitmap), HGDIOBJ(dc->brush), HGDIOBJ(dc->pen), HGDIOBJ(dc->font), HGDIOBJ(dc->palette)})
        Deselect(held);
    RemoveObject(hdc);
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ handle)
{
    GdiGuard guard(GdiLock());
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return nullptr;
    GdiObject* object = FindObject(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    switch (object->kind) {
    case GdiKind::Bitmap:
        // A bitmap lives in one memory DC at a time; the screen DC's pixels are not selectable.
        if (!dc->memory || (handle != dc->bitmap && object->selections > 0 && !object->stock))
            return nullptr;
        return Swap(dc->bitmap, static_cast<HBITMAP>(handle));
    case GdiKind::Brush: return Swap(dc->brush, static_cast<HBRUSH>(handle));
    case GdiKind::Pen: return Swap(dc->pen, static_cast<HPEN>(handle));
    case GdiKind::Font: return Swap(dc->font, static_cast<HFONT>(handle));
    case GdiKind::Region: dc->clip = static_cast<Region*>(object)->rect; return reinterpret_cast<HGDIOBJ>(intptr_t(ClipType(*dc)));
    default: return nullptr;
    }
}

COLORREF SetTextColor(HDC hdc, COLORREF color)
{
    GdiGuard guard(GdiLock());
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return CLR_INVALID;
    return std::exchange(dc->textColor, color);
}

COLORREF SetBkColor(HDC hdc, COLORREF color)
{
    GdiGuard guard(GdiLock());
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return CLR_INVALID;
    return std::exchange(dc->bkColor, color);
}

int SetBkMode(HDC hdc, int mode)
{
    GdiGuard guard(GdiLock());
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return 0;
    if (mode != TRANSPARENT && mode != OPAQUE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return std::exchange(dc->bkMode, mode);
}

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    GdiGuard guard(GdiLock());
    const RECT r{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    return static_cast<HRGN>(AddObject(std::make_unique<Region>(r)));
}

HRGN CreateRectRgnIndirect(const RECT* rect)
{
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

int SelectClipRgn(HDC hdc, HRGN region)
{
    GdiGuard guard(GdiLock());
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return ERROR;
    if (!region) {
        dc->clip.reset();
        return SIMPLEREGION;
    }
    const Region* r = Find<Region>(region);
    if (!r) {
        SetLastError(ERROR_INVALID_HANDLE);
        return ERROR;
    }
    dc->clip = r->rect;
    return ClipType(*dc);
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    GdiGuard guard(GdiLock());
    DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return ERROR;
    const RECT r{left, top, right, bottom};
    RECT clipped;
    if (!dc->clip)
        dc->clip = r;
    else if (IntersectRects(clipped, *dc->clip, r))
        dc->clip = clipped;
    else
        dc->clip = RECT{0, 0, 0, 0};
    return ClipType(*dc);
}

std::optional<Target> TargetOf(HDC hdc)
{
    const DeviceContext* dc = FindDC(hdc);
    if (!dc)
        return std::nullopt;
    Target target;
    target.dc = dc;
    if (dc->window) {
        target.surface = *dc->window;
        RECT whole{0, 0, dc->window->width, dc->window->height};
        if (dc->clip)
            IntersectRects(target.bounds, whole, *dc->clip);
        else
            target.bounds = whole;
    } else if (const DibSection* dib = Find<DibSection>(dc->bitmap)) {
        target.surface = dib->View();
        RECT whole{0, 0, dib->width, dib->height};
        if (dc->clip)
            IntersectRects(target.bounds, whole, *dc->clip);
        else
            target.bounds = whole;
    }
    return target;
}

uint32_t ResolveColor(const DeviceContext& dc, COLORREF color)
{
    if ((color >> 24) == 1) {
        const Palette* palette = Find<Palette>(dc.palette);
        const WORD index = WORD(color);
        if (!palette || index >= palette->entries.size())
            return 0;
        const PALETTEENTRY& e = palette->entries[index];
        return uint32_t(e.peRed) << 16 | e.peGreen << 8 | e.peBlue;
    }
    return RgbFromColorRef(color & 0xFFFFFF);
}

void FillTarget(const Target& target, RECT rect, uint32_t rgb)
{
    RECT r;
    if (!IntersectRects(r, rect, target.bounds))
        return;
    const Surface& s = target.surface;
    const uint32_t value = s.format->Encode(rgb);
    for (int y = r.top; y < r.bottom; ++y) {
        BYTE* row = s.Row(y);
        switch (s.format->bitCount) {
        case 8: std::fill(row + r.left, row + r.right, BYTE(value)); break;
        case 32: std::fill(reinterpret_cast<uint32_t*>(row) + r.left, reinterpret_cast<uint32_t*>(row) + r.right, value); break;
        default:
            for (int x = r.left; x < r.right; ++x)
                WritePixel(row, x, s.format->bitCount, value);
        }
    }
}
