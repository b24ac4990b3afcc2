// A sound made from any bytes: the wave parser and the conversions behind it.
#include "cea_sound.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SOUND sound(data, static_cast<DWORD>(size));
    return 0;
}
