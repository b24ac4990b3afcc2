#include "png_writer.h"

#include <fstream>
#include <stdexcept>
#include <zlib.h>

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
{
    PutU32(out, uint32_t(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutU32(out, uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))));
}

} // namespace

std::vector<uint8_t> EncodePngRows(int width, int height, int channels, const std::vector<uint8_t>& rows, int level)
{
    uLongf packedSize = compressBound(uLong(rows.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, rows.data(), uLong(rows.size()), level) != Z_OK)
        throw std::runtime_error("quibo-art: PNG compression failed");
    packed.resize(packedSize);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutU32(header, uint32_t(width));
    PutU32(header, uint32_t(height));
    const uint8_t colourType = channels == 4 ? 6 : 2; // RGBA or RGB
    header.insert(header.end(), {8, colourType, 0, 0, 0}); // 8 bits, deflate, no filter, no interlace
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

std::vector<uint8_t> EncodePng(const RgbImage& image)
{
    const size_t stride = size_t(image.width) * 3 + 1; // each row starts with filter 0, none
    std::vector<uint8_t> raw(size_t(image.height) * stride, 0);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const Rgb& p = image.pixels[size_t(y) * size_t(image.width) + size_t(x)];
            uint8_t* out = &raw[size_t(y) * stride + 1 + size_t(x) * 3];
            out[0] = p.r;
            out[1] = p.g;
            out[2] = p.b;
        }
    return EncodePngRows(image.width, image.height, 3, raw, 3);
}

void WritePng(const std::string& path, const RgbImage& image)
{
    const std::vector<uint8_t> bytes = EncodePng(image);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file)
        throw std::runtime_error("quibo-art: cannot write " + path);
}
