// Plain RIFF WAVE files of PCM samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct WaveFormat {
    int channels; // 1 or 2
    int rate; // frames per second
    int bits; // 8 (unsigned) or 16 (signed)
};

// Samples are -1..1, one vector per channel, all of one length. An odd-sized data chunk is
// followed by the pad byte RIFF asks for.
std::vector<uint8_t> EncodeWave(const WaveFormat& format, const std::vector<std::vector<float>>& channels);
