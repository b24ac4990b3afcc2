#include "deflate_streams.h"

#include "zz.h"

#include <random>
#include <stdexcept>
#include <zlib.h>

Bytes TextLikeData(size_t cb, uint32_t seed)
{
    static const std::string kWords[] = {"tile", "quibo", "colour", "shape", "the",  "and",   "of",     "red",  "green", "blue",
                                         "deck", "a",     "board",  "score", "hint", "three", "shaded", "time", "to",    "circle"};
    std::mt19937 rng(seed);
    std::string out;
    while (out.size() < cb) {
        out += kWords[rng() % 20] + (rng() % 7 == 0 ? std::to_string(rng() % 1000) : "");
        out += rng() % 9 == 0 ? '\n' : ' ';
    }
    return Bytes(out.begin(), out.begin() + cb);
}

Bytes RandomData(size_t cb, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes out(cb);
    for (uint8_t& b : out)
        b = uint8_t(rng());
    return out;
}

namespace {

std::optional<Bytes> Coded(bool (*coder)(BYTE**, DWORD*, const BYTE*, DWORD), const Bytes& in)
{
    BYTE* pb = nullptr;
    DWORD cb = 0;
    if (!coder(&pb, &cb, in.data(), DWORD(in.size())))
        return std::nullopt;
    Bytes out(pb, pb + cb);
    ZZFree(pb);
    return out;
}

} // namespace

Bytes ZZPacked(const Bytes& data)
{
    return Coded(ZZCompress, data).value();
}

std::optional<Bytes> ZZUnpacked(const Bytes& image)
{
    return Coded(ZZDecompress, image);
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
    const int result = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (result != Z_STREAM_END)
        throw std::runtime_error("deflate");
    return out;
}

void BitWriter::Bits(uint32_t value, int count)
{
    for (int i = 0; i < count; ++i, ++m_cBits) {
        if (m_cBits % 8 == 0)
            m_bytes.push_back(0);
        m_bytes.back() |= uint8_t(((value >> i) & 1) << (m_cBits % 8));
    }
}

void BitWriter::Code(uint32_t code, int length)
{
    for (int i = length - 1; i >= 0; --i)
        Bits(code >> i, 1);
}

Code::Code(std::vector<int> l) : lengths(std::move(l)), codes(lengths.size())
{
    uint32_t count[17] = {}, next[17] = {};
    for (int length : lengths)
        count[length] += length != 0;
    for (int length = 1; length <= 16; ++length)
        next[length] = (next[length - 1] + count[length - 1]) << 1;
    for (size_t s = 0; s < lengths.size(); ++s)
        codes[s] = lengths[s] ? next[lengths[s]]++ : 0;
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
