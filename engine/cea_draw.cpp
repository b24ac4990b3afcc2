// The drawing half of Graphic: copies between graphics of the same depth as plain row
// copies, transparent sources as copies of their precomputed opaque runs, translucent
// sources as a per-pixel blend, and everything else through the platform's blits.
#include "cea_display.h"
#include "cea_graphic.h"
#include "cea_palette.h"
#include "little_endian.h"
#include "memmgr.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr DWORD kNoRun = 0xFFFFFFFF;
constexpr int kRunsStep = 128;

// One copy: where it lands, where it comes from, and its size.
struct DrawRect {
    int64_t xDst, yDst, xSrc, ySrc, cx, cy;
};

DrawRect MakeRect(int xDst, int yDst, int xSrc, int ySrc, int cx, int cy, int cxSrc, int cySrc)
{
    DrawRect r = {xDst, yDst, xSrc, ySrc, cx, cy};
    if (cx == kToEdge)
        r.cx = cxSrc - r.xSrc;
    if (cy == kToEdge)
        r.cy = cySrc - r.ySrc;
    return r;
}

// Negative starts on the source side, then on the destination side, give up the part they
// cover; then the size is cut to what both bitmaps have left.
bool Clip(DrawRect& r, int64_t cxSrc, int64_t cySrc, int64_t cxDst, int64_t cyDst)
{
    if (r.xSrc < 0) {
        r.xDst -= r.xSrc;
        r.cx += r.xSrc;
        r.xSrc = 0;
    }
    if (r.ySrc < 0) {
        r.yDst -= r.ySrc;
        r.cy += r.ySrc;
        r.ySrc = 0;
    }
    if (r.xDst < 0) {
        r.xSrc -= r.xDst;
        r.cx += r.xDst;
        r.xDst = 0;
    }
    if (r.yDst < 0) {
        r.ySrc -= r.yDst;
        r.cy += r.yDst;
        r.yDst = 0;
    }
    r.cx = std::min({r.cx, cxSrc - r.xSrc, cxDst - r.xDst});
    r.cy = std::min({r.cy, cySrc - r.ySrc, cyDst - r.yDst});
    return r.xSrc < cxSrc && r.ySrc < cySrc && r.xDst < cxDst && r.yDst < cyDst && r.cx > 0 && r.cy > 0;
}

// The source side alone, for drawing onto a device context, which clips for itself.
bool ClipSource(DrawRect& r, int64_t cxSrc, int64_t cySrc)
{
    if (r.xSrc < 0) {
        r.xDst -= r.xSrc;
        r.cx += r.xSrc;
        r.xSrc = 0;
    }
    if (r.ySrc < 0) {
        r.yDst -= r.ySrc;
        r.cy += r.ySrc;
        r.ySrc = 0;
    }
    r.cx = std::min(r.cx, cxSrc - r.xSrc);
    r.cy = std::min(r.cy, cySrc - r.ySrc);
    return r.cx > 0 && r.cy > 0;
}

int BytesPerPixel(int bitCount)
{
    return bitCount / 8;
}

BYTE* PixelAddress(const Graphic::NOTCHILD& n, int64_t x, int64_t y)
{
    return n.bits + size_t(y) * n.cbPitch + size_t(x) * size_t(BytesPerPixel(n.bitCount));
}

void Blit(HDC hdc, Graphic* root, const DrawRect& r)
{
    HDC src = root->GetDC();
    if (!src)
        return;
    const COLORREF key = root->m.NotChild.transparency;
    if (key != kNoColor)
        TransparentBlt(hdc, int(r.xDst), int(r.yDst), int(r.cx), int(r.cy), src, int(r.xSrc), int(r.ySrc), int(r.cx), int(r.cy), key);
    else
        BitBlt(hdc, int(r.xDst), int(r.yDst), int(r.cx), int(r.cy), src, int(r.xSrc), int(r.ySrc), SRCCOPY);
    root->ReleaseDC();
}

