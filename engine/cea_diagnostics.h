// What the engine's trace lines share: objects are named by their address.
#pragma once

#include <cstdint>

inline unsigned long Address(const void* p)
{
    return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(p));
}
