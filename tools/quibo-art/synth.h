// A small synthesiser for the game's sounds: tones, noise, envelopes and filters over one
// buffer of samples at a fixed rate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class Voice {
public:
    Voice(int rate, size_t frames) : rate_(rate), samples_(frames, 0.0f) { }

    int Rate() const { return rate_; }
    size_t Frames() const { return samples_.size(); }
    std::vector<float>& Samples() { return samples_; }

    // A tone from `start` seconds lasting `length`, its pitch gliding from `from` to `to` Hz,
    // with harmonics at the given strengths (the first is the fundamental), a short attack
    // and an exponential decay of `decay` seconds (0: none).
    struct Tone {
        float start, length;
        float from, to;
        std::vector<float> harmonics;
        float level;
        float attack = 0.004f;
        float decay = 0;
        float vibrato = 0; // depth in Hz at 5.5 Hz
    };
    void Add(const Tone& tone);

    // White noise from `start` for `length` seconds through a band pass whose centre glides
    // from `from` to `to` Hz, shaped by a rise over `attack` and a fall to the end.
    struct Noise {
        float start, length;
        float from, to;
        float level;
        float attack;
        uint32_t seed;
    };
    void Add(const Noise& noise);

    // Scales so the loudest sample reaches `peak`, and fades the last few milliseconds so the
    // sound ends without a click.
    void Finish(float peak);

private:
    int rate_;
    std::vector<float> samples_;
};

// The number of frames of a sound `milliseconds` long, rounded to the nearest frame.
size_t FramesFor(int rate, int milliseconds);
