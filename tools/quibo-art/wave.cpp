#include "wave.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
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
    Put32(out, 36 + dataSize + pad);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, uint32_t(format.channels));
    Put32(out, uint32_t(format.rate));
    Put32(out, uint32_t(format.rate) * blockAlign);
    Put16(out, blockAlign);
    Put16(out, uint32_t(format.bits));
    PutTag(out, "data");
    Put32(out, dataSize);
    for (size_t i = 0; i < frames; ++i)
        for (const std::vector<float>& channel : channels) {
            const float s = std::clamp(channel[i], -1.0f, 1.0f);
            if (format.bits == 8)
                out.push_back(uint8_t(std::lround(128.0f + s * 127.0f)));
            else
                Put16(out, uint32_t(uint16_t(int16_t(std::lround(s * 32767.0f)))));
        }
    if (pad)
        out.push_back(0);
    return out;
}
