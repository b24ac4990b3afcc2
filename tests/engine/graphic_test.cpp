// Graphic: pixels at every depth, colour values, translucency, palettes, bitmap files,
// children and the misuse reports.
#include "bitmap_files.h"
#include "engine_test_util.h"
#include "test_env.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

// A 24-bit bitmap file of cx x |height| whose stored rows (bottom-up when height > 0) hold
// pixel (x, row) = 0x00RRGGBB with red x, green row, blue 7.
Bytes BitmapFile(int cx, int height)
{
    return ::BitmapFile({cx, height, 24}, [](uint32_t row, uint32_t i) { return uint8_t(i % 3 == 0 ? 7 : i % 3 == 1 ? row : i / 3); });
}

HANDLE Open(const std::filesystem::path& path, DWORD access)
{
    return CreateFileW(path.u16string().c_str(), access, FILE_SHARE_READ, nullptr, access == GENERIC_READ ? OPEN_EXISTING : CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

class GraphicDepth : public testing::TestWithParam<std::pair<int, bool>> { };

TEST_P(GraphicDepth, PixelValuesReadBackWithoutTouchingNeighbours)
{
    const auto [bitCount, f555] = GetParam();
    DisplayAs display(24, f555);
    Graphic g(13, 3, bitCount);
    const DWORD mask = bitCount == 32 ? 0xFFFFFFFF : (1u << bitCount) - 1;
    auto value = [&](int i) { return DWORD(i * 0x01234567u + i / 13 * 0x89ABCDEFu) & mask; };
    // Every pixel written over another value, then read back.
    for (DWORD flip : {mask, 0u})
        for (int i = 0; i < 39; ++i)
            g.SetPixelValue(i % 13, i / 13, value(i) ^ flip);
    for (int i = 0; i < 39; ++i)
        ASSERT_EQ(g.GetPixelValue(i % 13, i / 13), value(i)) << i;
    // Outside the bitmap nothing is read or written.
    g.SetPixelValue(13, 0, mask);
    g.SetPixelValue(-1, 2, mask);
    EXPECT_EQ(std::tuple(g.GetPixelValue(13, 0), g.GetPixelValue(12, 0)), std::tuple(0u, value(12)));
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, GraphicDepth,
                         testing::Values(std::pair{1, false}, std::pair{4, false}, std::pair{8, false}, std::pair{16, true},
                                         std::pair{16, false}, std::pair{24, false}, std::pair{32, false}));

TEST(GraphicColors, ValuesAndColoursConvertAtEveryLayout)
{
    for (bool f555 : {true, false}) {
        DisplayAs display(16, f555);
        Graphic g(2, 2, 16);
        g.SetPixelColor(1, 1, RGB(0, 255, 0));
        EXPECT_EQ(std::tuple(g.ColorToValue(RGB(255, 0, 0)), g.ValueToColor(0xFFFF), g.GetPixelValue(1, 1)),
                  f555 ? std::tuple(0x7C00u, RGB(248, 248, 248), 0x03E0u) : std::tuple(0xF800u, RGB(248, 252, 248), 0x07E0u));
    }
    // Palettised: the first matching index, else 0.
    RGBQUAD palette[256] = {};
    palette[3] = palette[9] = {30, 20, 10, 0};
    Graphic indexed(2, 2, 8, palette);
    EXPECT_EQ(std::tuple(indexed.ColorToValue(RGB(10, 20, 30)), indexed.ColorToValue(RGB(1, 2, 3)), indexed.ValueToColor(9),
                         indexed.GetPaletteColor(256), Graphic(9, 1, 1).ValueToColor(7)),
              std::tuple(3u, 0u, RGB(10, 20, 30), kNoColor, RGB(255, 255, 255)));
}

TEST(GraphicTranslucency, SameSettingKeepsTheMapOpaqueFreesItAndAMaskGivesIt)
{
    Graphic g(4, 2, 24), mask(4, 2, 24);
    ASSERT_TRUE(g.SetTranslucency(kOpacityMap, 128));
    const TRANSLUCENCY* t = g.GetTranslucency();
    const BYTE first = t->opacity[7];
    t->opacity[7] = 9;
    ASSERT_TRUE(g.SetTranslucency(kOpacityMap, 128));
    EXPECT_EQ(std::tuple(first, t->opacity[7]), std::tuple(128, 9));
    ASSERT_TRUE(g.SetTranslucency(kOpaque, 0));
    EXPECT_TRUE(!g.IsTranslucent() && !t->opacity);
    // Opacity from the brightness of a graphic of the same size.
    mask.SetPixelColor(1, 1, RGB(30, 60, 90));
    ASSERT_TRUE(g.SetTranslucency(mask));
    EXPECT_EQ(std::tuple(t->type, t->opacity[t->cbStride + 1], t->opacity[t->cbStride - 1]), std::tuple(kOpacityMap, 60, 0));
    EXPECT_FALSE(g.SetTranslucency(Graphic(2, 2, 24)));
}

TEST(GraphicPalette, NewEntriesKeepThePixels)
{
    // New entries keep the pixels, the key and the translucency; entries past the table are refused.
    Graphic g(5, 4, 8);
    PALETTEENTRY entries[256];
    EXPECT_TRUE(g.GetPaletteEntries(entries, 0, 256) && !g.GetPaletteEntries(entries, 256, 1));
    g.SetPixelValue(2, 3, 40);
    g.SetTransparency(RGB(1, 2, 3));
    ASSERT_TRUE(g.SetTranslucency(kUniformOpacity, 77));
    const PALETTEENTRY colour = {200, 100, 50, 0};
    ASSERT_TRUE(g.SetPaletteEntries(&colour, 40, 1));
    EXPECT_EQ(std::tuple(g.GetPixelValue(2, 3), g.GetPixelColor(2, 3), g.GetTransparency(), g.GetTranslucency()->defaultOpacity),
              std::tuple(40u, RGB(200, 100, 50), RGB(1, 2, 3), BYTE(77)));
}

TEST(GraphicBitmap, RowsLoadTopDownAndShortOrBrokenDataLoadsBlankOrNothing)
{
    Bytes file = BitmapFile(3, 4), topDown = BitmapFile(3, -4), shortFile = file;
    shortFile.pop_back();
    Graphic g(file.data(), DWORD(file.size()));
    // The first stored row is the bottom row; pixel data one byte short gives a blank bitmap.
    Graphic blank(shortFile.data(), DWORD(shortFile.size()), nullptr, RGB(9, 9, 9));
    EXPECT_EQ(std::tuple(g.GetBitCount(), g.GetPixelValue(2, 3), g.GetPixelValue(1, 0),
                         Graphic(topDown.data(), DWORD(topDown.size())).GetPixelValue(1, 0)),
              std::tuple(24, 0x020007u, 0x010307u, 0x010007u));
    EXPECT_EQ(std::tuple(blank.HasBitmap(), blank.GetWidth(), blank.GetHeight(), blank.GetPixelValue(2, 3), blank.GetTransparency()),
              std::tuple(true, 3, 4, 0u, RGB(9, 9, 9)));
    // A bit count of 13; planes times bits far beyond an int, from memory and from an open file.
    file[28] = 13;
    EXPECT_FALSE(Graphic(file.data(), DWORD(file.size())).HasBitmap());
    file[26] = 0xFE;
    file[27] = file[29] = 0xFF;
    file[28] = 0xFB;
    EXPECT_FALSE(Graphic(file.data(), DWORD(file.size())).HasBitmap());
    HANDLE handle = Open(WriteTestFile("planes.bmp", file), GENERIC_READ);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    Graphic fromFile(handle, nullptr, kNoColor);
    CloseHandle(handle);
    EXPECT_FALSE(fromFile.HasBitmap());
}

// A view of 11 pixels: rows padded to four bytes at every depth, a colour table below 24 bits.
TEST(GraphicSave, AViewSavesItsOwnRectangleAndLoadsBack)
{
    for (int bitCount : {1, 8, 24}) {
        SCOPED_TRACE(bitCount);
        Graphic g(19, 6, bitCount);
        Fill(g, [&](int x, int y) { return (x * 3 + y) % (bitCount == 1 ? 2 : 256); });
        const RECT rect = {3, 1, 14, 5};
        Graphic view(&g, &rect);
        const auto path = TestRoot() / "view.bmp";
        HANDLE file = Open(path, GENERIC_WRITE);
        EXPECT_TRUE(view.Save(file));
        CloseHandle(file);
        const Bytes bytes = ReadBytes(path);
        const Graphic back(path.u16string().c_str());
        ASSERT_GE(bytes.size(), 6u);
        // The header's file size is the file's, colour table included; the padding after the
        // first row's 33 bytes at 24 bits is zero.
        EXPECT_EQ(
            std::tuple(bytes[2] | bytes[3] << 8 | bytes[4] << 16 | bytes[5] << 24, view.GetSaveSize(true), bitCount != 24 || !bytes[87]),
            std::tuple(int(bytes.size()), DWORD(bytes.size()), true));
        EXPECT_EQ(std::tuple(back.GetBitCount(), Pixels(back)), std::tuple(bitCount, Pixels(view)));
    }
}

TEST(GraphicChildren, AViewReadsAndWritesItsParentWithinItsRectangle)
{
    Graphic parent(10, 8, 24);
    const RECT rect = {6, 5, 14, 12};
    Graphic child(&parent, &rect);
    child.SetPixelValue(1, 2, 0xABCDEF);
    child.SetPixelValue(4, 0, 0x111111);
    const RECT inner = {2, 2, 4, 4};
    Graphic middle(&parent, &inner);
    middle.SetPixelValue(2, 0, 0x111111); // beyond the view, inside the parent
    Graphic grandchild(&child, nullptr);
    EXPECT_EQ(
        std::tuple(child.GetWidth(), child.GetHeight(), parent.GetPixelValue(7, 7), parent.GetPixelValue(9, 5), parent.GetPixelValue(4, 2)),
        std::tuple(4, 3, 0xABCDEFu, 0u, 0u));
    EXPECT_EQ(std::tuple(grandchild.GetPixelValue(1, 2), grandchild.GetParent()), std::tuple(0xABCDEFu, &child));
}

// A destroyed graphic answers nothing: its views and its open device context go with it, and a
// second destruction changes nothing. A view going takes the views onto it along, and leaves its
// siblings.
TEST(GraphicReports, ADestroyedGraphicAndItsViewsAnswerNothing)
{
    Graphic* parent = new Graphic(4, 4, 24);
    Graphic child(parent, nullptr);
    parent->GetDC();
    parent->Destroy();
    EXPECT_EQ(std::tuple(child.valid, parent->GetWidth(), parent->GetTransparency()), std::tuple(false, 0, kNoColor));
    parent->Destroy();
    delete parent;

    Graphic root(8, 8, 24);
    Graphic sibling(&root, nullptr);
    auto* middle = new Graphic(&root, nullptr);
    Graphic grandchild(middle, nullptr);
    delete middle;
    EXPECT_TRUE(!grandchild.valid && sibling.valid);
    root.Destroy(); // must not reach the freed middle view through the grandchild
    EXPECT_FALSE(sibling.valid);
}

} // namespace
