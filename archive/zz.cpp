#include "zz.h"

#include "little_endian.h"
#include "memmgr.h"

#include "winbase.h"

#include <cstdint>
#include <lzo1x.h>
#include <mutex>

namespace {

constexpr size_t kSizeField = 4; // the unpacked size, little-endian

// The codecs share one work memory, so the lock serialises every call. It also covers the
// first-time set-up, so even the very first calls may come from two threads at once.
std::mutex g_lock;
bool g_fInitialised = false;
void* g_pvWork = nullptr;

// With the lock held.
bool EnsureReady()
{
    if (!g_fInitialised) {
        if (lzo_init() != LZO_E_OK)
            return false; // tried again on the next call
        g_fInitialised = true;
        // Lives until the process ends, so the leak report leaves it out.
        g_pvWork = MEM_ALLOC(LZO1X_1_MEM_COMPRESS + 1024, "LZO1X_1_MEM_COMPRESS + 1024");
        if (g_pvWork)
            MEM_TARE(g_pvWork);
    }
    return g_pvWork != nullptr;
}

// LZO1X's worst-case expansion plus some slack.
size_t Capacity(size_t cb)
{
    return cb + cb / 64 + 19 + 1024;
}

BYTE* AllocateOutput(size_t cbCapacity)
{
    return static_cast<BYTE*>(MEM_ALLOC(cbCapacity, "*pcbOut"));
}

bool Fail(BYTE* pbOut)
{
    ZZFree(pbOut);
    return false;
}

// A failure of the library leaves its (negative) result code as the thread's last error.
bool FailFromLibrary(BYTE* pbOut, int result)
{
    SetLastError(DWORD(result));
    return Fail(pbOut);
}

} // namespace

bool ZZCompress(BYTE** ppbOut, DWORD* pcbOut, const BYTE* pbIn, DWORD cbIn)
{
    *ppbOut = nullptr;
    *pcbOut = 0;
    std::lock_guard<std::mutex> lock(g_lock);
    BYTE* pbOut = nullptr;
    try {
        if (!EnsureReady())
            return false;
        size_t cbCapacity = Capacity(size_t(cbIn) + kSizeField);
        pbOut = AllocateOutput(cbCapacity);
        if (!pbOut)
            return false;
        StoreLe32(pbOut, cbIn);
        lzo_uint cbPacked = cbCapacity - kSizeField;
        int result = lzo1x_1_compress(pbIn, cbIn, pbOut + kSizeField, &cbPacked, g_pvWork);
        if (result != LZO_E_OK)
            return FailFromLibrary(pbOut, result);
        if (cbPacked > UINT32_MAX - kSizeField)
            return Fail(pbOut);
        *ppbOut = pbOut;
        *pcbOut = DWORD(cbPacked + kSizeField);
        return true;
    } catch (...) {
        return Fail(pbOut);
    }
}

bool ZZDecompress(BYTE** ppbOut, DWORD* pcbOut, const BYTE* pbIn, DWORD cbIn)
{
    *ppbOut = nullptr;
    *pcbOut = 0;
    std::lock_guard<std::mutex> lock(g_lock);
    BYTE* pbOut = nullptr;
    try {
        if (!EnsureReady() || cbIn <= kSizeField)
            return false;
        // The size field only sizes the buffer; the result is what the stream produces.
        size_t cbCapacity = Capacity(LoadLe32(pbIn));
        pbOut = AllocateOutput(cbCapacity);
        if (!pbOut)
            return false;
        // The checking decompressor: no stream may write past the buffer.
        lzo_uint cbUnpacked = cbCapacity;
        int result = lzo1x_decompress_safe(pbIn + kSizeField, cbIn - kSizeField, pbOut, &cbUnpacked, nullptr);
        if (result != LZO_E_OK)
            return FailFromLibrary(pbOut, result);
        if (cbUnpacked > UINT32_MAX)
            return FailFromLibrary(pbOut, LZO_E_OUTPUT_OVERRUN);
        *ppbOut = pbOut;
        *pcbOut = DWORD(cbUnpacked);
        return true;
    } catch (...) {
        return Fail(pbOut);
    }
}

void ZZFree(BYTE* pb)
{
    if (pb)
        MEM_FREE(pb);
}
