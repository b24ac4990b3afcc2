// Inflate over any input, into a buffer of a capacity the input chooses, so that the fuzzer also
// reaches streams that would produce more than the buffer holds.
#include "cetl/exception.h"
#include "deflate.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const DWORD cbCapacity = DWORD(data[0] | data[1] << 8);
    std::vector<BYTE> out(cbCapacity);
    DWORD cb = 0;
    try {
        Inflate(out.data(), cbCapacity, &cb, data + 2, DWORD(size - 2));
        if (cb > cbCapacity)
            __builtin_trap();
    } catch (const cetl::exception&) {
    }
    return 0;
}
