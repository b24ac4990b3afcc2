// Real streams of every block type, each behind the two bytes that give the output capacity.
#include "deflate_streams.h"
#include "fuzz_seeds.h"

#include <zlib.h>

namespace {

Bytes WithCapacity(size_t capacity, const Bytes& stream)
{
    Bytes seed{uint8_t(capacity), uint8_t(capacity >> 8)};
    seed.insert(seed.end(), stream.begin(), stream.end());
    return seed;
}

} // namespace

void WriteSeeds(const SeedFolder& seeds)
{
    const Bytes text = TextLikeData(4000);
    for (int level : {0, 1, 6, 9})
        seeds.Write("level" + std::to_string(level), WithCapacity(text.size(), ZlibDeflate(text, level)));
    seeds.Write("fixed", WithCapacity(text.size(), ZlibDeflate(text, 6, Z_FIXED)));
    seeds.Write("rle", WithCapacity(5000, ZlibDeflate(Bytes(5000, 'z'), 6, Z_RLE)));
    seeds.Write("tight", WithCapacity(text.size() - 1, ZlibDeflate(text, 9)));
    seeds.Write("empty-stored", {0x10, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xFF});
}
