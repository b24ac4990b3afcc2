#include "windows.h"

#include <cstdlib>
#include <cstring>

// Plain host allocations: a block may be freed by a library that did not allocate it, as
// callers of the local heap expect.
HLOCAL LocalAlloc(UINT flags, SIZE_T bytes)
{
    if (flags & ~UINT(LMEM_ZEROINIT)) {
        SetLastError(ERROR_INVALID_PARAMETER); // only fixed blocks: nothing here locks moveable ones
        return nullptr;
    }
    void* block = (flags & LMEM_ZEROINIT) ? std::calloc(1, bytes ? bytes : 1) : std::malloc(bytes ? bytes : 1);
    if (!block)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return block;
}

HLOCAL LocalFree(HLOCAL memory)
{
    std::free(memory);
    return nullptr;
}
