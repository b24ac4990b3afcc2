#include "screenshot.h"

#include <fstream>
#include <string>
#include <zlib.h>

namespace {

void PutBE32(std::string& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(char(v >> shift));
}

void Chunk(std::string& out, const char* type, const std::string& data)
{
    PutBE32(out, uint32_t(data.size()));
    const std::string body = type + data;
    out += body;
    PutBE32(out, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
}

} // namespace

bool WritePng(const std::filesystem::path& file, int width, int height, const std::vector<uint32_t>& pixels)
{
    if (width <= 0 || height <= 0 || pixels.size() != size_t(width) * height)
        return false;
    std::string raw;
    raw.reserve(size_t(height) * (1 + 3 * width));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < width; ++x)
            for (int shift : {16, 8, 0})
                raw.push_back(char(pixels[size_t(y) * width + x] >> shift));
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()))
        != Z_OK)
        return false;
    packed.resize(packedSize);

    std::string header;
    for (int v : {width, height})
        PutBE32(header, uint32_t(v));
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8-bit RGB, no interlace

    std::string png("\x89PNG\r\n\x1a\n", 8);
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", packed);
    Chunk(png, "IEND", "");
    std::ofstream out(file, std::ios::binary);
    out.write(png.data(), std::streamsize(png.size()));
    return bool(out);
}

std::filesystem::path TestOutputDir()
{
    const std::filesystem::path dir = QUIBO_TEST_OUTPUT_DIR;
    std::filesystem::create_directories(dir);
    return dir;
}
