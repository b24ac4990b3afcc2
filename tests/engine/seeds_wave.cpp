// Wave files of every layout the loader converts, and the older format record.
#include "fuzz_seeds.h"
#include "wave_files.h"

void WriteSeeds(const SeedFolder& seeds)
{
    Bytes tone = Sine8(300, 90, 30);
    seeds.Write("mix-format", WaveFile({}, tone));
    seeds.Write("cd-stereo", WaveFile({.channels = 2, .rate = 44100, .bits = 16}, Bytes(1200, 0x40)));
    seeds.Write("low-rate", WaveFile({.rate = 8000, .bits = 16}, Bytes(600, 0x10)));
    seeds.Write("old-format", WaveFile({.rate = 11025, .cbFmt = 16}, tone));
    seeds.Write("with-list", WaveFile({.channels = 2}, tone, Chunk("LIST", Bytes(9, 'i'))));
    seeds.Write("compressed", WaveFile({.tag = 2}, tone));
}
