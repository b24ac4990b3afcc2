// quibo-pack's image commands: bitmaps to layered images and back, and what psp-info says.
#include "pack_run.h"
#include "psp_writer.h"

#include <gtest/gtest.h>
#include <string>

namespace {

namespace fs = std::filesystem;
using psp::Bytes;

void Put32(Bytes& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

// A bottom-up 24-bit bitmap file of 5 x 3 whose middle column is pure blue.
Bytes Bitmap()
{
    Bytes b = {'B', 'M'};
    // File size, reserved, pixel offset; header size, width, height; one plane of 24 bits,
    // no compression, the pixel bytes, no resolution or palette.
    for (uint32_t v : {54u + 3 * 16, 0u, 54u, 40u, 5u, 3u, 0x00180001u, 0u, 3u * 16, 0u, 0u, 0u, 0u})
        Put32(b, v);
    for (int row = 0; row < 3; ++row) {
        for (int x = 0; x < 5; ++x) {
            if (x == 2)
                b.insert(b.end(), {255, 0, 0});
            else
                b.insert(b.end(), {uint8_t(row * 40), uint8_t(x * 50), 90});
        }
        b.push_back(0);
    }
    return b;
}

TEST(PackImages, BitmapsSurviveTheWayThroughALayeredImage)
{
    Spill(P("in.bmp"), Bitmap());
    for (const char* compression : {"", "--rle", "--deflate"}) {
        ToolRun toPsp = Pack("bmp-to-psp " + P("in.bmp") + " " + P("mid.psp") + " " + compression);
        ASSERT_EQ(toPsp.status, 0) << toPsp.err;
        ToolRun toBmp = Pack("psp-to-bmp " + P("mid.psp") + " " + P("out.bmp"));
        ASSERT_EQ(toBmp.status, 0) << toBmp.err;
        EXPECT_EQ(Slurp(P("out.bmp")), Slurp(P("in.bmp"))) << compression;
    }
}

TEST(PackImages, AKeyColourBecomesAnOnOffMask)
{
    Spill(P("in.bmp"), Bitmap());
    ASSERT_EQ(Pack("bmp-to-psp " + P("in.bmp") + " " + P("keyed.psp") + " --key 0000FF --deflate").status, 0);
    ToolRun info = Pack("psp-info " + P("keyed.psp"));
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out, "width: 5\nheight: 3\nbit depth: 24\nlayers: 1\ntransparent: 000001\ntranslucency: 0\n"
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
    Spill(P("layers.psp"), psp::WritePspImage(image));
    ToolRun info = Pack("psp-info " + P("layers.psp"));
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("bit depth: 8\nlayers: 3\ntransparent: none\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("selection: yes\n"), std::string::npos);
    // The default colour key applies to every layer when psp-to-bmp asks for one.
    ASSERT_EQ(Pack("psp-to-bmp " + P("layers.psp") + " " + P("first.bmp") + " --transparent 00FF00").status, 0);
    EXPECT_EQ(Slurp(P("first.bmp")).size(), 54u + 1024 + 2 * 4);
}

TEST(PackImages, BrokenInputFailsWithAMessage)
{
    Spill(P("junk.psp"), Bytes{'P', 'a', 'i', 'n', 't'});
    ToolRun info = Pack("psp-info " + P("junk.psp"));
    EXPECT_EQ(info.status, 1);
    EXPECT_NE(info.err.find("is not a layered image"), std::string::npos);
    EXPECT_EQ(Pack("bmp-to-psp " + P("junk.psp") + " " + P("x.psp")).status, 1);
    EXPECT_EQ(Pack("psp-to-bmp " + P("junk.psp") + " " + P("x.bmp") + " --transparent blue").status, 1);
    EXPECT_EQ(Pack("bmp-to-psp " + P("junk.psp") + " " + P("x.psp") + " --fast").status, 1);
}

} // namespace
