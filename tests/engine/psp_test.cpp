// The layered image reader against files from our writer, and against broken files.
#include <gtest/gtest.h>

#include <zlib.h>

#include <random>

#include "cea_psp.h"
#include "engine_test_util.h"
#include "memmgr.h"
#include "psp_writer.h"

namespace {

using psp::Bytes;
using psp::Compression;

constexpr COLORREF kMasked = 0x00010000;
// Data that loads nothing: a graphic without a bitmap, for the reader to fill.
const BYTE kNothing[1] = {};

uint32_t Gradient(int x, int y)
{
    return uint32_t(x * 20) << 16 | uint32_t(y * 30) << 8 | uint32_t((x + y) * 7 + 1);
}

psp::Image Image24(int cx, int cy, Compression compression)
{
    psp::Image image;
    image.width = cx;
    image.height = cy;
    image.compression = compression;
    std::vector<uint32_t> pixels;
    for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x)
            pixels.push_back(Gradient(x, y));
    }
    image.layers.push_back(psp::WholeLayer(image, pixels));
    return image;
}

psp::Image Image8(int cx, int cy, Compression compression)
{
    psp::Image image;
    image.width = cx;
    image.height = cy;
    image.bitDepth = 8;
    image.compression = compression;
    for (int i = 0; i < 256; ++i)
        image.palette.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    std::vector<uint32_t> pixels;
    for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x)
            pixels.push_back(uint32_t((x * 7 + y * 3) % 256));
    }
    image.layers.push_back(psp::WholeLayer(image, pixels));
    return image;
}

struct Loaded {
    explicit Loaded(const Bytes& file, FrameList* frames = nullptr, COLORREF key = kNoColor)
        : graphic(file.data(), DWORD(file.size()), frames, key)
    {
    }
    Graphic graphic;
};

class PspCompression : public testing::TestWithParam<Compression> {};

TEST_P(PspCompression, TwentyFourBitImagesComeBackPixelForPixel)
{
    const psp::Image image = Image24(13, 7, GetParam());
    Loaded loaded(psp::WritePspImage(image), nullptr, RGB(0, 0, 255));
    const Graphic& g = loaded.graphic;
    ASSERT_TRUE(g.HasBitmap());
    EXPECT_EQ(g.GetBitCount(), 24);
    ASSERT_EQ(g.GetWidth(), 13);
    ASSERT_EQ(g.GetHeight(), 7);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(g.GetPixelValue(x, y), Gradient(x, y)) << x << "," << y;
    }
    // Without a mask the caller's colour key applies.
    EXPECT_EQ(g.GetTransparency(), RGB(0, 0, 255));
    EXPECT_FALSE(g.IsTranslucent());
}

TEST_P(PspCompression, PalettisedImagesKeepIndicesAndPalette)
{
    const psp::Image image = Image8(9, 5, GetParam());
    Loaded loaded(psp::WritePspImage(image));
    const Graphic& g = loaded.graphic;
    ASSERT_TRUE(g.HasBitmap());
    EXPECT_EQ(g.GetBitCount(), 8);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(g.GetPixelValue(x, y), DWORD((x * 7 + y * 3) % 256));
    }
    EXPECT_EQ(g.GetPaletteColor(10), RGB(10, 245, 5));
    // The last entry is always white, whatever the file says.
    EXPECT_EQ(g.GetPaletteColor(255), RGB(255, 255, 255));
}

TEST_P(PspCompression, OnOffMaskPaintsMaskedPixelsWithTheMaskColour)
{
    psp::Image image = Image24(6, 4, GetParam());
    psp::Mask mask;
    for (int i = 0; i < 24; ++i)
        mask.values.push_back(i % 3 == 0 ? 0 : 255);
    image.layers[0].masks.push_back(mask);
    Loaded loaded(psp::WritePspImage(image), nullptr, RGB(0, 0, 255));
    const Graphic& g = loaded.graphic;
    EXPECT_EQ(g.GetTransparency(), kMasked);
    EXPECT_FALSE(g.IsTranslucent());
    for (int i = 0; i < 24; ++i) {
        const int x = i % 6, y = i / 6;
        if (i % 3 == 0)
            EXPECT_EQ(g.GetPixelColor(x, y), kMasked);
        else
            EXPECT_EQ(g.GetPixelValue(x, y), Gradient(x, y));
    }
}

