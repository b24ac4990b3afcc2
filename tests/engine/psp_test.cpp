// The layered image reader against files from our writer, and against broken files.
#include "cea_psp.h"
#include "engine_test_util.h"
#include "memmgr.h"
#include "psp_writer.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

using psp::Bytes;
using psp::Compression;
using psp::MaskKind;

constexpr COLORREF kMasked = 0x00010000;
// Data that loads nothing: a graphic without a bitmap, for the reader to fill.
const BYTE kNothing[1] = {};
// Where the attributes chunk starts: after the file header and its block header.
constexpr size_t kAttributes = 36 + 10;
// The first block after the attributes chunk.
constexpr size_t kAfterAttributes = kAttributes + 46;

uint32_t Gradient(int x, int y)
{
    return uint32_t(x * 20) << 16 | uint32_t(y * 30) << 8 | uint32_t((x + y) * 7 + 1);
}

uint32_t Index(int x, int y)
{
    return uint32_t((x * 7 + y * 3) % 256);
}

// The values of a cx x cy picture of f, rows top-down.
std::vector<DWORD> ValuesOf(int cx, int cy, uint32_t (*f)(int, int))
{
    std::vector<DWORD> values;
    for (int i = 0; i < cx * cy; ++i)
        values.push_back(f(i % cx, i / cx));
    return values;
}

// One whole layer of Gradient (24-bit) or Index (8-bit, with a palette of (i, 255 - i, i / 2)).
psp::Image Image(int cx, int cy, Compression compression, uint16_t bitDepth = 24)
{
    psp::Image image{
        .width = cx, .height = cy, .bitDepth = bitDepth, .compression = compression, .palette = {}, .layers = {}, .selection = {}};
    for (int i = 0; bitDepth == 8 && i < 256; ++i)
        image.palette.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    image.layers.push_back(psp::WholeLayer(image, ValuesOf(cx, cy, bitDepth == 8 ? Index : Gradient)));
    return image;
}

std::unique_ptr<Graphic> Load(const Bytes& file, FrameList* frames = nullptr, COLORREF key = kNoColor)
{
    return std::make_unique<Graphic>(file.data(), DWORD(file.size()), frames, key);
}

// The opacity map, rows top-down, without the stride's padding.
std::vector<int> Opacities(const Graphic& g)
{
    const TRANSLUCENCY* t = g.GetTranslucency();
    std::vector<int> out;
    for (int i = 0; t->type == kOpacityMap && i < g.GetWidth() * g.GetHeight(); ++i)
        out.push_back(t->opacity[i / g.GetWidth() * t->cbStride + i % g.GetWidth()]);
    return out;
}

class PspCompression : public testing::TestWithParam<Compression> { };

TEST_P(PspCompression, EveryKindOfChannelComesBack)
{
    // 24-bit pixels; without a mask the caller's colour key applies.
    auto g = Load(psp::WritePspImage(Image(13, 7, GetParam())), nullptr, RGB(0, 0, 255));
    EXPECT_EQ(std::tuple(g->GetBitCount(), g->GetWidth(), g->GetTransparency(), g->IsTranslucent()),
              std::tuple(24, 13, RGB(0, 0, 255), false));
    EXPECT_EQ(Values(*g), ValuesOf(13, 7, Gradient));

    // Palette indices; the last entry is always white, whatever the file says.
    g = Load(psp::WritePspImage(Image(9, 5, GetParam(), 8)));
    EXPECT_EQ(std::tuple(g->GetBitCount(), g->GetPaletteColor(10), g->GetPaletteColor(255)),
              std::tuple(8, RGB(10, 245, 5), RGB(255, 255, 255)));
    EXPECT_EQ(Values(*g), ValuesOf(9, 5, Index));

    // An on-off mask paints the masked pixels with the mask colour, which becomes the key.
    psp::Image onOff = Image(6, 4, GetParam());
    onOff.layers[0].masks.push_back({MaskKind::Transparency, {}});
    for (int i = 0; i < 24; ++i)
        onOff.layers[0].masks[0].values.push_back(i % 3 == 0 ? 0 : 255);
    g = Load(psp::WritePspImage(onOff), nullptr, RGB(0, 0, 255));
    EXPECT_EQ(std::tuple(g->GetTransparency(), g->IsTranslucent()), std::tuple(kMasked, false));
    std::vector<DWORD> expected = ValuesOf(6, 4, Gradient);
    for (size_t i = 0; i < expected.size(); i += 3)
        expected[i] = g->ColorToValue(kMasked);
    EXPECT_EQ(Values(*g), expected);
}

INSTANTIATE_TEST_SUITE_P(EveryCompression, PspCompression,
                         testing::Values(Compression::None, Compression::RunLength, Compression::Deflate));

