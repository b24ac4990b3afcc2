// quibo-pack's image commands: bitmaps to layered images and back, and what psp-info says.
#include "pack_run.h"
#include "psp_writer.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using psp::Bytes;

// A bottom-up 24-bit bitmap file of 140 x 3: a pure blue column, a few shades, then runs
// longer than one run-length code holds.
Bytes Bitmap()
{
    constexpr uint32_t kWidth = 140, kRow = kWidth * 3; // rows need no padding
    Bytes b = {'B', 'M'};
    // File size, reserved, pixel offset; header size, width, height; one plane of 24 bits,
    // no compression, the pixel bytes, no resolution or palette.
    for (uint32_t v : {54 + 3 * kRow, 0u, 54u, 40u, kWidth, 3u, 0x00180001u, 0u, 3 * kRow, 0u, 0u, 0u, 0u})
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(v >> (8 * i)));
    for (uint32_t row = 0; row < 3; ++row)
        for (uint32_t x = 0; x < kWidth; ++x)
            b.insert(b.end(), {uint8_t(x == 2 ? 255 : row * 40), uint8_t(x == 2 ? 0 : x < 5 ? x * 50 : 250), uint8_t(x == 2 ? 0 : 90)});
    return b;
}

TEST(PackImages, BitmapsSurviveTheWayThroughALayeredImageAndAKeyColourBecomesAMask)
{
    Spill("in.bmp", Bitmap());
    for (const char* compression : {"", "--rle", "--deflate"}) {
        ASSERT_EQ(Pack(std::string("bmp-to-psp in.bmp mid.psp ") + compression).status, 0);
        const ToolRun toBmp = Pack("psp-to-bmp mid.psp out.bmp");
        ASSERT_EQ(toBmp.status, 0) << toBmp.err;
        EXPECT_EQ(Slurp("out.bmp"), Slurp("in.bmp")) << compression;
    }
    ASSERT_EQ(Pack("bmp-to-psp in.bmp keyed.psp --key 0000FF --deflate").status, 0);
    EXPECT_EQ(Pack("psp-info keyed.psp").out, "width: 140\nheight: 3\nbit depth: 24\nlayers: 1\ntransparent: 000001\ntranslucency: 0\n"
                                              "selection: no\n");
}

TEST(PackImages, InfoCountsLayersAndSeesTheSelection)
{
    psp::Image image;
    image.width = 4;
    image.height = 2;
    image.bitDepth = 8;
    image.palette.resize(16);
    for (int l = 0; l < 3; ++l)
        image.layers.push_back(psp::WholeLayer(image, std::vector<uint32_t>(8, uint32_t(l))));
    image.layers[1].masks.push_back({psp::MaskKind::Transparency, Bytes(8, 100)});
    image.selection = psp::Selection{{0, 0, 4, 2}, Bytes(8, 255)};
    Spill("layers.psp", psp::WritePspImage(image));
    const ToolRun info = Pack("psp-info layers.psp");
    EXPECT_NE(info.out.find("bit depth: 8\nlayers: 3\ntransparent: none\n"), std::string::npos) << info.out << info.err;
    EXPECT_NE(info.out.find("selection: yes\n"), std::string::npos);
    // The default colour key applies to every layer when psp-to-bmp asks for one.
    ASSERT_EQ(Pack("psp-to-bmp layers.psp first.bmp --transparent 00FF00").status, 0);
    EXPECT_EQ(Slurp("first.bmp").size(), 54u + 1024 + 2 * 4);
}

} // namespace