void BlitThroughDC(Graphic* src, Graphic* dst, const DrawRect& r)
{
    HDC hdc = dst->GetDC();
    if (!hdc)
        return;
    Blit(hdc, src, r);
    dst->ReleaseDC();
}

void CopyRows(const Graphic* src, Graphic* dst, const DrawRect& r)
{
    const Graphic::NOTCHILD& s = src->m.NotChild;
    const Graphic::NOTCHILD& d = dst->m.NotChild;
    const size_t cb = size_t(r.cx) * size_t(BytesPerPixel(s.bitCount));
    const BYTE* from = PixelAddress(s, r.xSrc, r.ySrc);
    BYTE* to = PixelAddress(d, r.xDst, r.yDst);
    ptrdiff_t fromStep = ptrdiff_t(s.cbPitch), toStep = ptrdiff_t(d.cbPitch);
    // Within one bitmap, a copy downwards starts at the bottom so no row is read after it
    // was written.
    if (src == dst && r.yDst > r.ySrc) {
        from += (r.cy - 1) * fromStep;
        to += (r.cy - 1) * toStep;
        fromStep = -fromStep;
        toStep = -toStep;
    }
    for (int64_t i = 0; i < r.cy; ++i, from += fromStep, to += toStep)
        std::memmove(to, from, cb);
}

template<size_t N> void Move(BYTE* to, const BYTE* from)
{
    std::memcpy(to, from, N);
}

// Copies a run between two bitmaps. Most runs inside a sprite are a few pixels long: those
// take two overlapping moves of a fixed size in place of a library call.
void CopyRun(BYTE* to, const BYTE* from, size_t cb)
{
    if (cb > 32)
        std::memcpy(to, from, cb);
    else if (cb >= 16) {
        Move<16>(to, from);
        Move<16>(to + cb - 16, from + cb - 16);
    } else if (cb >= 8) {
        Move<8>(to, from);
        Move<8>(to + cb - 8, from + cb - 8);
    } else if (cb >= 4) {
        Move<4>(to, from);
        Move<4>(to + cb - 4, from + cb - 4);
    } else if (cb >= 2) {
        Move<2>(to, from);
        Move<2>(to + cb - 2, from + cb - 2);
    } else if (cb == 1)
        *to = *from;
}

bool CopyRuns(Graphic* src, Graphic* dst, const DrawRect& r)
{
    src->UpdateRuns();
    const Graphic::NOTCHILD& s = src->m.NotChild;
    const Graphic::NOTCHILD& d = dst->m.NotChild;
    if (s.cRowRuns < s.rect.bottom)
        return false;
    const size_t bpp = size_t(BytesPerPixel(s.bitCount));
    const int64_t xEnd = r.xSrc + r.cx;
    const bool upwards = src == dst && r.yDst > r.ySrc;
    const bool wholeRows = r.xSrc == 0 && r.cx == s.rect.right && src != dst;
    for (int64_t i = 0; i < r.cy; ++i) {
        const int64_t row = upwards ? r.cy - 1 - i : i;
        const ROWRUNS& rr = s.rowRuns[r.ySrc + row];
        if (rr.iFirst == kNoRun)
            continue;
        const BYTE* srcRow = s.bits + size_t(r.ySrc + row) * s.cbPitch;
        BYTE* dstRow = PixelAddress(d, r.xDst - r.xSrc, r.yDst + row);
        const OPAQUERUN* runs = s.runs + rr.iFirst;
        if (wholeRows) {
            // The common case, a whole sprite: every run is copied as it stands.
            for (const OPAQUERUN* run = runs; run != runs + rr.cRuns; ++run)
                CopyRun(dstRow + run->x * bpp, srcRow + run->x * bpp, run->cx * bpp);
            continue;
        }
        for (DWORD k = 0; k < rr.cRuns; ++k) {
            const OPAQUERUN& run = runs[k];
            if (run.x >= xEnd)
                break;
            const int64_t start = std::max<int64_t>(run.x, r.xSrc);
            const int64_t end = std::min<int64_t>(run.x + run.cx, xEnd);
            if (start < end)
                std::memmove(dstRow + start * bpp, srcRow + start * bpp, size_t(end - start) * bpp);
        }
    }
    return true;
}

