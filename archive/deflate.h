// Our own decoder for raw deflate streams (no zlib or gzip framing), used for the deflated
// entries of ZIP archives. It is kept deliberately plain: every code table is a directly
// indexed array with a slot per code value, and a symbol is found by trying each code length
// in turn. It is separate from zlib, which only the layered image reader uses.
#pragma once

#include <windef.h>

// Decodes the whole stream pbIn/cbIn into pbOut, which holds cbCapacity bytes, and stores the
// number of bytes produced in *pcbOut. A stream that would produce more than cbCapacity bytes
// is refused like any other undecodable content. Failures throw cetl::exception (the archive
// library's rule, unzipper.h); the output then holds what was produced so far.
//
// The code tables are process-wide: one Inflate at a time in the process.
void Inflate(BYTE* pbOut, DWORD cbCapacity, DWORD* pcbOut, const BYTE* pbIn, DWORD cbIn);
