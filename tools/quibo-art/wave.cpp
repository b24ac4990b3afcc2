#include "wave.h"

#include "little_endian.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void PutTag(std::vector<uint8_t>& out, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(tag[i]));
}

} // namespace

std::vector<uint8_t> EncodeWave(const WaveFormat& format, const std::vector<std::vector<float>>& channels)
{
    const size_t frames = channels.front().size();
    const uint32_t bytesPerSample = uint32_t(format.bits / 8);
    const uint32_t blockAlign = bytesPerSample * uint32_t(format.channels);
    const uint32_t dataSize = uint32_t(frames) * blockAlign;
    const uint32_t pad = dataSize % 2;

    std::vector<uint8_t> out;
    out.reserve(44 + dataSize + pad);
    PutTag(out, "RIFF");
    AppendLe32(out, 36 + dataSize + pad);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    AppendLe32(out, 16);
    AppendLe16(out, 1); // PCM
    AppendLe16(out, uint32_t(format.channels));
    AppendLe32(out, uint32_t(format.rate));
    AppendLe32(out, uint32_t(format.rate) * blockAlign);
    AppendLe16(out, blockAlign);
    AppendLe16(out, uint32_t(format.bits));
    PutTag(out, "data");
    AppendLe32(out, dataSize);
    for (size_t i = 0; i < frames; ++i)
        for (const std::vector<float>& channel : channels) {
            const float s = std::clamp(channel[i], -1.0f, 1.0f);
            if (format.bits == 8)
                out.push_back(uint8_t(std::lround(128.0f + s * 127.0f)));
            else
                AppendLe16(out, uint32_t(uint16_t(int16_t(std::lround(s * 32767.0f)))));
        }
    if (pad)
        out.push_back(0);
    return out;
}
