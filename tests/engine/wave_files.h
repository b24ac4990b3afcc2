// Wave files made to order, for the sound tests, the parser's fuzzing seeds and benchmarks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct WaveLayout {
    uint16_t tag = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 8;
    uint32_t cbFmt = 18; // 16 writes the older record without the extra size
};

// A RIFF WAVE file: "fmt " with the layout, then "data" with the samples. `before` goes
// between the two (other chunks).
Bytes WaveFile(const WaveLayout& layout, const Bytes& samples, const Bytes& before = {});

// A chunk of any id and bytes, with its true size.
Bytes Chunk(const std::string& id, const Bytes& body);

// 8-bit samples: a sine of the given amplitude around 128, `period` samples long.
Bytes Sine8(size_t count, int amplitude, size_t period);