TEST_P(PspCompression, PartialMaskBecomesAnOpacityMap)
{
    psp::Image image = Image24(4, 3, GetParam());
    psp::Mask mask;
    for (int i = 0; i < 12; ++i)
        mask.values.push_back(uint8_t(i * 20));
    image.layers[0].masks.push_back(mask);
    Loaded loaded(psp::WritePspImage(image));
    const TRANSLUCENCY* t = loaded.graphic.GetTranslucency();
    ASSERT_EQ(t->type, kOpacityMap);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(t->opacity[(i / 4) * t->cbStride + i % 4], i * 20);
    EXPECT_EQ(loaded.graphic.GetTransparency(), kNoColor);
}

INSTANTIATE_TEST_SUITE_P(EveryCompression, PspCompression,
                         testing::Values(Compression::None, Compression::RunLength, Compression::Deflate));

TEST(PspMasks, TwoMasksOfALayerMultiply)
{
    psp::Image image = Image24(2, 2, Compression::RunLength);
    image.layers[0].masks.push_back({psp::MaskKind::Transparency, Bytes(4, 200)});
    image.layers[0].masks.push_back({psp::MaskKind::User, Bytes(4, 128)});
    Loaded loaded(psp::WritePspImage(image));
    const TRANSLUCENCY* t = loaded.graphic.GetTranslucency();
    ASSERT_EQ(t->type, kOpacityMap);
    EXPECT_EQ(t->opacity[0], 100);
    EXPECT_EQ(t->opacity[t->cbStride + 1], 100);
}

TEST(PspMasks, UserMaskLiesOnTheMaskRectangleAndIsClearOutside)
{
    psp::Image image = Image24(6, 6, Compression::None);
    image.layers[0].maskRect = {2, 1, 4, 3};
    image.layers[0].masks.push_back({psp::MaskKind::User, Bytes(4, 90)});
    Loaded loaded(psp::WritePspImage(image));
    const TRANSLUCENCY* t = loaded.graphic.GetTranslucency();
    ASSERT_EQ(t->type, kOpacityMap);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 2 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(t->opacity[y * t->cbStride + x], inside ? 90 : 0) << x << "," << y;
        }
    }
}

TEST(PspMasks, OnOffMaskUnderAPartialMaskClearsTheMaskedPixels)
{
    psp::Image image = Image24(3, 1, Compression::None);
    image.layers[0].masks.push_back({psp::MaskKind::Transparency, Bytes{0, 255, 255}});
    image.layers[0].masks.push_back({psp::MaskKind::User, Bytes{200, 200, 100}});
    Loaded loaded(psp::WritePspImage(image));
    const TRANSLUCENCY* t = loaded.graphic.GetTranslucency();
    ASSERT_EQ(t->type, kOpacityMap);
    EXPECT_EQ(t->opacity[0], 0);
    EXPECT_EQ(t->opacity[1], 200);
    EXPECT_EQ(t->opacity[2], 100);
}

psp::Image ThreeLayers()
{
    psp::Image image = Image24(5, 4, Compression::Deflate);
    for (uint32_t colour : {0x112233u, 0x445566u}) {
        image.layers.push_back(psp::WholeLayer(image, std::vector<uint32_t>(20, colour)));
    }
    return image;
}

TEST(PspLayers, EveryLayerBecomesAFrameWithAFrameList)
{
    FrameList frames;
    {
        Loaded loaded(psp::WritePspImage(ThreeLayers()), &frames, RGB(255, 0, 255));
        EXPECT_FALSE(loaded.graphic.HasBitmap());
    }
    ASSERT_EQ(frames.Count(), 3u);
    EXPECT_EQ(frames[0]->GetPixelValue(3, 2), Gradient(3, 2));
    EXPECT_EQ(frames[1]->GetPixelValue(4, 3), 0x112233u);
    EXPECT_EQ(frames[2]->GetPixelValue(0, 0), 0x445566u);
    for (Graphic* frame : frames) {
        EXPECT_EQ(frame->GetTransparency(), RGB(255, 0, 255));
        MEM_DELETE(frame);
    }
}

