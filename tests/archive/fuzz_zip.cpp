// Opening an archive from memory, then decompressing and copying its entries.
#include "cetl/exception.h"
#include "unzipper.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        ZIPFILE zip(data, DWORD(size), true);
        for (auto& entry : zip) {
            ZIPENTRY& e = *entry.value;
            // A declared size only sizes the output block; claims of gigabytes would merely
            // measure the allocator.
            if (e.wMethod == 8 && e.cbUncompressed > (1u << 20))
                continue;
            try {
                e.Decompress();
                ZIPENTRY copy(e);
                if (copy.cbUncompressed != e.cbUncompressed)
                    __builtin_trap();
            } catch (const cetl::exception&) {
            }
        }
    } catch (const cetl::exception&) {
    }
    return 0;
}
