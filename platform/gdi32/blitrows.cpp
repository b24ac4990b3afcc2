#include "blitrows.h"

#include <algorithm>

namespace {

bool plainBlits = false;

// 24-bit pixels and 32-bit ones with the usual masks hold the same colour in their low 24 bits.
bool EightBitChannels(const PixelFormat& f)
{
    return f.bitCount == 24 || (f.bitCount == 32 && f.masks[0] == 0xFF0000 && f.masks[1] == 0xFF00 && f.masks[2] == 0xFF);
}

template<int Bytes> inline uint32_t Load(const BYTE* p, int i)
{
    p += i * Bytes;
    if constexpr (Bytes == 2)
        return uint32_t(p[0]) | uint32_t(p[1]) << 8;
    else if constexpr (Bytes == 3)
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    else {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
}

template<int Bytes> inline void Store(BYTE* p, int i, uint32_t v)
{
    p += i * Bytes;
    if constexpr (Bytes == 4) {
        std::memcpy(p, &v, 4);
    } else {
        p[0] = BYTE(v);
        p[1] = BYTE(v >> 8);
        if constexpr (Bytes == 3)
            p[2] = BYTE(v >> 16);
    }
}

// The direct row loops are also built for AVX2, picked at load time where the processor has
// it: twice the pixels per step, and shuffles for 3-byte pixels. (Clang cannot clone templates.)
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define QUIBO_ROW_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define QUIBO_ROW_CLONES
#endif

template<int DB, bool Keyed> inline void IndexedRow(const FastRow& row, const BYTE* __restrict src, BYTE* __restrict dst, int count)
{
    const uint32_t* __restrict value = row.value;
    const uint32_t* __restrict keep = row.keep;
    for (int i = 0; i < count; ++i) {
        uint32_t v = value[src[i]];
        if constexpr (Keyed)
            v |= Load<DB>(dst, i) & keep[src[i]];
        Store<DB>(dst, i, v);
    }
}

template<int SB, int DB, bool Keyed> inline void DirectRow(const FastRow& row, const BYTE* __restrict src, BYTE* __restrict dst, int count)
{
    // Locals, so stores through the byte pointers cannot be taken to change them.
    const uint32_t copyMask = row.copyMask, keyMask = row.keyMask, keyValue = row.keyValue;
    for (int i = 0; i < count; ++i) {
        const uint32_t raw = Load<SB>(src, i);
        uint32_t v = raw & copyMask;
        if constexpr (Keyed) {
            // All ones where the pixel is the key, so the destination pixel stays.
            const uint32_t keep = 0u - uint32_t((raw & keyMask) == keyValue);
            v = (v & ~keep) | (Load<DB>(dst, i) & keep);
        }
        Store<DB>(dst, i, v);
    }
}

template<int DB, bool Keyed> void IndexedRows(const FastRow& row, const RowSpan& s)
{
    for (int y = 0; y < s.rows; ++y)
        IndexedRow<DB, Keyed>(row, s.src + y * s.srcStep, s.dst + y * s.dstStep, s.count);
}

template<int SB, int DB, bool Keyed> QUIBO_ROW_CLONES void DirectRows(const FastRow& row, const RowSpan& s)
{
    for (int y = 0; y < s.rows; ++y)
        DirectRow<SB, DB, Keyed>(row, s.src + y * s.srcStep, s.dst + y * s.dstStep, s.count);
}

template<int DB> RowCopy IndexedFor(bool keyed)
{
    return keyed ? IndexedRows<DB, true> : IndexedRows<DB, false>;
}

template<int SB, int DB> RowCopy DirectFor(bool keyed)
{
    return keyed ? DirectRows<SB, DB, true> : DirectRows<SB, DB, false>;
}

bool SameFormat(const IndexLookup& l, const PixelFormat& f)
{
    return l.bitCount == f.bitCount && std::equal(l.masks, l.masks + 3, f.masks) && l.table.size() == f.table.size()
           && std::equal(l.table.begin(), l.table.end(), f.table.begin(), [](const RGBQUAD& a, const RGBQUAD& b) {
                  return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
              });
}

const IndexLookup& LookupFor(const PixelFormat& src, const PixelFormat& dst, std::optional<uint32_t> keyRgb)
{
    if (!src.lookup || !SameFormat(*src.lookup, dst)) {
        auto l = std::make_shared<IndexLookup>();
        l->bitCount = dst.bitCount;
        std::copy(dst.masks, dst.masks + 3, l->masks);
        l->table = dst.table;
        for (size_t i = 0; i < src.table.size(); ++i) {
            l->value[i] = dst.Encode(src.TableRgb(uint32_t(i)));
            for (size_t b = 0; b < 4; ++b)
                l->planes[256 * b + i] = BYTE(l->value[i] >> (8 * b));
            l->topByte = l->topByte || (l->value[i] >> 24) != 0;
        }
        src.lookup = std::move(l);
    }
    IndexLookup& l = *src.lookup;
    if (keyRgb && l.keyRgb != keyRgb) {
        for (size_t i = 0; i < src.table.size(); ++i) {
            l.keep[i] = src.TableRgb(uint32_t(i)) == *keyRgb ? 0xFFFFFFFF : 0;
            l.keyedValue[i] = l.value[i] & ~l.keep[i];
            l.planes[4 * 256 + i] = BYTE(l.keep[i]);
        }
        l.keyRgb = keyRgb;
    }
    return l;
}

} // namespace

std::optional<FastRow> FastRowFor(const PixelFormat& src, const PixelFormat& dst, std::optional<uint32_t> keyRgb)
{
    if (plainBlits || dst.Indexed() || (dst.bitCount != 16 && dst.bitCount != 24 && dst.bitCount != 32))
        return std::nullopt;
    const bool keyed = keyRgb.has_value();
    FastRow row;
    if (src.bitCount == 8) {
        const IndexLookup& l = LookupFor(src, dst, keyRgb);
        row.value = keyed ? l.keyedValue.data() : l.value.data();
        row.keep = l.keep.data();
        row.planes = l.planes.data();
        row.copy = dst.bitCount == 16 ? IndexedFor<2>(keyed) : dst.bitCount == 24 ? IndexedFor<3>(keyed) : IndexedFor<4>(keyed);
        if (RowCopy wide = dst.bitCount == 32 ? WideIndexedTo32(keyed, l.topByte) : nullptr)
            row.copy = wide;
        return row;
    }
    const bool same = src.SameLayout(dst);
    if (!same && !(EightBitChannels(src) && EightBitChannels(dst)))
        return std::nullopt;
    if (src.bitCount != dst.bitCount)
        row.copyMask = 0xFFFFFF;
    if (keyed) {
        row.keyMask = src.bitCount == 24 ? 0xFFFFFF : src.masks[0] | src.masks[1] | src.masks[2];
        row.keyValue = src.Encode(*keyRgb) & row.keyMask;
    }
    switch (src.bitCount * 100 + dst.bitCount) {
    case 1616: row.copy = DirectFor<2, 2>(keyed); break;
    case 2424: row.copy = DirectFor<3, 3>(keyed); break;
    case 2432: row.copy = DirectFor<3, 4>(keyed); break;
    case 3224: row.copy = DirectFor<4, 3>(keyed); break;
    case 3232: row.copy = DirectFor<4, 4>(keyed); break;
    default: return std::nullopt;
    }
    if (RowCopy wide = src.bitCount == 24 && dst.bitCount == 32 ? Wide24To32(keyed) : nullptr)
        row.copy = wide;
    return row;
}

void SetPlainBlits(bool plain)
{
    plainBlits = plain;
}

bool PlainBlits()
{
    return plainBlits;
}
