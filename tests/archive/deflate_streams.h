// Deflate streams for the tests: zlib's raw deflate for real streams, and a bit writer for
// the hand-made ones that no compressor produces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Text-like data: words from a small vocabulary, lines of varying length, deterministic.
Bytes TextLikeData(size_t cb, uint32_t seed = 1);
Bytes RandomData(size_t cb, uint32_t seed = 1);

// A raw deflate stream (no zlib header) from zlib at the given level and strategy.
Bytes ZlibDeflate(const Bytes& data, int level, int strategy = 0);
// zlib's own verdict on a raw stream: true and the bytes when it decodes completely.
bool ZlibInflate(const Bytes& stream, Bytes& out);

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

// Canonical codes for a list of code lengths (0 = absent).
std::vector<uint32_t> CanonicalCodes(const std::vector<int>& lengths);

// A deflate code: its lengths and the codes they give.
struct Code {
    std::vector<int> lengths;
    std::vector<uint32_t> codes;
    explicit Code(std::vector<int> l) : lengths(std::move(l)), codes(CanonicalCodes(lengths)) { }
    void Put(BitWriter& w, int symbol) const { w.Code(codes.at(symbol), lengths.at(symbol)); }
};

// The fixed literal/length and distance codes.
const Code& FixedLitLen();
const Code& FixedDist();
