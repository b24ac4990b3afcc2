// ZZDecompress over any input.
#include "zz.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The size field only sizes the output buffer; a claim of gigabytes would merely measure
    // the allocator, so the fuzzer keeps to claims up to 1 MiB.
    if (size >= 4 && (data[2] > 0x10 || data[3] != 0))
        return 0;
    BYTE* pb = nullptr;
    DWORD cb = 0;
    if (ZZDecompress(&pb, &cb, data, DWORD(size)))
        ZZFree(pb);
    return 0;
}
