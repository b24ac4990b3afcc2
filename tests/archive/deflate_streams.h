// Test data for the archive readers: text and noise, ".zz" images, zlib's raw deflate for real streams, and a
// bit writer for the hand-made ones that no compressor produces.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Text-like data: words from a small vocabulary in lines of varying length, deterministic.
Bytes TextLikeData(size_t cb, uint32_t seed = 1);
Bytes RandomData(size_t cb, uint32_t seed = 1);

// A ".zz" image of the data (throws when the codec fails), and the data again or nothing.
Bytes ZZPacked(const Bytes& data);
std::optional<Bytes> ZZUnpacked(const Bytes& image);

// A raw deflate stream (no zlib header) from zlib at the given level and strategy.
Bytes ZlibDeflate(const Bytes& data, int level, int strategy = 0);

class BitWriter {
public:
    // Extra bits and header fields: least significant bit first.
    void Bits(uint32_t value, int count);
    // Huffman codes: most significant bit first.
    void Code(uint32_t code, int length);
    Bytes Finish() const { return m_bytes; }

private:
    Bytes m_bytes;
    int m_cBits = 0;
};

// A deflate code: its lengths (0 = absent) and the canonical codes they give.
struct Code {
    std::vector<int> lengths;
    std::vector<uint32_t> codes;
    explicit Code(std::vector<int> l);
    void Put(BitWriter& w, int symbol) const { w.Code(codes.at(symbol), lengths.at(symbol)); }
};

// The fixed literal/length and distance codes.
const Code& FixedLitLen();
const Code& FixedDist();