TEST(PspLayers, OnlyTheFirstLayerIsReadWithoutAFrameList)
{
    Loaded loaded(psp::WritePspImage(ThreeLayers()));
    ASSERT_TRUE(loaded.graphic.HasBitmap());
    EXPECT_EQ(loaded.graphic.GetPixelValue(3, 2), Gradient(3, 2));
}

TEST(PspLayers, ASingleLayerFileFillsTheTargetEvenWithAFrameList)
{
    FrameList frames;
    Loaded loaded(psp::WritePspImage(Image24(3, 3, Compression::None)), &frames);
    EXPECT_TRUE(loaded.graphic.HasBitmap());
    EXPECT_EQ(frames.Count(), 0u);
}

TEST(PspLayers, ASecondLayerBankDrawsIntoTheSameBitmap)
{
    Bytes file = psp::WritePspImage(Image24(3, 2, Compression::RunLength));
    const size_t bank = 36 + 10 + 46;
    file.insert(file.end(), file.begin() + ptrdiff_t(bank), file.end());
    Loaded loaded(file);
    ASSERT_TRUE(loaded.graphic.HasBitmap());
    EXPECT_EQ(loaded.graphic.GetPixelValue(2, 1), Gradient(2, 1));
}

TEST(PspLayers, PartialLayerLandsAtItsOffsetAndTheRestStaysBlack)
{
    psp::Image image = Image24(8, 8, Compression::RunLength);
    psp::Layer layer;
    layer.imageRect = {3, 2, 8, 8};
    layer.savedRect = {1, 1, 3, 2}; // canvas (4, 3) to (6, 4)
    layer.pixels = {0xABCDEF, 0x123456};
    image.layers[0] = layer;
    Loaded loaded(psp::WritePspImage(image));
    const Graphic& g = loaded.graphic;
    EXPECT_EQ(g.GetPixelValue(4, 3), 0xABCDEFu);
    EXPECT_EQ(g.GetPixelValue(5, 3), 0x123456u);
    EXPECT_EQ(g.GetPixelValue(3, 3), 0u);
    EXPECT_EQ(g.GetPixelValue(4, 4), 0u);
}

TEST(PspLayers, PlacementBeyondTheCanvasOrTheDataWritesOnlyInside)
{
    psp::Image image = Image24(4, 4, Compression::None);
    psp::Layer layer;
    layer.imageRect = {-2, 2, 0, 0};
    layer.savedRect = {0, 0, 4, 4}; // canvas (-2, 2) to (2, 6)
    layer.pixels = std::vector<uint32_t>(16, 0x00FF00);
    image.layers[0] = layer;
    Loaded loaded(psp::WritePspImage(image));
    const Graphic& g = loaded.graphic;
    EXPECT_EQ(g.GetPixelValue(0, 2), 0x00FF00u);
    EXPECT_EQ(g.GetPixelValue(1, 3), 0x00FF00u);
    EXPECT_EQ(g.GetPixelValue(2, 2), 0u);
    EXPECT_EQ(g.GetPixelValue(0, 1), 0u);
}

TEST(PspSelection, SelectionBytesInsideTheRectangleAreKept)
{
    psp::Image image = Image24(5, 4, Compression::Deflate);
    psp::Selection selection;
    selection.rect = {1, 1, 4, 3};
    for (int i = 0; i < 5 * 3; ++i)
        selection.values.push_back(uint8_t(i + 1));
    image.selection = selection;
    Loaded loaded(psp::WritePspImage(image));
    ASSERT_TRUE(loaded.graphic.HasSelection());
    DWORD cb = 0;
    BYTE* bytes = loaded.graphic.GetSelection(&cb);
    ASSERT_EQ(cb, 20u);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            const bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(bytes[y * 5 + x], inside ? y * 5 + x + 1 : 0) << x << "," << y;
        }
    }
    Graphic::ReleaseSelection(bytes);
}

