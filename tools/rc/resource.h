// One compiled resource: its type and name (each a number or an upper-case name) and bytes.
#pragma once

#include "little_endian.h"

#include <cstdint>
#include <string>
#include <vector>

struct ResourceId {
    uint16_t number = 0;
    std::u16string name; // empty for a numbered resource
};

struct Resource {
    ResourceId type;
    ResourceId name;
    std::vector<uint8_t> bytes;
    // A large file resource is not read: the generated source includes the file itself (the
    // assembler's .incbin), so the compiler never parses its bytes as source.
    std::string file;
    uint64_t fileSize = 0;
};

// Little-endian output in the layouts Win32 reads.
class ByteWriter {
public:
    void byte(uint8_t value) { m_bytes.push_back(value); }
    void word(uint16_t value) { AppendLe16(m_bytes, value); }
    void dword(uint32_t value) { AppendLe32(m_bytes, value); }
    void text(const std::u16string& value)
    {
        for (char16_t c : value)
            word(c);
    }
    void alignDword()
    {
        while (m_bytes.size() % 4)
            byte(0);
    }
    std::vector<uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
};
