// ".zz" images of text, noise, runs and nothing.
#include "deflate_streams.h"
#include "fuzz_seeds.h"

void WriteSeeds(const SeedFolder& seeds)
{
    seeds.Write("empty", ZZPacked({}));
    seeds.Write("text", ZZPacked(TextLikeData(6000)));
    seeds.Write("noise", ZZPacked(RandomData(700)));
    seeds.Write("run", ZZPacked(Bytes(9000, 0)));
}
