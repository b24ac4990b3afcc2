// The media set: choosing and opening the pack, cutting sheets into cells, loading images.
#include "media.h"

#include "cea_display.h"
#include "cea_graphic.h"
#include "cea_palette.h"
#include "display_fixture.h"
#include "engine_test_util.h"
#include "layout.h"
#include "memmgr.h"
#include "test_env.h"
#include "unzipper.h"
#include "zip_builder.h"
#include "zz.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kPackNames[]
    = {"quibo-l-hi.res", "quibo-l-lo.res", "quibo-s-hi.res", "quibo-s-lo.res", "quibo-p-hi.res", "quibo-p-lo.res"};

void WriteFile(const fs::path& path, const Bytes& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A pack whose layout names it: "pack = <its index>".
Bytes FakePack(int index)
{
    const std::string layout = "pack = " + std::to_string(index) + "\r\ncxWINDOW = 100\r\n";
    return BuildZip({StoredItem("Layout.TXT", Bytes(layout.begin(), layout.end()))});
}

// The pack opened from program, by its layout's number; -1 when none opens.
int Chosen(const std::string& program)
{
    const int pack = ChoosePackFor(string(program)) ? LayoutNumber("pack") : -1;
    EXPECT_EQ(OpenPackName(), string(pack >= 0 ? kPackNames[pack] : ""));
    ClosePack();
    return pack;
}

// packs: one letter per pack, '.' there, '-' missing, 'x' no archive, 'y' an archive without a layout.
TEST(ChoosePack, TheLargestPackThatFitsAndOpensWins)
{
    const struct {
        int cx, cy, bits;
        const char* packs;
        int expected; // -1: none opens
    } cases[] = {
        {1024, 768, 16, "......", 0}, {1024, 768, 32, "......", 0}, {1024, 768, 8, "......", 1},  {1280, 1024, 16, "-.....", 1},
        {1024, 768, 16, "--....", 2}, {1024, 768, 16, "x.....", 1}, {1024, 768, 16, "xyx...", 3}, {800, 600, 16, "......", 2},
        {640, 480, 16, "......", 2},  {640, 480, 8, "......", 3},   {1023, 768, 16, "......", 2}, {240, 320, 16, "......", 4},
        {240, 320, 8, "......", 5},   {320, 240, 16, "......", -1}, {640, 480, 8, "...-..", 5},   {240, 320, 16, "....--", -1},
    };
    for (const auto& c : cases) {
        const fs::path folder = TestRoot() / ("choose" + std::to_string(&c - cases));
        for (int i = 0; i < 6; ++i)
            if (c.packs[i] != '-')
                WriteFile(folder / kPackNames[i], c.packs[i] == '.'   ? FakePack(i)
                                                  : c.packs[i] == 'x' ? Bytes{'n', 'o', 't'}
                                                                      : BuildZip({StoredItem("readme.txt", Bytes{'x'})}));
        DisplayAs display(c.bits, false, c.cx, c.cy);
        EXPECT_EQ(Chosen((folder / "quibo.exe").string()), c.expected) << c.cx << "x" << c.cy << "x" << c.bits << " " << c.packs;
    }
}

// The packs beside the program come first, then those of the folder above (a processor
// folder's), then those of share/quibo below that (an installed prefix's); '/' and '\' both
// separate.
TEST(ChoosePack, TheNearestFolderHoldingPacksIsUsed)
{
    DisplayAs display(16, false, 640, 480);
    const struct {
        const char *program, *farther, *nearer; // the first pack found, then one that wins
    } cases[] = {
        {"installed/arm/quibo.exe", "installed", "installed/arm"},
        {"prefix/bin/quibo", "prefix/share/quibo", "prefix"},
        {"prefix/bin/quibo", "prefix/share/quibo", "prefix/bin"},
    };
    for (const auto& c : cases) {
        const fs::path root = TestRoot() / "near";
        fs::remove_all(root);
        fs::create_directories((root / c.program).parent_path());
        std::string program = (root / c.program).string();
        WriteFile(root / c.farther / "quibo-s-hi.res", FakePack(2));
        EXPECT_EQ(Chosen(program), 2) << c.nearer;
        WriteFile(root / c.nearer / "quibo-s-lo.res", FakePack(3));
        program[program.rfind('/')] = '\\';
        EXPECT_EQ(Chosen(program), 3) << c.nearer;
    }
}

// Cells come row by row; an odd sheet holds an extra narrow column, which shifts the cells after
// it, and a view never reaches outside its sheet. Shown: cells 0, 5, 6, 7 and the last.
TEST(Cutting, CellsAndPiecesComeRowByRowAtTheirOffsets)
{
    const struct {
        int cxSheet, cySheet, cells; // a grid of 6 x 9, else pieces of 35 x 12 at (16, 17) inside cells of 68 x 46
        const char* shown;
    } cases[] = {
        {150, 225, 54, "0 0 25 25|125 0 150 25|0 25 25 50|25 25 50 50|125 200 150 225|"},
        {152, 225, 54, "0 0 25 25|125 0 150 25|150 0 152 25|0 25 25 50|100 175 125 200|"},
        {204, 230, 14, "16 17 51 29|152 63 187 75|16 109 51 121|84 109 119 121|84 201 119 213|"},
    };
    for (const auto& c : cases) {
        Graphic* sheet = MEM_NEW(Graphic, c.cxSheet, c.cySheet, 24, static_cast<const RGBQUAD*>(nullptr));
        Graphic* cells[54] = {};
        ASSERT_TRUE(c.cells == 54 ? CutByGrid(sheet, cells, c.cells, 6, 9) : CutPieces(sheet, cells, c.cells, 68, 46, 16, 17, 35, 12));
        std::string shown;
        for (int i : {0, 5, 6, 7, c.cells - 1})
            shown += Str(cells[i]->GetRectInParent()) + "|";
        EXPECT_EQ(shown, c.shown);
        FreeCells(sheet, cells, c.cells);
        EXPECT_TRUE(!sheet && !cells[c.cells - 1]);
    }
    Graphic sheet(10, 10, 24);
    Graphic* none[2] = {};
    EXPECT_FALSE(CutBySize(nullptr, none, 2, 10, 10) || CutBySize(&sheet, none, 2, 0, 10) || CutByGrid(&sheet, none, 2, 0, 1));
}

// Damaged entries give no image; a missing one stops the load, which keeps what came before.
TEST(PackImages, DamagedOrMissingEntriesGiveNoImage)
{
    const Bytes text{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    BYTE* zz = nullptr;
    DWORD cb = 0;
    ASSERT_TRUE(ZZCompress(&zz, &cb, text.data(), DWORD(text.size())));
    std::vector<ZipItem> items = {StoredItem("empty.zz", {}), StoredItem("notimage.zz", Bytes(zz, zz + cb)),
                                  StoredItem("truncated.zz", Bytes(zz, zz + cb / 2)), StoredItem("raw.zz", Bytes{1, 2, 3, 4, 5, 6})};
    ZZFree(zz);
    const Bytes zip = BuildZip(items);
    ZIPFILE damaged(zip.data(), DWORD(zip.size()), false);
    for (const ZipItem& item : items)
        EXPECT_EQ(LoadImageEntry(damaged[istring(item.name.c_str())], 0x00FF0000), nullptr) << item.name;
    EXPECT_EQ(LoadImageEntry(nullptr, 0x00FF0000), nullptr);
    EXPECT_EQ(LoadPackImage("logo.zz", 0x00FF0000), nullptr); // no pack open

    // A shipped pack with every entry but the effects.
    ZIPFILE shipped((fs::path(TestProgramFolder()) / "quibo-p-hi.res").string().c_str(), false);
    items.clear();
    for (auto& entry : shipped) {
        ZIPENTRY* e = entry.value;
        if (entry.key == istring("effects.zz"))
            continue;
        e->Decompress();
        items.push_back(StoredItem(std::string(entry.key.View()), Bytes(e->pbUncompressed, e->pbUncompressed + e->cbUncompressed)));
    }
    const fs::path folder = TestRoot() / "no-effects";
    WriteFile(folder / "quibo-p-hi.res", BuildZip(items));
    DisplayAs display(16, false, 240, 320);
    ASSERT_TRUE(ChoosePackFor(string((folder / "quibo.exe").string())));
    EXPECT_FALSE(LoadImages());
    ClosePack();
    EXPECT_TRUE(g_media.rgFaces[SET_ESPERANTO][13] && !g_media.pEffects && !g_media.pInsets && g_media.pGroup->openCount == 0);
    FreeImages();
    EXPECT_EQ(g_media.rgFaces[SET_ESPERANTO][13], nullptr);
}

} // namespace
