// Real streams of every block type, each behind the two bytes that give the output capacity.
#include "deflate_streams.h"
#include "fuzz_seeds.h"

#include <zlib.h>

void WriteSeeds(const SeedFolder& seeds)
{
    const auto write = [&](const std::string& name, size_t capacity, const Bytes& stream) {
        Bytes seed{uint8_t(capacity), uint8_t(capacity >> 8)};
        seed.insert(seed.end(), stream.begin(), stream.end());
        seeds.Write(name, seed);
    };
    const Bytes text = TextLikeData(4000);
    for (int level : {0, 1, 6, 9})
        write("level" + std::to_string(level), text.size(), ZlibDeflate(text, level));
    write("fixed", text.size(), ZlibDeflate(text, 6, Z_FIXED));
    write("rle", 5000, ZlibDeflate(Bytes(5000, 'z'), 6, Z_RLE));
    write("tight", text.size() - 1, ZlibDeflate(text, 9));
    write("empty-stored", 16, {0x01, 0x00, 0x00, 0xFF, 0xFF});
}