// Blending. Each source pixel is read as 8-bit channels and mixed into the destination's
// own fields: d + floor((s - d) * opacity / 256), an opacity of 255 counting as 256.

enum class Kind { Indexed8, Rgb555, Rgb565, Rgb24, Rgb32 };

Kind KindOf(int bitCount)
{
    switch (bitCount) {
    case 8: return Kind::Indexed8;
    case 16: return GetDisplay().f555 ? Kind::Rgb555 : Kind::Rgb565;
    case 24: return Kind::Rgb24;
    default: return Kind::Rgb32;
    }
}

struct Color8 {
    int r, g, b;
};

template<Kind K> Color8 Load(const BYTE* p, const RGBQUAD* palette)
{
    if constexpr (K == Kind::Indexed8) {
        const RGBQUAD& q = palette[*p];
        return {q.rgbRed, q.rgbGreen, q.rgbBlue};
    } else if constexpr (K == Kind::Rgb555 || K == Kind::Rgb565) {
        const int w = LoadLe16(p);
        if constexpr (K == Kind::Rgb555)
            return {((w >> 10) & 31) * 8, ((w >> 5) & 31) * 8, (w & 31) * 8};
        else
            return {((w >> 11) & 31) * 8, ((w >> 5) & 63) * 4, (w & 31) * 8};
    } else {
        return {p[2], p[1], p[0]};
    }
}

inline int Mix(int d, int s, int a)
{
    return d + (((s - d) * a) >> 8);
}

template<Kind K> void Store(BYTE* p, Color8 c, int a, const RGBQUAD* palette, const PaletteGroup* group)
{
    if constexpr (K == Kind::Indexed8) {
        const RGBQUAD& q = palette[*p];
        const DWORD i = group->BlendIndex(BYTE(Mix(q.rgbRed, c.r, a)), BYTE(Mix(q.rgbGreen, c.g, a)), BYTE(Mix(q.rgbBlue, c.b, a)));
        if (i != kNoIndex)
            *p = BYTE(i);
    } else if constexpr (K == Kind::Rgb555) {
        const int w = LoadLe16(p);
        const int v = Mix((w >> 10) & 31, c.r >> 3, a) << 10 | Mix((w >> 5) & 31, c.g >> 3, a) << 5 | Mix(w & 31, c.b >> 3, a);
        StoreLe16(p, uint32_t(v));
    } else if constexpr (K == Kind::Rgb565) {
        const int w = LoadLe16(p);
        const int v = Mix((w >> 11) & 31, c.r >> 3, a) << 11 | Mix((w >> 5) & 63, c.g >> 2, a) << 5 | Mix(w & 31, c.b >> 3, a);
        StoreLe16(p, uint32_t(v));
    } else {
        p[0] = BYTE(Mix(p[0], c.b, a));
        p[1] = BYTE(Mix(p[1], c.g, a));
        p[2] = BYTE(Mix(p[2], c.r, a));
    }
}

constexpr int Bytes(Kind k)
{
    return k == Kind::Indexed8 ? 1 : k == Kind::Rgb24 ? 3 : k == Kind::Rgb32 ? 4 : 2;
}

