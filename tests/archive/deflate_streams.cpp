#include "deflate_streams.h"

#include <random>
#include <stdexcept>
#include <zlib.h>

Bytes TextLikeData(size_t cb, uint32_t seed)
{
    static const char* const kWords[] = {"tile",   "quibo", "colour", "shape", "the",   "and",  "of",    "red",    "green", "blue",
                                         "circle", "deck",  "a",      "board", "score", "hint", "three", "shaded", "time",  "to"};
    std::mt19937 rng(seed);
    Bytes out;
    out.reserve(cb);
    size_t column = 0;
    while (out.size() < cb) {
        std::string word = kWords[rng() % (sizeof kWords / sizeof *kWords)];
        if (rng() % 7 == 0)
            word += std::to_string(rng() % 1000);
        for (char c : word)
            out.push_back(uint8_t(c));
        column += word.size() + 1;
        out.push_back(column > 40 + rng() % 40 ? '\n' : ' ');
        if (out.back() == '\n')
            column = 0;
    }
    out.resize(cb);
    return out;
}

Bytes RandomData(size_t cb, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes out(cb);
    for (uint8_t& b : out)
        b = uint8_t(rng());
    return out;
}

Bytes ZlibDeflate(const Bytes& data, int level, int strategy)
{
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy) != Z_OK)
        throw std::runtime_error("deflateInit2");
    Bytes out(deflateBound(&z, data.size()) + 16);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = uInt(data.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    int result = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (result != Z_STREAM_END)
        throw std::runtime_error("deflate");
    return out;
}

bool ZlibInflate(const Bytes& stream, Bytes& out)
{
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        return false;
    out.assign(1 << 20, 0);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = uInt(stream.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    int result = inflate(&z, Z_FINISH);
    out.resize(z.total_out);
    inflateEnd(&z);
    return result == Z_STREAM_END;
}

void BitWriter::Bits(uint32_t value, int count)
{
    for (int i = 0; i < count; ++i) {
        if (m_cBits % 8 == 0)
            m_bytes.push_back(0);
        m_bytes.back() |= uint8_t(((value >> i) & 1) << (m_cBits % 8));
        ++m_cBits;
    }
}

void BitWriter::Code(uint32_t code, int length)
{
    for (int i = length - 1; i >= 0; --i)
        Bits((code >> i) & 1, 1);
}

std::vector<uint32_t> CanonicalCodes(const std::vector<int>& lengths)
{
    int count[17] = {};
    for (int l : lengths)
        count[l]++;
    count[0] = 0;
    uint32_t next[17] = {};
    uint32_t code = 0;
    for (int l = 1; l <= 16; ++l) {
        code = (code + count[l - 1]) << 1;
        next[l] = code;
    }
    std::vector<uint32_t> codes(lengths.size());
    for (size_t s = 0; s < lengths.size(); ++s)
        codes[s] = lengths[s] ? next[lengths[s]]++ : 0;
    return codes;
}

const Code& FixedLitLen()
{
    static const Code code = [] {
        std::vector<int> lengths(288);
        for (int s = 0; s < 288; ++s)
            lengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
        return Code(lengths);
    }();
    return code;
}

const Code& FixedDist()
{
    static const Code code(std::vector<int>(30, 5));
    return code;
}
