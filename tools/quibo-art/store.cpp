#include "store.h"

#include "psp_writer.h"

namespace {

psp::Image BlankImage(int width, int height, uint16_t bitDepth)
{
    psp::Image image;
    image.width = width;
    image.height = height;
    image.bitDepth = bitDepth;
    image.compression = psp::Compression::Deflate;
    return image;
}

} // namespace

std::vector<uint8_t> LayeredImage(const RgbImage& source)
{
    psp::Image image = BlankImage(source.width, source.height, 24);
    std::vector<uint32_t> pixels;
    pixels.reserve(source.pixels.size());
    for (const Rgb& p : source.pixels)
        pixels.push_back(uint32_t(p.r) << 16 | uint32_t(p.g) << 8 | p.b);
    image.layers.push_back(psp::WholeLayer(image, std::move(pixels)));
    return psp::WritePspImage(image);
}

std::vector<uint8_t> LayeredImage(const IndexedImage& source, const std::array<Rgb, 256>& palette)
{
    psp::Image image = BlankImage(source.width, source.height, 8);
    for (const Rgb& entry : palette)
        image.palette.push_back({entry.r, entry.g, entry.b});
    image.layers.push_back(psp::WholeLayer(image, std::vector<uint32_t>(source.indices.begin(), source.indices.end())));
    return psp::WritePspImage(image);
}
