// ".zz" images of text, noise, runs and nothing.
#include "deflate_streams.h"
#include "fuzz_seeds.h"
#include "zz.h"

#include <stdexcept>

namespace {

Bytes Packed(const Bytes& data)
{
    BYTE* pb = nullptr;
    DWORD cb = 0;
    if (!ZZCompress(&pb, &cb, data.data(), DWORD(data.size())))
        throw std::runtime_error("ZZCompress failed");
    Bytes packed(pb, pb + cb);
    ZZFree(pb);
    return packed;
}

} // namespace

void WriteSeeds(const SeedFolder& seeds)
{
    seeds.Write("empty", Packed({}));
    seeds.Write("text", Packed(TextLikeData(6000)));
    seeds.Write("noise", Packed(RandomData(700)));
    seeds.Write("run", Packed(Bytes(9000, 0)));
}
