// Little-endian 16- and 32-bit values in byte buffers, the order of every file and wire format
// the project reads or writes. Byte by byte, so any alignment will do; the caller checks that
// the bytes are there.
#pragma once

#include <cstdint>

inline uint16_t LoadLe16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t LoadLe32(const uint8_t* p)
{
    return uint32_t(LoadLe16(p)) | uint32_t(LoadLe16(p + 2)) << 16;
}

inline void StoreLe16(uint8_t* p, uint32_t value)
{
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
}

inline void StoreLe32(uint8_t* p, uint32_t value)
{
    StoreLe16(p, value);
    StoreLe16(p + 2, value >> 16);
}

// Appends to a container of bytes or chars (std::vector<uint8_t>, std::string).
template<typename Bytes> void AppendLe16(Bytes& out, uint32_t value)
{
    using Byte = typename Bytes::value_type;
    out.push_back(Byte(value & 0xFF));
    out.push_back(Byte(value >> 8 & 0xFF));
}

template<typename Bytes> void AppendLe32(Bytes& out, uint32_t value)
{
    AppendLe16(out, value);
    AppendLe16(out, value >> 16);
}