template<Kind S, Kind D> void BlendRect(const Graphic* src, Graphic* dst, const DrawRect& r)
{
    const Graphic::NOTCHILD& s = src->m.NotChild;
    const Graphic::NOTCHILD& d = dst->m.NotChild;
    const TRANSLUCENCY& t = s.translucency;
    const PaletteGroup* group = d.paletteGroup;
    for (int64_t row = 0; row < r.cy; ++row) {
        const BYTE* sp = s.bits + size_t(r.ySrc + row) * s.cbPitch + size_t(r.xSrc) * Bytes(S);
        BYTE* dp = d.bits + size_t(r.yDst + row) * d.cbPitch + size_t(r.xDst) * Bytes(D);
        const BYTE* map = t.type == kOpacityMap ? t.opacity + size_t(r.ySrc + row) * t.cbStride + size_t(r.xSrc) : nullptr;
        for (int64_t col = 0; col < r.cx; ++col, sp += Bytes(S), dp += Bytes(D)) {
            int a = map ? map[col] : t.defaultOpacity;
            if (a == 0)
                continue;
            if (a == 255)
                a = 256;
            Store<D>(dp, Load<S>(sp, s.palette), a, d.palette, group);
        }
    }
}

template<Kind S> void BlendTo(const Graphic* src, Graphic* dst, const DrawRect& r)
{
    switch (KindOf(dst->m.NotChild.bitCount)) {
    case Kind::Indexed8: BlendRect<S, Kind::Indexed8>(src, dst, r); break;
    case Kind::Rgb555: BlendRect<S, Kind::Rgb555>(src, dst, r); break;
    case Kind::Rgb565: BlendRect<S, Kind::Rgb565>(src, dst, r); break;
    case Kind::Rgb24: BlendRect<S, Kind::Rgb24>(src, dst, r); break;
    case Kind::Rgb32: BlendRect<S, Kind::Rgb32>(src, dst, r); break;
    }
}

void Blend(const Graphic* src, Graphic* dst, const DrawRect& r)
{
    const Graphic::NOTCHILD& s = src->m.NotChild;
    const Graphic::NOTCHILD& d = dst->m.NotChild;
    // Sources below 8 bits are never made translucent; a palettised destination needs its
    // group to turn blended colours back into indices.
    if (d.bitCount < 8 || s.bitCount < 8 || (d.bitCount == 8 && !d.paletteGroup))
        return;
    if (s.translucency.type == kOpacityMap && (!s.translucency.opacity || s.translucency.cRows < DWORD(s.rect.bottom)))
        return;
    switch (KindOf(s.bitCount)) {
    case Kind::Indexed8: BlendTo<Kind::Indexed8>(src, dst, r); break;
    case Kind::Rgb555: BlendTo<Kind::Rgb555>(src, dst, r); break;
    case Kind::Rgb565: BlendTo<Kind::Rgb565>(src, dst, r); break;
    case Kind::Rgb24: BlendTo<Kind::Rgb24>(src, dst, r); break;
    case Kind::Rgb32: BlendTo<Kind::Rgb32>(src, dst, r); break;
    }
}

void Translate(DrawRect& r, POINT src, POINT dst)
{
    r.xSrc += src.x;
    r.ySrc += src.y;
    r.xDst += dst.x;
    r.yDst += dst.y;
}

} // namespace

void Graphic::DrawTo(Graphic* dst, int xDst, int yDst, int xSrc, int ySrc, int cx, int cy)
{
    if (!Check(__func__) || !dst || !dst->valid || !HasBitmap() || !dst->HasBitmap())
        return;
    DrawRect r = MakeRect(xDst, yDst, xSrc, ySrc, cx, cy, GetWidth(), GetHeight());
    if (!Clip(r, GetWidth(), GetHeight(), dst->GetWidth(), dst->GetHeight()))
        return;
    Translate(r, OffsetInRoot(), dst->OffsetInRoot());
    Graphic* src = Root();
    Graphic* to = dst->Root();
    const int depth = src->m.NotChild.bitCount;
    if (src->m.NotChild.translucency.type != kOpaque)
        Blend(src, to, r);
    else if (depth != to->m.NotChild.bitCount || depth < 8)
        BlitThroughDC(src, to, r);
    else if (src->m.NotChild.transparency != kNoColor) {
        if (!CopyRuns(src, to, r))
            BlitThroughDC(src, to, r);
    } else
        CopyRows(src, to, r);
}

