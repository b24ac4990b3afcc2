#include "wave_files.h"

#include <cmath>

namespace {

void put16(Bytes& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(Bytes& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

Bytes Chunk(const std::string& id, const Bytes& body)
{
    Bytes out(id.begin(), id.end());
    put32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes WaveFile(const WaveLayout& layout, const Bytes& samples, const Bytes& before)
{
    uint32_t align = layout.channels * layout.bits / 8;
    Bytes fmt;
    put16(fmt, layout.tag);
    put16(fmt, layout.channels);
    put32(fmt, layout.rate);
    put32(fmt, layout.rate * align);
    put16(fmt, align);
    put16(fmt, layout.bits);
    if (layout.cbFmt >= 18)
        put16(fmt, 0);
    fmt.resize(layout.cbFmt);
    Bytes body{'W', 'A', 'V', 'E'};
    for (const Bytes& part : {Chunk("fmt ", fmt), before, Chunk("data", samples)})
        body.insert(body.end(), part.begin(), part.end());
    Bytes out{'R', 'I', 'F', 'F'};
    put32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes Sine8(size_t count, int amplitude, size_t period)
{
    Bytes out(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<uint8_t>(128 + std::lround(amplitude * std::sin(2 * M_PI * double(i) / double(period))));
    return out;
}
