// Layered images of each depth, compression, mask kind and layer count.
#include "fuzz_seeds.h"
#include "psp_writer.h"

namespace {

psp::Image Image(uint16_t bitDepth, psp::Compression compression, int cLayers)
{
    psp::Image image{
        .width = 12, .height = 9, .bitDepth = bitDepth, .compression = compression, .palette = {}, .layers = {}, .selection = {}};
    for (int i = 0; bitDepth == 8 && i < 16; ++i)
        image.palette.push_back({uint8_t(i * 16), uint8_t(255 - i * 16), uint8_t(i * 5)});
    for (int l = 0; l < cLayers; ++l) {
        std::vector<uint32_t> pixels;
        for (int i = 0; i < 12 * 9; ++i)
            pixels.push_back(bitDepth == 8 ? uint32_t(i + l) % 16 : uint32_t(i * 0x010203 + l));
        image.layers.push_back(psp::WholeLayer(image, pixels));
    }
    return image;
}

} // namespace

void WriteSeeds(const SeedFolder& seeds)
{
    const psp::Compression compressions[] = {psp::Compression::None, psp::Compression::RunLength, psp::Compression::Deflate};
    const char* names[] = {"none", "rle", "deflate"};
    for (int c = 0; c < 3; ++c) {
        const std::string name = names[c];
        seeds.Write("rgb-" + name, psp::WritePspImage(Image(24, compressions[c], 1)));
        seeds.Write("indexed-" + name, psp::WritePspImage(Image(8, compressions[c], 3)));
        psp::Image masked = Image(24, compressions[c], 2);
        masked.layers[0].masks.push_back({psp::MaskKind::Transparency, psp::Bytes(108, 0)});
        masked.layers[0].masks[0].values[5] = 255;
        masked.layers[1].maskRect = {2, 2, 6, 5};
        masked.layers[1].masks.push_back({psp::MaskKind::User, psp::Bytes(12, 100)});
        masked.selection = psp::Selection{{1, 1, 8, 6}, psp::Bytes(12 * 6, 255)};
        seeds.Write("masked-" + name, psp::WritePspImage(masked));
    }
}
