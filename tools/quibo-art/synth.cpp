#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kTwoPi = 6.28318531f;

} // namespace

size_t FramesFor(int rate, int milliseconds)
{
    return (size_t(rate) * size_t(milliseconds) + 500) / 1000;
}

void Voice::Add(const Tone& tone)
{
    const size_t first = size_t(std::max(0.0f, tone.start) * float(rate_));
    const size_t count = size_t(tone.length * float(rate_));
    double phase = 0;
    for (size_t i = 0; i < count && first + i < samples_.size(); ++i) {
        const float t = float(i) / float(rate_);
        const float along = t / tone.length;
        float frequency = tone.from * std::pow(tone.to / tone.from, along);
        if (tone.vibrato > 0)
            frequency += tone.vibrato * std::sin(kTwoPi * 5.5f * t);
        phase += double(frequency) / double(rate_);
        float value = 0;
        for (size_t h = 0; h < tone.harmonics.size(); ++h) {
            // Harmonics above the rate's limit would fold back as noise.
            if (frequency * float(h + 1) < float(rate_) * 0.45f)
                value += tone.harmonics[h] * std::sin(kTwoPi * float(h + 1) * float(phase - std::floor(phase)));
        }
        float envelope = std::min(1.0f, t / tone.attack);
        if (tone.decay > 0)
            envelope *= std::exp(-t / tone.decay);
        envelope *= std::min(1.0f, (tone.length - t) / 0.01f); // no click at the end
        samples_[first + i] += value * envelope * tone.level;
    }
}

void Voice::Add(const Noise& noise)
{
    const size_t first = size_t(std::max(0.0f, noise.start) * float(rate_));
    const size_t count = size_t(noise.length * float(rate_));
    uint32_t state = noise.seed | 1;
    float low = 0, band = 0; // a state-variable filter
    for (size_t i = 0; i < count && first + i < samples_.size(); ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const float white = float(state) / 2147483648.0f - 1.0f;
        const float along = float(i) / float(count);
        const float centre = noise.from * std::pow(noise.to / noise.from, along);
        const float f = std::min(0.9f, 2.0f * std::sin(3.14159265f * centre / float(rate_)));
        const float q = 0.5f;
        low += f * band;
        const float high = white - low - q * band;
        band += f * high;
        const float t = float(i) / float(rate_);
        const float envelope = std::min(1.0f, t / noise.attack) * std::pow(1.0f - along, 1.5f);
        samples_[first + i] += band * envelope * noise.level;
    }
}

void Voice::Finish(float peak)
{
    float loudest = 0;
    for (const float s : samples_)
        loudest = std::max(loudest, std::abs(s));
    const float scale = loudest > 0 ? peak / loudest : 0;
    const size_t fade = std::min(samples_.size(), size_t(rate_) / 200);
    for (size_t i = 0; i < samples_.size(); ++i) {
        float s = samples_[i] * scale;
        const size_t fromEnd = samples_.size() - 1 - i;
        if (fromEnd < fade)
            s *= float(fromEnd) / float(fade);
        samples_[i] = s;
    }
}
