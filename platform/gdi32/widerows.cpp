// Row copiers for processors with 512-bit vectors and byte permutes. Table look-ups become
// byte permutes over the table held in registers, 3-byte pixels are spread to 4 bytes by one
// permute, keyed pixels are left alone by masked stores, and the end of a row is read and
// written through masks, so no step of a row branches per pixel or touches bytes past it.
#include "blitrows.h"

#include <algorithm>
#include <array>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

#define QUIBO_WIDE __attribute__((target("avx512f,avx512bw,avx512vbmi,bmi2")))

namespace {

bool disabled = false;

bool Supported()
{
    static const bool supported = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")
                                  && __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("bmi2");
    return supported && !disabled;
}

// The byte of a picked by each byte of order. (The unmasked intrinsic leaves a value GCC takes
// for uninitialised.)
QUIBO_WIDE __m512i Permute(__m512i order, __m512i a)
{
    return _mm512_mask_permutexvar_epi8(_mm512_setzero_si512(), ~__mmask64{0}, order, a);
}

constexpr std::array<BYTE, 64> MakeSpreadOrder()
{
    std::array<BYTE, 64> order{};
    for (int i = 0; i < 64; ++i)
        order[i] = BYTE(i % 4 == 3 ? 63 : i / 4 * 3 + i % 4);
    return order;
}

constexpr std::array<BYTE, 64> MakeLaneOrder()
{
    std::array<BYTE, 64> order{};
    for (int lane = 0; lane < 4; ++lane)
        for (int q = 0; q < 4; ++q)
            for (int k = 0; k < 4; ++k)
                order[16 * lane + 4 * q + k] = BYTE(16 * q + 4 * lane + k);
    return order;
}

// Bytes 4j..4j+2 of the result take bytes 3j..3j+2 of the source; every fourth byte takes the
// last, which a load of at most 48 bytes leaves zero.
alignas(64) constexpr std::array<BYTE, 64> kSpreadOrder = MakeSpreadOrder();

// Interleaving four byte vectors gives pixels in 128-bit lane order; reading the indices in
// this order first puts them back in row order (the order is its own inverse).
alignas(64) constexpr std::array<BYTE, 64> kLaneOrder = MakeLaneOrder();

template<bool Keyed> QUIBO_WIDE void Wide24To32(const FastRow& row, const RowSpan& span)
{
    const __m512i spread = _mm512_load_si512(kSpreadOrder.data());
    const __m512i key = _mm512_set1_epi32(int(row.keyValue));
    for (int y = 0; y < span.rows; ++y) {
        const BYTE* src = span.src + y * span.srcStep;
        BYTE* dst = span.dst + y * span.dstStep;
        for (int i = 0; i < span.count; i += 16) {
            const int n = std::min(16, span.count - i);
            const __m512i raw = _mm512_maskz_loadu_epi8(_bzhi_u64(~0ull, unsigned(3 * n)), src + 3 * i);
            const __m512i pixels = Permute(spread, raw);
            __mmask16 store = __mmask16(_bzhi_u32(~0u, unsigned(n)));
            if constexpr (Keyed)
                store = _mm512_mask_cmpneq_epi32_mask(store, pixels, key);
            _mm512_mask_storeu_epi32(dst + 4 * i, store, pixels);
        }
    }
}

// One byte of the table entry of each of 64 indices: the low 7 bits pick among 128 bytes of
// either half of the 256-byte plane, the top bit picks the half.
QUIBO_WIDE __m512i Look(const __m512i* plane, __m512i index, __mmask64 upper)
{
    return _mm512_mask_blend_epi8(upper, _mm512_permutex2var_epi8(plane[0], index, plane[1]),
                                  _mm512_permutex2var_epi8(plane[2], index, plane[3]));
}

// Top: whether any entry has a non-zero top byte; the usual masks leave it clear.
template<bool Keyed, bool Top> QUIBO_WIDE void WideIndexedTo32(const FastRow& row, const RowSpan& span)
{
    const __m512i* table = reinterpret_cast<const __m512i*>(row.planes);
    const __m512i planes[5][4] = {
        {_mm512_loadu_si512(table + 0), _mm512_loadu_si512(table + 1), _mm512_loadu_si512(table + 2), _mm512_loadu_si512(table + 3)},
        {_mm512_loadu_si512(table + 4), _mm512_loadu_si512(table + 5), _mm512_loadu_si512(table + 6), _mm512_loadu_si512(table + 7)},
        {_mm512_loadu_si512(table + 8), _mm512_loadu_si512(table + 9), _mm512_loadu_si512(table + 10), _mm512_loadu_si512(table + 11)},
        {_mm512_loadu_si512(table + 12), _mm512_loadu_si512(table + 13), _mm512_loadu_si512(table + 14), _mm512_loadu_si512(table + 15)},
        {_mm512_loadu_si512(table + 16), _mm512_loadu_si512(table + 17), _mm512_loadu_si512(table + 18), _mm512_loadu_si512(table + 19)},
    };
    const __m512i order = _mm512_load_si512(kLaneOrder.data());
    for (int y = 0; y < span.rows; ++y) {
        const BYTE* src = span.src + y * span.srcStep;
        BYTE* dst = span.dst + y * span.dstStep;
        for (int i = 0; i < span.count; i += 64) {
            const __mmask64 live = _bzhi_u64(~0ull, unsigned(std::min(64, span.count - i)));
            const __m512i index = _mm512_maskz_loadu_epi8(live, src + i);
            const __m512i mixed = Permute(order, index);
            const __mmask64 upper = _mm512_movepi8_mask(mixed);
            const __m512i b0 = Look(planes[0], mixed, upper), b1 = Look(planes[1], mixed, upper);
            const __m512i b2 = Look(planes[2], mixed, upper);
            const __m512i b3 = Top ? Look(planes[3], mixed, upper) : _mm512_setzero_si512();
            const __m512i low01 = _mm512_unpacklo_epi8(b0, b1), high01 = _mm512_unpackhi_epi8(b0, b1);
            const __m512i low23 = _mm512_unpacklo_epi8(b2, b3), high23 = _mm512_unpackhi_epi8(b2, b3);
            __mmask64 store = live;
            if constexpr (Keyed)
                store &= ~_mm512_movepi8_mask(Look(planes[4], index, _mm512_movepi8_mask(index)));
            // Stores stop at the row's end rather than form addresses past it.
            _mm512_mask_storeu_epi32(dst + 4 * i, __mmask16(store), _mm512_unpacklo_epi16(low01, low23));
            if (i + 16 < span.count)
                _mm512_mask_storeu_epi32(dst + 4 * (i + 16), __mmask16(store >> 16), _mm512_unpackhi_epi16(low01, low23));
            if (i + 32 < span.count)
                _mm512_mask_storeu_epi32(dst + 4 * (i + 32), __mmask16(store >> 32), _mm512_unpacklo_epi16(high01, high23));
            if (i + 48 < span.count)
                _mm512_mask_storeu_epi32(dst + 4 * (i + 48), __mmask16(store >> 48), _mm512_unpackhi_epi16(high01, high23));
        }
    }
}

} // namespace

RowCopy WideIndexedTo32(bool keyed, bool topByte)
{
    if (!Supported())
        return nullptr;
    if (topByte)
        return keyed ? WideIndexedTo32<true, true> : WideIndexedTo32<false, true>;
    return keyed ? WideIndexedTo32<true, false> : WideIndexedTo32<false, false>;
}

RowCopy Wide24To32(bool keyed)
{
    if (!Supported())
        return nullptr;
    return keyed ? Wide24To32<true> : Wide24To32<false>;
}

void SetWideRows(bool wide)
{
    disabled = !wide;
}

#else

RowCopy WideIndexedTo32(bool, bool)
{
    return nullptr;
}

RowCopy Wide24To32(bool)
{
    return nullptr;
}

void SetWideRows(bool) { }

#endif
