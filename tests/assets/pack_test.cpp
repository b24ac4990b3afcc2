// The six resource packs as the game opens them: every entry unpacks and decodes with the
// game's own readers into the cells it is cut into, keyed where it should be, and a
// low-colour pack's images merge into one palette without running out of colours.
#include "cea_graphic.h"
#include "cea_palette.h"
#include "test_env.h"
#include "unzipper.h"
#include "zz.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kBlue = 0x00FF0000;

struct Entry {
    const char* name;
    int cellWidth, cellHeight; // 0: any
    int columns, rows; // a grid the sheet must divide into, 0: any
    int cells; // cells of the given size, 0: any
    bool keyed;
};

const Entry kEntries[] = {{"buttons-down.zz", 68, 46, 0, 0, 10, true}, {"buttons-en.zz", 68, 46, 0, 0, 14, true},
                          {"buttons-eo.zz", 68, 46, 0, 0, 14, true},   {"effects.zz", 64, 64, 0, 0, 24, true},
                          {"insets.zz", 0, 0, 6, 9, 0, false},         {"tiles.zz", 0, 0, 3, 1, 0, false},
                          {"gameover-en.zz", 0, 0, 1, 3, 0, true},     {"gameover-eo.zz", 0, 0, 1, 3, 0, true},
                          {"divider.zz", 0, 0, 0, 0, 0, true},         {"logo.zz", 0, 0, 0, 0, 0, true}};

std::vector<BYTE> Unpacked(const ZIPENTRY& entry)
{
    BYTE* pb = nullptr;
    DWORD cb = 0;
    if (!ZZDecompress(&pb, &cb, entry.pbUncompressed, entry.cbUncompressed))
        return {};
    std::vector<BYTE> bytes(pb, pb + cb);
    ZZFree(pb);
    return bytes;
}

std::string ReadText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class Packs : public testing::TestWithParam<const char*> {
protected:
    std::string Path() const { return std::string(QUIBO_BIN) + "/quibo-" + GetParam() + ".res"; }
    bool Low() const { return std::string(GetParam()).ends_with("lo"); }

    // Every image of the pack, decoded as the game loads it.
    std::vector<std::unique_ptr<Graphic>> Load()
    {
        ZIPFILE archive(Path().c_str(), false);
        std::vector<std::unique_ptr<Graphic>> graphics;
        for (const Entry& e : kEntries) {
            const ZIPENTRY* found = archive[istring(e.name)];
            EXPECT_TRUE(found) << e.name;
            if (!found)
                continue;
            const std::vector<BYTE> data = Unpacked(*found);
            EXPECT_FALSE(data.empty()) << e.name;
            graphics.push_back(std::make_unique<Graphic>(data.data(), DWORD(data.size()), nullptr, e.keyed ? kBlue : kNoColor));
        }
        return graphics;
    }
};

TEST_P(Packs, EveryEntryDecodesIntoItsCellsAndTheLayoutIsTheClassesOwn)
{
    const std::vector<std::unique_ptr<Graphic>> graphics = Load();
    ASSERT_EQ(graphics.size(), std::size(kEntries));
    for (size_t i = 0; i < graphics.size(); ++i) {
        const Entry& e = kEntries[i];
        const Graphic& g = *graphics[i];
        ASSERT_TRUE(g.HasBitmap()) << e.name;
        EXPECT_EQ(g.GetBitCount(), Low() ? 8 : 24) << e.name;
        const int w = g.GetWidth(), h = g.GetHeight();
        if (e.cellWidth) {
            ASSERT_EQ(w % e.cellWidth + h % e.cellHeight, 0) << e.name;
            EXPECT_EQ((w / e.cellWidth) * (h / e.cellHeight), e.cells) << e.name;
        }
        EXPECT_TRUE(!e.columns || (w % e.columns == 0 && h % e.rows == 0)) << e.name;
        // The top-left corner of every keyed picture is see-through.
        EXPECT_EQ(g.GetTransparency(), e.keyed ? kBlue : kNoColor) << e.name;
        EXPECT_TRUE(!e.keyed || g.GetPixelColor(0, 0) == kBlue) << e.name;
    }
    // The pack carries its class's layout.
    ZIPFILE archive(Path().c_str(), false);
    const ZIPENTRY* layout = archive[istring("layout.txt")];
    ASSERT_TRUE(layout);
    const char* const classes[] = {"large", "small", "handheld"};
    const std::string file = std::string(QUIBO_LAYOUTS) + "/" + classes[std::string("lsp").find(GetParam()[0])];
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(layout->pbUncompressed), layout->cbUncompressed), ReadText(file + ".txt"));
}

// Merged with black, white and the eighteen static colours, as on a palettised display,
// every pixel keeps its colour.
class LowPacks : public Packs { };

TEST_P(LowPacks, ImagesShareOnePaletteWithoutLosingColours)
{
    const std::vector<std::unique_ptr<Graphic>> graphics = Load();
    const auto colours = [&] {
        std::vector<std::vector<COLORREF>> all;
        for (const auto& g : graphics) {
            std::vector<COLORREF>& pixels = all.emplace_back();
            for (int y = 0; y < g->GetHeight(); ++y)
                for (int x = 0; x < g->GetWidth(); ++x)
                    pixels.push_back(g->GetPixelColor(x, y));
        }
        return all;
    };
    const std::vector<std::vector<COLORREF>> before = colours();
    const PALETTEENTRY statics[18]
        = {{128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},
           {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0},
           {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0}};
    PaletteGroup group;
    ASSERT_TRUE(group.Open());
    group.Add(statics, 18);
    for (const auto& g : graphics)
        group.Add(g.get());
    group.Close();
    const std::vector<std::vector<COLORREF>> after = colours();
    for (size_t i = 0; i < graphics.size(); ++i)
        EXPECT_TRUE(after[i] == before[i]) << kEntries[i].name;
    for (const auto& g : graphics)
        group.Remove(g.get());
}

INSTANTIATE_TEST_SUITE_P(Six, Packs, testing::Values("l-hi", "l-lo", "s-hi", "s-lo", "p-hi", "p-lo"));
INSTANTIATE_TEST_SUITE_P(Three, LowPacks, testing::Values("l-lo", "s-lo", "p-lo"));

// Two runs of the generator write the same bytes, so the packs built from them are the same.
TEST(Generator, TwoRunsWriteIdenticalFiles)
{
    const std::string run = std::string(QUIBO_ART) + " " + QUIBO_LAYOUTS + " " + TestRoot().string();
    ASSERT_EQ(std::system((run + "/a >/dev/null && " + run + "/b >/dev/null").c_str()), 0);
    EXPECT_GT(std::distance(std::filesystem::recursive_directory_iterator(TestRoot() / "a"), {}), 70);
    EXPECT_EQ(std::system(("diff -r " + TestRoot().string() + "/a " + TestRoot().string() + "/b").c_str()), 0);
}

} // namespace