void Graphic::DrawTo(HDC dst, int xDst, int yDst, int xSrc, int ySrc, int cx, int cy)
{
    if (!Check(__func__) || !dst || !HasBitmap())
        return;
    DrawRect r = MakeRect(xDst, yDst, xSrc, ySrc, cx, cy, GetWidth(), GetHeight());
    if (!ClipSource(r, GetWidth(), GetHeight()))
        return;
    Translate(r, OffsetInRoot(), {0, 0});
    Blit(dst, Root(), r);
}

void Graphic::StretchTo(Graphic* dst, int xDst, int yDst, int cxDst, int cyDst, int xSrc, int ySrc, int cxSrc, int cySrc)
{
    if (!Check(__func__) || !dst || !dst->valid || !HasBitmap() || !dst->HasBitmap())
        return;
    if (cxDst == cxSrc && cyDst == cySrc) {
        DrawTo(dst, xDst, yDst, xSrc, ySrc, cxSrc, cySrc);
        return;
    }
    const POINT at = dst->OffsetInRoot();
    Graphic* to = dst->Root();
    HDC hdc = to->GetDC();
    if (!hdc)
        return;
    StretchTo(hdc, xDst + at.x, yDst + at.y, cxDst, cyDst, xSrc, ySrc, cxSrc, cySrc);
    to->ReleaseDC();
}

void Graphic::StretchTo(HDC dst, int xDst, int yDst, int cxDst, int cyDst, int xSrc, int ySrc, int cxSrc, int cySrc)
{
    if (!Check(__func__) || !dst || !HasBitmap())
        return;
    if (cxDst == cxSrc && cyDst == cySrc) {
        DrawTo(dst, xDst, yDst, xSrc, ySrc, cxSrc, cySrc);
        return;
    }
    if (cxSrc == kToEdge)
        cxSrc = GetWidth() - xSrc;
    if (cySrc == kToEdge)
        cySrc = GetHeight() - ySrc;
    const POINT at = OffsetInRoot();
    Graphic* root = Root();
    HDC src = root->GetDC();
    if (!src)
        return;
    const COLORREF key = root->m.NotChild.transparency;
    if (key != kNoColor)
        TransparentBlt(dst, xDst, yDst, cxDst, cyDst, src, xSrc + at.x, ySrc + at.y, cxSrc, cySrc, key);
    else
        StretchBlt(dst, xDst, yDst, cxDst, cyDst, src, xSrc + at.x, ySrc + at.y, cxSrc, cySrc, SRCCOPY);
    root->ReleaseDC();
}

namespace {

// Lays tiles of cxSrc x cySrc from (x - xPhase, y - yPhase) over the destination rectangle
// and hands each tile's part inside it to draw(xDst, yDst, xSrc, ySrc, cx, cy).
template<class Draw>
void Tile(int64_t x, int64_t y, int64_t cx, int64_t cy, int64_t xSrc, int64_t ySrc, int64_t cxSrc, int64_t cySrc, int64_t xPhase,
          int64_t yPhase, Draw draw)
{
    if (cxSrc <= 0 || cySrc <= 0 || cx <= 0 || cy <= 0)
        return;
    // Whole tiles of phase change nothing.
    xPhase %= cxSrc;
    yPhase %= cySrc;
    for (int64_t ty = y - yPhase; ty < y + cy; ty += cySrc) {
        const int64_t top = std::max(ty, y);
        const int64_t bottom = std::min(ty + cySrc, y + cy);
        if (top >= bottom)
            continue;
        for (int64_t tx = x - xPhase; tx < x + cx; tx += cxSrc) {
            const int64_t left = std::max(tx, x);
            const int64_t right = std::min(tx + cxSrc, x + cx);
            if (left < right)
                draw(int(left), int(top), int(xSrc + left - tx), int(ySrc + top - ty), int(right - left), int(bottom - top));
        }
    }
}

} // namespace