TEST(PspMasks, PartialMasksOfALayerCombineIntoOneOpacityMap)
{
    struct CASE {
        const char* name;
        int cx, cy;
        psp::Rect maskRect;
        std::vector<psp::Mask> masks;
        std::vector<int> opacities;
    };
    std::vector<int> userOnRect(36, 0);
    for (int i : {8, 9, 14, 15})
        userOnRect[i] = 90;
    const CASE cases[] = {
        {"a partial mask is the map", 4, 1, {}, {{MaskKind::Transparency, Bytes{0, 20, 40, 60}}}, {0, 20, 40, 60}},
        {"two masks multiply", 2, 2, {}, {{MaskKind::Transparency, Bytes(4, 200)}, {MaskKind::User, Bytes(4, 254)}}, {199, 199, 199, 199}},
        {"a user mask lies on the mask rectangle", 6, 6, {2, 1, 4, 3}, {{MaskKind::User, Bytes(4, 90)}}, userOnRect},
        // An on-off mask under a partial one clears.
        {"on-off under partial", 3, 1, {}, {{MaskKind::Transparency, {0, 255, 255}}, {MaskKind::User, {200, 200, 100}}}, {0, 200, 100}},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.name);
        psp::Image image = Image(c.cx, c.cy, Compression::RunLength);
        image.layers[0].maskRect = c.maskRect;
        image.layers[0].masks = c.masks;
        EXPECT_EQ(Opacities(*Load(psp::WritePspImage(image))), c.opacities);
    }
}

psp::Image ThreeLayers()
{
    psp::Image image = Image(5, 4, Compression::Deflate);
    for (uint32_t colour : {0x112233u, 0x445566u})
        image.layers.push_back(psp::WholeLayer(image, std::vector<uint32_t>(20, colour)));
    return image;
}

// Every layer becomes a frame only with a frame list and more than one layer; otherwise the
// layers, and a second layer bank, draw into the one bitmap.
TEST(PspLayers, LayersBecomeFramesOrDrawIntoOneBitmap)
{
    FrameList frames, none;
    EXPECT_FALSE(Load(psp::WritePspImage(ThreeLayers()), &frames, RGB(255, 0, 255))->HasBitmap());
    ASSERT_EQ(frames.Count(), 3u);
    EXPECT_EQ(std::tuple(frames[0]->GetPixelValue(3, 2), frames[1]->GetPixelValue(4, 3), frames[2]->GetPixelValue(0, 0)),
              std::tuple(Gradient(3, 2), 0x112233u, 0x445566u));
    for (Graphic* frame : frames) {
        EXPECT_EQ(frame->GetTransparency(), RGB(255, 0, 255));
        MEM_DELETE(frame);
    }
    EXPECT_EQ(Load(psp::WritePspImage(ThreeLayers()))->GetPixelValue(3, 2), Gradient(3, 2));
    EXPECT_TRUE(Load(psp::WritePspImage(Image(3, 3, Compression::None)), &none)->HasBitmap());
    EXPECT_EQ(none.Count(), 0u);
    Bytes twoBanks = psp::WritePspImage(Image(3, 2, Compression::RunLength));
    twoBanks.insert(twoBanks.end(), twoBanks.begin() + ptrdiff_t(kAfterAttributes), twoBanks.end());
    EXPECT_EQ(Load(twoBanks)->GetPixelValue(2, 1), Gradient(2, 1));
}

TEST(PspLayers, APlacedLayerWritesOnlyWhereCanvasAndDataMeet)
{
    // The canvas side, the layer's rectangles on the canvas and as saved, its pixels, and
    // pixels expected at (x, y).
    const std::tuple<int, psp::Rect, psp::Rect, std::vector<uint32_t>, std::vector<std::tuple<int, int, uint32_t>>> cases[] = {
        // Canvas (4, 3) to (6, 4); the rest stays black.
        {8, {3, 2, 8, 8}, {1, 1, 3, 2}, {0xABCDEF, 0x123456}, {{4, 3, 0xABCDEF}, {5, 3, 0x123456}, {3, 3, 0}, {4, 4, 0}}},
        // Canvas (-2, 2) to (2, 6), beyond the left and bottom edges.
        {4, {-2, 2, 0, 0}, {0, 0, 4, 4}, std::vector<uint32_t>(16, 0x00FF00), {{0, 2, 0x00FF00}, {1, 3, 0x00FF00}, {2, 2, 0}, {0, 1, 0}}},
    };
    for (const auto& [side, imageRect, savedRect, pixels, expected] : cases) {
        psp::Image image = Image(side, side, Compression::RunLength);
        image.layers[0] = {"", imageRect, savedRect, {}, pixels, {}};
        auto g = Load(psp::WritePspImage(image));
        for (const auto& [x, y, value] : expected)
            EXPECT_EQ(g->GetPixelValue(x, y), value) << x << "," << y;
    }
}

TEST(PspSelection, SelectionBytesInsideTheRectangleAreKept)
{
    psp::Image image = Image(5, 4, Compression::Deflate);
    image.selection = psp::Selection{{1, 1, 4, 3}, {}};
    for (int i = 0; i < 5 * 3; ++i)
        image.selection->values.push_back(uint8_t(i + 1));
    DWORD cb = 0;
    BYTE* bytes = Load(psp::WritePspImage(image))->GetSelection(&cb);
    EXPECT_EQ(Bytes(bytes, bytes + cb), (Bytes{0, 0, 0, 0, 0, 0, 7, 8, 9, 0, 0, 12, 13, 14, 0, 0, 0, 0, 0, 0}));
    Graphic::ReleaseSelection(bytes);
}

