#include "blitrows.h"
#include "gdiobj.h"

#include "winbase.h"
#include "winerror.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

namespace {

// 24-bit pixels and 32-bit ones with the usual masks hold the same colour in their low 24 bits.
bool EightBitChannels(const PixelFormat& f)
{
    return f.bitCount == 24 || (f.bitCount == 32 && f.masks[0] == 0xFF0000 && f.masks[1] == 0xFF00 && f.masks[2] == 0xFF);
}

// Turns source pixel values into destination pixel values.
class Translator {
public:
    Translator(const PixelFormat& src, const PixelFormat& dst) : src_(src), dst_(dst)
    {
        if (src.SameLayout(dst) || (EightBitChannels(src) && EightBitChannels(dst))) {
            mode_ = Mode::Copy;
            if (src.bitCount != dst.bitCount)
                copyMask_ = 0xFFFFFF;
        } else if (src.Indexed()) {
            mode_ = Mode::Table;
            for (size_t i = 0; i < src.table.size(); ++i)
                table_[i] = dst.Encode(src.TableRgb(uint32_t(i)));
        } else if (dst.Indexed()) {
            mode_ = Mode::Nearest;
            nearest_.assign(4096, ~uint64_t{0});
        }
    }

    uint32_t operator()(uint32_t raw)
    {
        switch (mode_) {
        case Mode::Copy: return raw & copyMask_;
        case Mode::Table: return table_[raw];
        case Mode::Convert: return dst_.Encode(src_.Decode(raw));
        case Mode::Nearest: {
            // Frames hold few distinct colours; remember recent answers of the palette search.
            const uint32_t rgb = src_.Decode(raw);
            uint64_t& slot = nearest_[(rgb * 2654435761u) >> 20];
            if ((slot >> 8) != rgb)
                slot = uint64_t{rgb} << 8 | dst_.Encode(rgb);
            return uint32_t(slot & 0xFF);
        }
        }
        return 0;
    }

private:
    enum class Mode { Copy, Table, Convert, Nearest };
    const PixelFormat& src_;
    const PixelFormat& dst_;
    Mode mode_ = Mode::Convert;
    uint32_t copyMask_ = 0xFFFFFFFF; // drops the fourth byte of 32-bit pixels going to 24 bits or coming from them
    std::array<uint32_t, 256> table_{};
    std::vector<uint64_t> nearest_; // only for indexed destinations
};

// The colour key of a transparent blit, in source pixel values.
class Key {
public:
    Key(const PixelFormat& src, uint32_t rgb)
    {
        if (src.Indexed()) {
            indexed_ = true;
            for (size_t i = 0; i < src.table.size(); ++i)
                keyed_[i] = src.TableRgb(uint32_t(i)) == rgb;
        } else {
            mask_ = src.bitCount == 24 ? 0xFFFFFF : src.masks[0] | src.masks[1] | src.masks[2];
            value_ = src.Encode(rgb) & mask_;
        }
    }
    bool Matches(uint32_t raw) const { return indexed_ ? keyed_[raw] : (raw & mask_) == value_; }

private:
    bool indexed_ = false;
    std::array<bool, 256> keyed_{};
    uint32_t mask_ = 0;
    uint32_t value_ = 0;
};

struct RowJob {
    const BYTE* src;
    BYTE* dst;
    int dx; // first destination pixel
    int count;
    int sx; // first source pixel when unscaled
    const int* xmap; // per destination pixel source x (negative: outside), or null
    Translator* translate;
    const Key* key;
};

template<int SB, int DB, bool Scaled, bool Keyed> void CopyRow(const RowJob& job)
{
    for (int i = 0; i < job.count; ++i) {
        const int sx = Scaled ? job.xmap[i] : job.sx + i;
        if (Scaled && sx < 0)
            continue;
        const uint32_t raw = ReadPixel(job.src, sx, SB);
        if (Keyed && job.key->Matches(raw))
            continue;
        WritePixel(job.dst, job.dx + i, DB, (*job.translate)(raw));
    }
}

using RowFn = void (*)(const RowJob&);

// Row copiers for one pair of depths: plain, keyed, scaled, scaled and keyed.
template<int SB, int DB> constexpr std::array<RowFn, 4> Variants()
{
    return {CopyRow<SB, DB, false, false>, CopyRow<SB, DB, false, true>, CopyRow<SB, DB, true, false>, CopyRow<SB, DB, true, true>};
}

template<int SB> constexpr std::array<std::array<RowFn, 4>, 6> RowsFrom()
{
    return {Variants<SB, 1>(), Variants<SB, 4>(), Variants<SB, 8>(), Variants<SB, 16>(), Variants<SB, 24>(), Variants<SB, 32>()};
}

int DepthSlot(int bitCount)
{
    switch (bitCount) {
    case 1: return 0;
    case 4: return 1;
    case 8: return 2;
    case 16: return 3;
    case 24: return 4;
    default: return 5;
    }
}

RowFn RowFunction(int srcBits, int dstBits, bool scaled, bool keyed)
{
    static constexpr std::array<std::array<std::array<RowFn, 4>, 6>, 6> rows
        = {RowsFrom<1>(), RowsFrom<4>(), RowsFrom<8>(), RowsFrom<16>(), RowsFrom<24>(), RowsFrom<32>()};
    return rows[DepthSlot(srcBits)][DepthSlot(dstBits)][(scaled ? 2 : 0) + (keyed ? 1 : 0)];
}

struct Request {
    int64_t dx, dy, dw, dh; // destination rectangle, DC coordinates
    int64_t sx, sy, sw, sh; // source rectangle
};

RECT Clamp(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    auto c = [](int64_t v) { return LONG(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    return {c(left), c(top), c(right), c(bottom)};
}

// Copies src (a rectangle of it, scaled to the destination rectangle) onto the target,
// leaving destination pixels alone where the source has the key colour (0x00RRGGBB).
void Transfer(const Target& target, const Surface& src, const Request& rq, std::optional<uint32_t> keyRgb)
{
    RECT visible;
    if (!IntersectRects(visible, Clamp(rq.dx, rq.dy, rq.dx + rq.dw, rq.dy + rq.dh), target.bounds))
        return;
    const bool scaled = rq.dw != rq.sw || rq.dh != rq.sh;
    if (!scaled) {
        // Cut to the source so every pixel read lies inside it.
        const RECT fromSource = Clamp(rq.dx - rq.sx, rq.dy - rq.sy, rq.dx - rq.sx + src.width, rq.dy - rq.sy + src.height);
        if (!IntersectRects(visible, visible, fromSource))
            return;
    }
    const int count = visible.right - visible.left;
    std::vector<int> xmap;
    if (scaled) {
        xmap.resize(count);
        for (int i = 0; i < count; ++i) {
            const int64_t x = rq.sx + (visible.left - rq.dx + i) * rq.sw / rq.dw;
            xmap[i] = x < 0 || x >= src.width ? -1 : int(x);
        }
    }
    const PixelFormat& sf = *src.format;
    const PixelFormat& df = *target.surface.format;
    const bool rawCopy = !scaled && !keyRgb && sf.SameLayout(df) && sf.bitCount >= 8;
    const std::optional<FastRow> fast = scaled || rawCopy ? std::nullopt : FastRowFor(sf, df, keyRgb);
    // The per-pixel path's tables are only made when it runs.
    std::optional<Translator> translate;
    std::optional<Key> key;
    if (!rawCopy && !fast) {
        translate.emplace(sf, df);
        if (keyRgb)
            key.emplace(sf, *keyRgb);
    }
    const RowFn row = RowFunction(sf.bitCount, df.bitCount, scaled, keyRgb.has_value());
    const int srcBytes = sf.bitCount / 8, dstBytes = df.bitCount / 8;
    const int sx = scaled ? 0 : int(rq.sx + (visible.left - rq.dx));
    if (rawCopy || fast) {
        // Unscaled, so every row lies inside the source.
        const RowSpan span{src.Row(int(rq.sy + (visible.top - rq.dy))) + sx * srcBytes,
                           src.step,
                           target.surface.Row(visible.top) + visible.left * dstBytes,
                           target.surface.step,
                           count,
                           int(visible.bottom - visible.top)};
        if (fast) {
            fast->copy(*fast, span);
            return;
        }
        for (int y = 0; y < span.rows; ++y)
            std::memcpy(span.dst + y * span.dstStep, span.src + y * span.srcStep, size_t(count) * srcBytes);
        return;
    }
    for (int y = visible.top; y < visible.bottom; ++y) {
        const int64_t sy = rq.sy + (scaled ? (y - rq.dy) * rq.sh / rq.dh : y - rq.dy);
        if (sy < 0 || sy >= src.height)
            continue;
        BYTE* dstRow = target.surface.Row(y);
        const BYTE* srcRow = src.Row(int(sy));
        row({srcRow, dstRow, int(visible.left), count, sx, scaled ? xmap.data() : nullptr, &*translate, key ? &*key : nullptr});
    }
}

// Blits within one bitmap read from a snapshot, so overlapping rectangles copy as if at once.
struct SourceCopy {
    std::vector<BYTE> bytes;
    Surface surface;
};

std::optional<Surface> SourceOf(const Target& src, const Target& dst, SourceCopy& copy)
{
    const DibSection* dib = Find<DibSection>(src.dc->bitmap);
    if (!dib)
        return std::nullopt;
    Surface s = dib->View();
    if (dst.surface.format == s.format) {
        copy.bytes.assign(dib->bits, dib->bits + size_t(dib->pitch) * dib->height);
        const ptrdiff_t offset = s.top - dib->bits;
        s.top = copy.bytes.data() + offset;
    }
    return s;
}

BOOL Stretch(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc, int hSrc,
             const COLORREF* transparent)
{
    const std::optional<Target> dst = TargetOf(hdcDest);
    const std::optional<Target> src = TargetOf(hdcSrc);
    if (!dst || !src)
        return FALSE;
    if (wDest <= 0 || hDest <= 0 || wSrc <= 0 || hSrc <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SourceCopy copy;
    const std::optional<Surface> surface = SourceOf(*src, *dst, copy);
    if (!surface) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!dst->surface.format)
        return TRUE; // the screen DC has nothing to draw on
    std::optional<uint32_t> keyRgb;
    if (transparent)
        keyRgb = ResolveColor(*src->dc, *transparent);
    const Request rq{xDest, yDest, wDest, hDest, xSrc, ySrc, wSrc, hSrc};
    Transfer(*dst, *surface, rq, keyRgb);
    return TRUE;
}

} // namespace

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop)
{
    GdiGuard guard(GdiLock());
    const std::optional<Target> target = TargetOf(hdc);
    if (!target)
        return FALSE;
    const int64_t right = int64_t{x} + w, bottom = int64_t{y} + h;
    const RECT r
        = Clamp(std::min<int64_t>(x, right), std::min<int64_t>(y, bottom), std::max<int64_t>(x, right), std::max<int64_t>(y, bottom));
    switch (rop) {
    case BLACKNESS: FillTarget(*target, r, 0); return TRUE;
    case WHITENESS: FillTarget(*target, r, 0xFFFFFF); return TRUE;
    case PATCOPY: {
        const Brush* brush = Find<Brush>(target->dc->brush);
        if (brush && brush->style == BS_SOLID)
            FillTarget(*target, r, ResolveColor(*target->dc, brush->color));
        return TRUE;
    }
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
    }
}

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    GdiGuard guard(GdiLock());
    if (rop != SRCCOPY)
        return PatBlt(hdc, x, y, cx, cy, rop);
    if (cx == 0 || cy == 0)
        return TargetOf(hdc) && TargetOf(hdcSrc);
    return Stretch(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, nullptr);
}

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop)
{
    GdiGuard guard(GdiLock());
    if (rop != SRCCOPY)
        return PatBlt(hdcDest, xDest, yDest, wDest, hDest, rop);
    return Stretch(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, nullptr);
}

BOOL TransparentBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc, int hSrc,
                    UINT crTransparent)
{
    GdiGuard guard(GdiLock());
    const COLORREF key = crTransparent;
    return Stretch(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, &key);
}
