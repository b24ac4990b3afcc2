#include "deflate.h"

#include "cetl/exception.h"
#include "memmgr.h"

#include <cstddef>
#include <cstring>

namespace {

const char* const kReadPastEnd = "unzip read past end of stream";
const char* const kInvalidCodeIndex = "unzip encountered invalid code index";
const char* const kInvalidLookback = "unzip encountered invalid lookback index";
const char* const kCannotDeflate = "unable to deflate .ZIP file content";

constexpr DWORD kMaxCodeLength = 16;
constexpr DWORD kTableCapacity = 1u << 17;
constexpr DWORD kEmptyMinLength = 65535;

// The bit reader: the next stream bit is the lowest bit of `buffer`.
struct BITSTREAM {
    const BYTE* pbData;
    DWORD cbData;
    DWORD iPosition;
    DWORD buffer;
    DWORD cBits;
};

// One symbol while a table is built; length 0 means the symbol is absent from the code.
struct HUFFCODE {
    DWORD code;
    DWORD length;
};

struct HUFFSLOT {
    DWORD fUsed;
    DWORD length;
    DWORD symbol;
};

// Slot i describes the code whose value is i.
struct HUFFTABLE {
    DWORD minLength;
    DWORD maxLength;
    DWORD capacity;
    HUFFSLOT rgSlots[kTableCapacity];
};

struct OUTPUT {
    BYTE* pb;
    DWORD cbCapacity;
    DWORD cb;
};

enum TableIndex { FIXED_LITLEN, FIXED_DIST, CODELEN, DYNAMIC_LITLEN, DYNAMIC_DIST, TABLE_COUNT };

// Present only during a call, or after one that failed (then reused as it is).
HUFFTABLE* g_rgTables = nullptr;

const DWORD kLengthBase[29]
    = {3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const DWORD kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const DWORD kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                 193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const DWORD kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
const DWORD kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
const DWORD kMask[17] = {0x0, 0x1, 0x3, 0x7, 0xF, 0x1F, 0x3F, 0x7F, 0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF, 0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF};
const BYTE kNibbleReversed[16] = {0x0, 0x8, 0x4, 0xC, 0x2, 0xA, 0x6, 0xE, 0x1, 0x9, 0x5, 0xD, 0x3, 0xB, 0x7, 0xF};

DWORD Peek(BITSTREAM& bs, DWORD n)
{
    while (bs.cBits < n) {
        if (bs.iPosition >= bs.cbData)
            throw cetl::exception(kReadPastEnd);
        bs.buffer |= DWORD(bs.pbData[bs.iPosition]) << bs.cBits;
        bs.iPosition += 1;
        bs.cBits += 8;
    }
    return bs.buffer & kMask[n];
}

void Drop(BITSTREAM& bs, DWORD n)
{
    bs.buffer >>= n;
    bs.cBits -= n;
}

DWORD Read(BITSTREAM& bs, DWORD n)
{
    DWORD value = Peek(bs, n);
    Drop(bs, n);
    return value;
}

// Codes are sent most significant bit first, so the first stream bit becomes the top bit.
DWORD Reverse(DWORD value, DWORD length)
{
    DWORD reversed = 0;
    for (int nibble = 0; nibble < 8; ++nibble) {
        reversed = (reversed << 4) | kNibbleReversed[value & 15];
        value >>= 4;
    }
    return reversed >> (32 - length);
}

void BuildTable(HUFFTABLE& table, HUFFCODE* rgCodes, DWORD cSymbols)
{
    DWORD rgCount[kMaxCodeLength + 1] = {};
    for (DWORD s = 0; s < cSymbols; ++s) {
        if (rgCodes[s].length > kMaxCodeLength)
            throw cetl::exception(kInvalidCodeIndex);
        rgCount[rgCodes[s].length] += 1;
    }
    rgCount[0] = 0;
    DWORD rgNextCode[kMaxCodeLength + 1] = {};
    DWORD code = 0;
    for (DWORD length = 1; length <= kMaxCodeLength; ++length) {
        code = (code + rgCount[length - 1]) << 1;
        rgNextCode[length] = code;
    }
    for (DWORD s = 0; s < cSymbols; ++s)
        rgCodes[s].code = rgCodes[s].length ? rgNextCode[rgCodes[s].length]++ : 0;

    // A code of n bits lands below slot 2^n and the decoder looks no higher, so only the slots
    // the longest code can reach are cleared: the whole table is megabytes, cleared per block.
    DWORD longest = 0;
    for (DWORD length = 1; length <= kMaxCodeLength; ++length)
        longest = rgCount[length] ? length : longest;
    memset(&table, 0, offsetof(HUFFTABLE, rgSlots) + sizeof(HUFFSLOT) * (DWORD(1) << longest));
    table.minLength = kEmptyMinLength;
    table.capacity = kTableCapacity;
    for (DWORD s = 0; s < cSymbols; ++s) {
        DWORD length = rgCodes[s].length;
        if (length == 0)
            continue;
        if (length < table.minLength)
            table.minLength = length;
        if (length > table.maxLength)
            table.maxLength = length;
        // Only an over-full set of lengths makes two codes meet in one slot.
        DWORD index = rgCodes[s].code & kMask[length];
        if (index >= table.capacity || table.rgSlots[index].fUsed)
            throw cetl::exception(kCannotDeflate);
        table.rgSlots[index] = HUFFSLOT{1, length, s};
    }
    if (table.maxLength == 0)
        throw cetl::exception(kCannotDeflate);
}

DWORD DecodeSymbol(BITSTREAM& bs, const HUFFTABLE& table)
{
    for (DWORD length = table.minLength; length <= table.maxLength; ++length) {
        const HUFFSLOT& slot = table.rgSlots[Reverse(Peek(bs, length), length)];
        if (slot.fUsed && slot.length == length) {
            Drop(bs, length);
            return slot.symbol;
        }
    }
    throw cetl::exception(kCannotDeflate);
}

void SetUpTables()
{
    if (g_rgTables)
        return;
    g_rgTables = static_cast<HUFFTABLE*>(MEM_ALLOC(sizeof(HUFFTABLE) * TABLE_COUNT, "HUFFTABLE"));
    if (!g_rgTables)
        throw cetl::exception(kCannotDeflate);
    HUFFCODE rgLitLen[288] = {};
    for (DWORD s = 0; s < 288; ++s)
        rgLitLen[s].length = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    HUFFCODE rgDist[30] = {};
    for (HUFFCODE& code : rgDist)
        code.length = 5;
    BuildTable(g_rgTables[FIXED_LITLEN], rgLitLen, 288);
    BuildTable(g_rgTables[FIXED_DIST], rgDist, 30);
}

void ReleaseTables()
{
    MEM_FREE(g_rgTables);
    g_rgTables = nullptr;
}

void DecodeStoredBlock(BITSTREAM& bs, OUTPUT& out)
{
    Drop(bs, bs.cBits % 8);
    DWORD len = Read(bs, 16);
    DWORD nlen = Read(bs, 16);
    if (len != (~nlen & 0xFFFF) || len > out.cbCapacity - out.cb)
        throw cetl::exception(kCannotDeflate);
    for (DWORD i = 0; i < len; ++i)
        out.pb[out.cb++] = BYTE(Read(bs, 8));
}

void DecodeData(BITSTREAM& bs, OUTPUT& out, const HUFFTABLE& litLen, const HUFFTABLE& dist)
{
    for (;;) {
        DWORD symbol = DecodeSymbol(bs, litLen);
        if (symbol < 256) {
            if (out.cb == out.cbCapacity)
                throw cetl::exception(kCannotDeflate);
            out.pb[out.cb++] = BYTE(symbol);
            continue;
        }
        if (symbol == 256)
            return;
        if (symbol > 285)
            throw cetl::exception(kCannotDeflate);
        DWORD length = kLengthBase[symbol - 257] + Read(bs, kLengthExtra[symbol - 257]);
        // Distance symbols 30 and 31 have no meaning; a dynamic code may still name them.
        symbol = DecodeSymbol(bs, dist);
        if (symbol >= 30)
            throw cetl::exception(kCannotDeflate);
        DWORD distance = kDistanceBase[symbol] + Read(bs, kDistanceExtra[symbol]);
        if (distance > out.cb)
            throw cetl::exception(kInvalidLookback);
        if (length > out.cbCapacity - out.cb)
            throw cetl::exception(kCannotDeflate);
        // Byte by byte, so that a distance shorter than the length repeats the last bytes.
        for (DWORD i = 0; i < length; ++i, ++out.cb)
            out.pb[out.cb] = out.pb[out.cb - distance];
    }
}

void DecodeDynamicBlock(BITSTREAM& bs, OUTPUT& out)
{
    DWORD cLitLen = Read(bs, 5) + 257;
    DWORD cDist = Read(bs, 5) + 1;
    DWORD cCodeLen = Read(bs, 4) + 4;

    HUFFCODE rgCodeLen[19] = {};
    for (DWORD i = 0; i < cCodeLen; ++i)
        rgCodeLen[kCodeLengthOrder[i]].length = Read(bs, 3);
    BuildTable(g_rgTables[CODELEN], rgCodeLen, 19);

    // One sequence for both codes: a repeat may run from the literal/length lengths into the
    // distance lengths, but never past the last of them.
    HUFFCODE rgCodes[288 + 32] = {};
    DWORD cTotal = cLitLen + cDist;
    DWORD i = 0;
    while (i < cTotal) {
        const DWORD symbol = DecodeSymbol(bs, g_rgTables[CODELEN]);
        if (symbol < 16) {
            rgCodes[i++].length = symbol;
            continue;
        }
        DWORD value = 0;
        DWORD repeat;
        if (symbol == 16) {
            if (i == 0)
                throw cetl::exception(kCannotDeflate); // nothing to repeat yet
            value = rgCodes[i - 1].length;
            repeat = 3 + Read(bs, 2);
        } else if (symbol == 17) {
            repeat = 3 + Read(bs, 3);
        } else {
            repeat = 11 + Read(bs, 7);
        }
        if (repeat > cTotal - i)
            throw cetl::exception(kCannotDeflate);
        while (repeat--)
            rgCodes[i++].length = value;
    }
    BuildTable(g_rgTables[DYNAMIC_LITLEN], rgCodes, cLitLen);
    BuildTable(g_rgTables[DYNAMIC_DIST], rgCodes + cLitLen, cDist);
    DecodeData(bs, out, g_rgTables[DYNAMIC_LITLEN], g_rgTables[DYNAMIC_DIST]);
}

} // namespace

void Inflate(BYTE* pbOut, DWORD cbCapacity, DWORD* pcbOut, const BYTE* pbIn, DWORD cbIn)
{
    SetUpTables();
    BITSTREAM bs{pbIn, cbIn, 0, 0, 0};
    OUTPUT out{pbOut, cbCapacity, 0};
    DWORD fFinal;
    do {
        fFinal = Read(bs, 1);
        switch (Read(bs, 2)) {
        case 0: DecodeStoredBlock(bs, out); break;
        case 1: DecodeData(bs, out, g_rgTables[FIXED_LITLEN], g_rgTables[FIXED_DIST]); break;
        case 2: DecodeDynamicBlock(bs, out); break;
        default: throw cetl::exception(kCannotDeflate);
        }
    } while (!fFinal);
    *pcbOut = out.cb;
    ReleaseTables();
}