TEST(PspFile, ForgedFieldsAreReadSafely)
{
    psp::Image image = Image(2, 2, Compression::None, 8);
    image.palette[255] = {1, 2, 3}; // read as white all the same
    Bytes palettised = psp::WritePspImage(image);
    // The palette's entry count, after the attributes block: 0x7000 claimed, 256 present.
    const size_t count = kAfterAttributes + 10 + 4;
    ASSERT_EQ(palettised[count + 1], 1);
    palettised[count] = 0;
    palettised[count + 1] = 0x70;
    auto g = Load(palettised);
    EXPECT_EQ(std::tuple(g->GetPaletteColor(254), g->GetPaletteColor(255)), std::tuple(RGB(254, 1, 127), RGB(255, 255, 255)));

    // An unknown compression reads no channel.
    Bytes file = psp::WritePspImage(Image(3, 3, Compression::None));
    const size_t compression = kAttributes + 4 + 4 + 4 + 8 + 1;
    ASSERT_EQ(file[compression], 0);
    file[compression] = 3;
    g = Load(file);
    EXPECT_TRUE(!g->HasBitmap() && g->valid);

    // A file whose first block is not the attributes is refused.
    file[compression] = 0;
    file[36 + 4] = 1;
    Graphic refused(kNothing, 0);
    EXPECT_FALSE(ReadPspImage(&refused, nullptr, file.data(), DWORD(file.size()), kNoColor));
}

TEST(PspCursor, ReadsThatDoNotFitYieldNothingAndStayPut)
{
    const BYTE data[6] = {1, 2, 3, 4, 5, 6};
    PspCursor c = {data, 6, 0};
    const DWORD first = c.ReadU32(), past = c.ReadU32(), at = c.position, last = c.ReadU16();
    EXPECT_EQ(std::tuple(first, past, at, last, c.Take(1)), std::tuple(0x04030201u, 0u, 4u, 0x0605u, nullptr));
    EXPECT_EQ(std::tuple(c.Tell(0xFFFFFFFA), c.Tell(0xFFFFFFF0)), std::tuple(0xFFFFFFFFu, 0xFFFFFFF6u));
    c.Seek(100);
    EXPECT_EQ(std::tuple(c.ReadU8(), c.Take(0)), std::tuple(BYTE(0), static_cast<const BYTE*>(nullptr)));
}

TEST(PspChannel, StoredBytesBecomeExactlyTheExpectedLength)
{
    Bytes literal = {128};
    for (int i = 0; i < 128; ++i)
        literal.push_back(uint8_t(i));
    Bytes cutDeflate = psp::CompressChannel(Bytes(100, 42), Compression::Deflate);
    cutDeflate.resize(cutDeflate.size() / 2);
    const auto deflated = [](const Bytes& data) { return psp::CompressChannel(data, Compression::Deflate); };
    // The stored bytes, the expected length, the compression; what comes out (empty: the channel
    // fails) and the length it reports.
    const std::tuple<Bytes, DWORD, WORD, Bytes, DWORD> cases[] = {
        {{129, 7}, 1, kPspRunLength, {7}, 1},
        {literal, 128, kPspRunLength, Bytes(literal.begin() + 1, literal.end()), 128},
        {{0, 130, 5, 1, 9}, 3, kPspRunLength, {5, 5, 9}, 3},
        // Output stops at the expected length; a control byte or run cut off at the end.
        {{255, 1, 3, 2, 2, 2}, 4, kPspRunLength, {1, 1, 1, 1}, 4},
        {{1, 8, 130}, 3, kPspRunLength, {8, 0, 0}, 3},
        {{5, 8}, 3, kPspRunLength, {8, 0, 0}, 3},
        {{1, 2, 3, 4, 5}, 3, kPspUncompressed, {1, 2, 3}, 3},
        {{1, 2}, 5, kPspUncompressed, {1, 2, 0, 0, 0}, 2},
        // A stream that ends early is padded with its last byte; a longer one still fills.
        {deflated({1, 2, 3}), 6, kPspDeflate, {1, 2, 3, 3, 3, 3}, 6},
        {deflated({}), 3, kPspDeflate, {0, 0, 0}, 3},
        {deflated({4, 5, 6, 7}), 2, kPspDeflate, {4, 5}, 2},
        {cutDeflate, 100, kPspDeflate, {}, 0},
        {{1, 2, 3}, 3, 3, {}, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& [stored, cbExpected, compression, expected, cbOut] = cases[i];
        DWORD cb = cbExpected;
        BYTE* out = DecompressPspChannel(stored.data(), DWORD(stored.size()), &cb, compression);
        EXPECT_EQ(std::tuple(out ? Bytes(out, out + cbExpected) : Bytes(), cb), std::tuple(expected, cbOut)) << i;
        MEM_FREE(out);
    }
}

} // namespace
