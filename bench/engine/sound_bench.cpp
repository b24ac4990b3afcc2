// One refill of the mixer: a 1024-byte stereo buffer (23 ms of sound at 22050 Hz) from
// eight playing channels, mono and stereo, of different lengths.
#include "cea_sound_mix.h"
#include "wave_files.h"

#include <benchmark/benchmark.h>
#include <vector>

namespace {

void RefillEightChannels(benchmark::State& state)
{
    std::vector<Bytes> samples;
    std::vector<CHANNEL> channels;
    for (size_t i = 0; i < 8; ++i)
        samples.push_back(Sine8(20000 + 3000 * i, 40 + 10 * static_cast<int>(i), 30 + i));
    for (size_t i = 0; i < 8; ++i) {
        CHANNEL ch{};
        ch.fStereo = i % 2 == 1;
        ch.pbData = samples[i].data();
        ch.cbData = static_cast<DWORD>(samples[i].size());
        ch.fLoop = true;
        channels.push_back(ch);
    }
    MIX mix;
    BYTE out[kcbMixBuffer];
    for (auto _ : state) {
        ClearMix(mix, kcbMixBuffer / 2);
        for (CHANNEL& ch : channels)
            MixChannel(mix, ch, kcbMixBuffer / 2);
        WriteMix(mix, true, out);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kcbMixBuffer);
    state.counters["audio_ms_per_buffer"] = 1000.0 * (kcbMixBuffer / 2) / 22050;
}
BENCHMARK(RefillEightChannels);

} // namespace
