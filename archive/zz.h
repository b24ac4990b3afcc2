// The ".zz" container: one block of bytes as a 4-byte little-endian uncompressed size
// followed by one LZO1X-1 stream of the whole block. No signature, no checksum.
//
// Errors follow the archive library's rule (unzipper.h): these two codecs are where failures
// stop, so they return false; when the LZO library failed, its (negative) result code is the
// thread's last error.
#pragma once

#include <windef.h>

// Packs cbIn bytes into a new ".zz" buffer. Returns false on failure.
bool ZZCompress(BYTE** ppbOut, DWORD* pcbOut, const BYTE* pbIn, DWORD cbIn);

// Unpacks a ".zz" buffer into a new buffer; *pcbOut receives the number of bytes the stream
// produced. Returns false on failure: input of 4 bytes or less, a stream that is corrupt,
// truncated, has trailing bytes or would overrun the buffer sized from the size field.
bool ZZDecompress(BYTE** ppbOut, DWORD* pcbOut, const BYTE* pbIn, DWORD cbIn);

// Frees a buffer returned by either codec; null is ignored.
void ZZFree(BYTE* pb);
