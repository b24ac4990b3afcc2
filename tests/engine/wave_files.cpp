#include "wave_files.h"

#include "little_endian.h"

#include <cmath>

Bytes Chunk(const std::string& id, const Bytes& body)
{
    Bytes out(id.begin(), id.end());
    AppendLe32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes WaveFile(const WaveLayout& layout, const Bytes& samples, const Bytes& before)
{
    uint32_t align = layout.channels * layout.bits / 8;
    Bytes fmt;
    for (const uint32_t field16 : {uint32_t(layout.tag), uint32_t(layout.channels)})
        AppendLe16(fmt, field16);
    AppendLe32(fmt, layout.rate);
    AppendLe32(fmt, layout.rate * align);
    for (const uint32_t field16 : {align, uint32_t(layout.bits), 0u})
        AppendLe16(fmt, field16);
    fmt.resize(layout.cbFmt);
    Bytes body{'W', 'A', 'V', 'E'};
    for (const Bytes& part : {Chunk("fmt ", fmt), before, Chunk("data", samples)})
        body.insert(body.end(), part.begin(), part.end());
    Bytes out{'R', 'I', 'F', 'F'};
    AppendLe32(out, static_cast<uint32_t>(body.size()));
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