TEST(PspPalette, OnlyTheFirst256EntriesAreRead)
{
    psp::Image image = Image8(2, 2, Compression::None);
    image.palette[255] = {1, 2, 3};
    Bytes file = psp::WritePspImage(image);
    // The entry count of the palette chunk, after the attributes block.
    const size_t count = 36 + 10 + 46 + 10 + 4;
    ASSERT_EQ(file[count + 1], 1);
    file[count + 1] = 0x70; // 0x7000 entries claimed, 256 present
    file[count] = 0;
    Loaded loaded(file);
    EXPECT_EQ(loaded.graphic.GetPaletteColor(254), RGB(254, 1, 127));
    EXPECT_EQ(loaded.graphic.GetPaletteColor(255), RGB(255, 255, 255));
}

TEST(PspFile, UnknownCompressionReadsNoChannel)
{
    Bytes file = psp::WritePspImage(Image24(3, 3, Compression::None));
    // The compression field of the attributes chunk.
    const size_t at = 36 + 10 + 4 + 4 + 4 + 8 + 1;
    ASSERT_EQ(file[at], 0);
    file[at] = 3;
    Loaded loaded(file);
    EXPECT_FALSE(loaded.graphic.HasBitmap());
    EXPECT_TRUE(loaded.graphic.valid);
}

TEST(PspFile, FileWithoutAttributesFirstIsRefused)
{
    Bytes file = psp::WritePspImage(Image24(3, 3, Compression::None));
    file[36 + 4] = 1; // the first block's id
    Graphic g(kNothing, 0);
    EXPECT_FALSE(ReadPspImage(&g, nullptr, file.data(), DWORD(file.size()), kNoColor));
}

TEST(PspFile, TruncatedFilesNeverCrashAndOnlyWholeOnesSucceed)
{
    psp::Image image = Image8(6, 5, Compression::RunLength);
    image.layers[0].masks.push_back({psp::MaskKind::Transparency, Bytes(30, 77)});
    psp::Selection selection;
    selection.rect = {0, 0, 6, 5};
    selection.values = Bytes(30, 1);
    image.selection = selection;
    const Bytes file = psp::WritePspImage(image);
    for (size_t cb = 0; cb < file.size(); ++cb) {
        Graphic g(kNothing, 0);
        ReadPspImage(&g, nullptr, file.data(), DWORD(cb), kNoColor);
    }
    Graphic whole(kNothing, 0);
    EXPECT_TRUE(ReadPspImage(&whole, nullptr, file.data(), DWORD(file.size()), kNoColor));
}

TEST(PspFile, CorruptedFilesNeverCrash)
{
    psp::Image image = ThreeLayers();
    image.layers[1].masks.push_back({psp::MaskKind::Transparency, Bytes(20, 30)});
    const Bytes original = psp::WritePspImage(image);
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        Bytes file = original;
        for (int k = 0; k < 4; ++k) {
            const size_t at = 36 + random() % (file.size() - 36);
            file[at] = uint8_t(random() % 3 == 0 ? 0xFF : random());
        }
        FrameList frames;
        {
            Graphic g(kNothing, 0);
            ReadPspImage(&g, &frames, file.data(), DWORD(file.size()), kNoColor);
        }
        for (Graphic* frame : frames)
            MEM_DELETE(frame);
    }
}

TEST(PspCursor, ReadsThatDoNotFitYieldNothingAndStayPut)
{
    const BYTE data[6] = {1, 2, 3, 4, 5, 6};
    PspCursor c = {data, 6, 0};
    EXPECT_EQ(c.ReadU32(), 0x04030201u);
    EXPECT_EQ(c.ReadU32(), 0u);
    EXPECT_EQ(c.position, 4u);
    EXPECT_EQ(c.ReadU16(), 0x0605u);
    EXPECT_EQ(c.Take(1), nullptr);
    EXPECT_EQ(c.Tell(0xFFFFFFFA), 0xFFFFFFFFu);
    EXPECT_EQ(c.Tell(0xFFFFFFF0), 0xFFFFFFF6u);
    c.Seek(100);
    EXPECT_EQ(c.ReadU8(), 0);
    EXPECT_EQ(c.Take(0), nullptr);
}

Bytes Decode(const Bytes& stored, DWORD cbExpected, WORD compression, DWORD* pcbOut = nullptr)
{
    DWORD cb = cbExpected;
    BYTE* out = DecompressPspChannel(stored.data(), DWORD(stored.size()), &cb, compression);
    if (pcbOut)
        *pcbOut = cb;
    if (!out)
        return {};
    Bytes result(out, out + cbExpected);
    MEM_FREE(out);
    return result;
}

