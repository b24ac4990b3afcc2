// The bytes of the binary test resource: each of the 256 values several times over.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kPatternSize = 1000;

constexpr uint8_t PatternByte(size_t i)
{
    return static_cast<uint8_t>(i * 7 + i / 256);
}
