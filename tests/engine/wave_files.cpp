#include "wave_files.h"

#include <cmath>

namespace {

void put(Bytes& out, uint32_t v, int cb)
{
    for (int i = 0; i < cb; ++i)
        out.push_back(static_cast<uint8_t>(v >> 8 * i));
}

} // namespace

Bytes Chunk(const std::string& id, const Bytes& body)
{
    Bytes out(id.begin(), id.end());
    put(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes WaveFile(const WaveLayout& layout, const Bytes& samples, const Bytes& before)
{
    uint32_t align = layout.channels * layout.bits / 8;
    Bytes fmt;
    const uint32_t fields[] = {layout.tag, layout.channels, layout.rate, layout.rate * align, align, layout.bits, 0};
    for (int i = 0; i < 7; ++i)
        put(fmt, fields[i], i == 2 || i == 3 ? 4 : 2); // the two rates are 32-bit, the rest 16
    fmt.resize(layout.cbFmt);
    Bytes body{'W', 'A', 'V', 'E'};
    for (const Bytes& part : {Chunk("fmt ", fmt), before, Chunk("data", samples)})
        body.insert(body.end(), part.begin(), part.end());
    Bytes out{'R', 'I', 'F', 'F'};
    put(out, static_cast<uint32_t>(body.size()), 4);
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
