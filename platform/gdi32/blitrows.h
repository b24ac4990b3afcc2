// Whole-row copies for the blits made on every frame: indexed sources through a table of
// destination pixels kept with the source's format, direct sources with matching channels
// copied pixel for pixel. Each row is one loop without per-pixel branching, written so the
// compiler vectorises it; everything else takes the per-pixel path in blit.cpp.
#pragma once

#include "pixels.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The rectangle a row copier fills: src and dst point at its first pixel on each side, and each
// step moves one row down.
struct RowSpan {
    const BYTE* src;
    ptrdiff_t srcStep;
    BYTE* dst;
    ptrdiff_t dstStep;
    int count; // pixels a row
    int rows;
};

struct FastRow {
    void (*copy)(const FastRow& row, const RowSpan& span) = nullptr;
    const uint32_t* value = nullptr; // indexed sources: the destination pixel of each index
    const uint32_t* keep = nullptr; // indexed sources with a key: all ones for key indices
    const BYTE* planes = nullptr; // indexed sources: IndexLookup::planes
    uint32_t copyMask = 0xFFFFFFFF; // direct sources: the bits that carry over
    uint32_t keyMask = 0; // direct sources with a key: the source bits compared
    uint32_t keyValue = 0;
};

// The destination pixels of an indexed source's colours for one destination format, built
// when the source first draws into that format (colour tables never change after creation).
struct IndexLookup {
    int bitCount = 0;
    DWORD masks[3] = {0, 0, 0};
    std::vector<RGBQUAD> table;
    std::array<uint32_t, 256> value{};
    std::optional<uint32_t> keyRgb; // the key the two arrays below were made for
    std::array<uint32_t, 256> keep{}; // all ones for indices of the key colour
    std::array<uint32_t, 256> keyedValue{}; // value, cleared for key indices
    // The bytes of value by significance, 256 of each, then 0xFF for key indices.
    std::array<BYTE, 5 * 256> planes{};
    bool topByte = false; // whether any value has bits in its top byte
};

// The row copier of an unscaled blit from src to dst, with a colour key (0x00RRGGBB) when
// given; nullopt when only the per-pixel path handles the pair.
std::optional<FastRow> FastRowFor(const PixelFormat& src, const PixelFormat& dst, std::optional<uint32_t> keyRgb);

using RowCopy = void (*)(const FastRow& row, const RowSpan& span);

// Row copiers onto 32-bit destinations for processors with 512-bit byte permutes, null on
// others: indexed sources through FastRow::planes (topByte as IndexLookup's), and 24-bit sources (destination masks the
// usual ones).
RowCopy WideIndexedTo32(bool keyed, bool topByte);
RowCopy Wide24To32(bool keyed);
// Lets tests check the portable loops on a processor that has the wide ones.
void SetWideRows(bool wide);

// Sends every blit through the per-pixel path, which the fast rows must match exactly.
void SetPlainBlits(bool plain);
bool PlainBlits();
