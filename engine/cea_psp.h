// The reader of layered paint-program image files (major version 5), the form every image
// of both programs is stored in. It parses the file in place and fills a Graphic with its
// pixels, palette, transparency, opacity map and selection; with a frame list, every layer
// of a many-layered file becomes a graphic of its own there.
//
// Every read is bounds-checked: no input makes the reader read or write outside its buffers.
#pragma once

#include "cea_graphic.h"

#include "windows.h"

// A read position in a block of memory. Reads that do not fit leave the position as it was
// and yield nothing (or 0).
struct PspCursor {
    const BYTE* data;
    DWORD size;
    DWORD position;

    const BYTE* Take(DWORD n);
    BYTE ReadU8();
    WORD ReadU16();
    DWORD ReadU32();
    LONG ReadI32() { return LONG(ReadU32()); }
    void ReadF64() { Take(8); }
    RECT ReadRect();
    void SkipString() { Take(ReadU16()); }
    // position + offset, held at 0xFFFFFFFF rather than wrapping.
    DWORD Tell(DWORD offset) const;
    void Seek(DWORD p) { position = p; }
};

enum PspCompression : WORD {
    kPspUncompressed = 0,
    kPspRunLength = 1,
    kPspDeflate = 2,
};

// Reads the file in data into target (or, for a file of several layers and a frame list,
// into new graphics appended to frames). defaultTransparency is the colour key applied when
// the file has no mask. True when every colour plane of the last layer read arrived.
bool ReadPspImage(Graphic* target, FrameList* frames, const BYTE* data, DWORD size, COLORREF defaultTransparency);

// Decodes one channel into a new buffer of *pcbExpected bytes (free it with MEM_FREE), or
// returns none and sets *pcbExpected to 0. Output beyond the expected length is dropped;
// stored bytes (compression none) shorten the expected length to what they hold.
BYTE* DecompressPspChannel(const BYTE* stored, DWORD cbStored, DWORD* pcbExpected, WORD compression);