void Graphic::TileTo(Graphic* dst, int xDst, int yDst, int cxDst, int cyDst, int xSrc, int ySrc, int cxSrc, int cySrc, int xPhase,
                     int yPhase)
{
    if (!Check(__func__) || !dst || !dst->valid)
        return;
    const int64_t cx = cxDst == kToEdge ? int64_t(dst->GetWidth()) - xDst : cxDst;
    const int64_t cy = cyDst == kToEdge ? int64_t(dst->GetHeight()) - yDst : cyDst;
    const int64_t cxs = cxSrc == kToEdge ? int64_t(GetWidth()) - xSrc : cxSrc;
    const int64_t cys = cySrc == kToEdge ? int64_t(GetHeight()) - ySrc : cySrc;
    Tile(xDst, yDst, cx, cy, xSrc, ySrc, cxs, cys, xPhase, yPhase,
         [&](int x, int y, int xs, int ys, int w, int h) { DrawTo(dst, x, y, xs, ys, w, h); });
}

void Graphic::TileTo(HDC dst, int xDst, int yDst, int cxDst, int cyDst, int xSrc, int ySrc, int cxSrc, int cySrc, int xPhase, int yPhase)
{
    if (!Check(__func__) || !dst)
        return;
    // A device context's edge is the screen's.
    const int64_t cx = cxDst == kToEdge ? int64_t(GetDeviceCaps(dst, HORZRES)) - xDst : cxDst;
    const int64_t cy = cyDst == kToEdge ? int64_t(GetDeviceCaps(dst, VERTRES)) - yDst : cyDst;
    const int64_t cxs = cxSrc == kToEdge ? int64_t(GetWidth()) - xSrc : cxSrc;
    const int64_t cys = cySrc == kToEdge ? int64_t(GetHeight()) - ySrc : cySrc;
    Tile(xDst, yDst, cx, cy, xSrc, ySrc, cxs, cys, xPhase, yPhase,
         [&](int x, int y, int xs, int ys, int w, int h) { DrawTo(dst, x, y, xs, ys, w, h); });
}

void Graphic::FreeRuns()
{
    NOTCHILD& n = m.NotChild;
    MEM_FREE(n.runs);
    MEM_FREE(n.rowRuns);
    n.runs = nullptr;
    n.rowRuns = nullptr;
    n.cRuns = n.cRunsAlloc = n.cRowRuns = 0;
    n.runsKey = kNoColor;
}

void Graphic::UpdateRuns()
{
    if (!valid)
        return;
    Graphic* root = Root();
    NOTCHILD& n = root->m.NotChild;
    if (n.transparency == n.runsKey)
        return;
    n.runsKey = n.transparency;
    if (n.transparency == kNoColor || !n.bits)
        return;
    const DWORD key = root->ColorToValue(n.transparency);
    const int cx = n.rect.right;
    const int cy = n.rect.bottom;
    MEM_FREE(n.rowRuns);
    n.cRowRuns = 0;
    n.cRuns = 0;
    n.rowRuns = static_cast<ROWRUNS*>(MEM_ALLOC(sizeof(ROWRUNS) * size_t(cy), "ROWRUNS"));
    if (!n.rowRuns)
        return;
    for (int y = 0; y < cy; ++y) {
        ROWRUNS& row = n.rowRuns[y];
        row = {kNoRun, 0};
        int start = -1;
        for (int x = 0; x <= cx; ++x) {
            const bool opaque = x < cx && root->GetPixelValue(x, y) != key;
            if (opaque && start < 0)
                start = x;
            if (opaque || start < 0)
                continue;
            if (n.cRuns == n.cRunsAlloc && !MEM_GROW_ARRAY(&n.runs, &n.cRunsAlloc, n.cRuns + 1, kRunsStep))
                return;
            n.runs[n.cRuns] = {DWORD(start), DWORD(x - start)};
            if (row.iFirst == kNoRun)
                row.iFirst = DWORD(n.cRuns);
            ++row.cRuns;
            ++n.cRuns;
            start = -1;
        }
        n.cRowRuns = y + 1;
    }
}