TEST(PspChannel, RunLengthControlBytes)
{
    EXPECT_EQ(Decode({129, 7}, 1, kPspRunLength), Bytes{7});
    Bytes literal = {128};
    for (int i = 0; i < 128; ++i)
        literal.push_back(uint8_t(i));
    const Bytes out = Decode(literal, 128, kPspRunLength);
    ASSERT_EQ(out.size(), 128u);
    EXPECT_EQ(out[127], 127);
    EXPECT_EQ(Decode({0, 130, 5, 1, 9}, 3, kPspRunLength), (Bytes{5, 5, 9}));
}

TEST(PspChannel, RunLengthOutputStopsAtTheExpectedLength)
{
    EXPECT_EQ(Decode({255, 1, 3, 2, 2, 2}, 4, kPspRunLength), (Bytes{1, 1, 1, 1}));
    // A control byte or a run without its byte at the end of the input.
    EXPECT_EQ(Decode({1, 8, 130}, 3, kPspRunLength), (Bytes{8, 0, 0}));
    EXPECT_EQ(Decode({5, 8}, 3, kPspRunLength), (Bytes{8, 0, 0}));
}

TEST(PspChannel, StoredBytesLongerThanExpectedAreCut)
{
    DWORD cb = 0;
    EXPECT_EQ(Decode({1, 2, 3, 4, 5}, 3, kPspUncompressed, &cb), (Bytes{1, 2, 3}));
    EXPECT_EQ(cb, 3u);
    Decode({1, 2}, 5, kPspUncompressed, &cb);
    EXPECT_EQ(cb, 2u);
}

Bytes Deflated(const Bytes& data)
{
    return psp::CompressChannel(data, Compression::Deflate);
}

TEST(PspChannel, DeflateThatEndsEarlyIsPaddedWithItsLastByte)
{
    EXPECT_EQ(Decode(Deflated({1, 2, 3}), 6, kPspDeflate), (Bytes{1, 2, 3, 3, 3, 3}));
    EXPECT_EQ(Decode(Deflated({}), 3, kPspDeflate), (Bytes{0, 0, 0}));
    // More than expected still fills the channel.
    EXPECT_EQ(Decode(Deflated({4, 5, 6, 7}), 2, kPspDeflate), (Bytes{4, 5}));
}

TEST(PspChannel, BrokenDeflateAndUnknownCompressionFail)
{
    DWORD cb = 0;
    Bytes cut = Deflated(Bytes(100, 42));
    cut.resize(cut.size() / 2);
    EXPECT_TRUE(Decode(cut, 100, kPspDeflate, &cb).empty());
    EXPECT_EQ(cb, 0u);
    EXPECT_TRUE(Decode({1, 2, 3}, 3, 3, &cb).empty());
    EXPECT_EQ(cb, 0u);
}

} // namespace

namespace {

// A decoded file with a soft round mask, blended over a checkerboard, as a picture.
TEST(PspPictures, DecodedAndBlended)
{
    psp::Image image = Image24(64, 48, Compression::Deflate);
    psp::Mask mask;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            const int d2 = (x - 32) * (x - 32) + (y - 24) * (y - 24);
            mask.values.push_back(uint8_t(std::max(0, 255 - d2 / 3)));
        }
    }
    image.layers[0].masks.push_back(mask);
    Loaded loaded(psp::WritePspImage(image));
    ASSERT_TRUE(loaded.graphic.IsTranslucent());
    WritePicture(loaded.graphic, "engine-psp-decoded");
    Graphic board(64, 48, 24);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x)
            board.SetPixelValue(x, y, (x / 8 + y / 8) % 2 ? 0xFFFFFF : 0x404040);
    }
    loaded.graphic.DrawTo(&board, 0, 0);
    WritePicture(board, "engine-psp-blended");
    EXPECT_EQ(board.GetPixelValue(0, 0), 0x404040u);
    EXPECT_EQ(board.GetPixelValue(32, 24), Gradient(32, 24) & 0xFFFFFF);
}

} // namespace
