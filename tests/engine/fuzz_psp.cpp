// ReadPspImage over any input, with a frame list so the many-layer path is fuzzed too.
#include "cea_psp.h"
#include "memmgr.h"

#include <cstdint>

namespace {

// Canvases above this only measure the allocator: the reader accepts them but walks every
// pixel of every mask.
constexpr uint32_t kMaxPixels = 1u << 16;

uint32_t Read32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The canvas size sits after the file header, the first block header and the chunk size.
    if (size >= 58 && uint64_t(Read32(data + 50)) * Read32(data + 54) > kMaxPixels)
        return 0;
    static const BYTE nothing[1] = {};
    FrameList frames;
    {
        Graphic target(nothing, 0);
        ReadPspImage(&target, &frames, data, uint32_t(size), 0x00FF0000);
    }
    for (Graphic* frame : frames)
        MEM_DELETE(frame);
    return 0;
}
