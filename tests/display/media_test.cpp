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
#include "tile.h"
#include "unzipper.h"
#include "zip_builder.h"
#include "zz.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
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

struct CHOICE {
    int cx, cy, bits;
    std::set<int> missing; // packs not there
    std::set<int> corrupt; // packs that are not archives, or archives without a layout
    int expected; // -1: none opens
};

TEST(ChoosePack, TheLargestPackThatFitsAndOpensWins)
{
    const CHOICE cases[] = {
        {1024, 768, 16, {}, {}, 0},     {1024, 768, 32, {}, {}, 0},  {1024, 768, 8, {}, {}, 1},         {1280, 1024, 16, {0}, {}, 1},
        {1024, 768, 16, {0, 1}, {}, 2}, {1024, 768, 16, {}, {0}, 1}, {1024, 768, 16, {}, {0, 1, 2}, 3}, {800, 600, 16, {}, {}, 2},
        {640, 480, 16, {}, {}, 2},      {640, 480, 8, {}, {}, 3},    {1023, 768, 16, {}, {}, 2},        {240, 320, 16, {}, {}, 4},
        {240, 320, 8, {}, {}, 5},       {320, 240, 16, {}, {}, -1},  {640, 480, 8, {3}, {}, 5},         {240, 320, 16, {4, 5}, {}, -1},
    };
    int run = 0;
    for (const CHOICE& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cx << "x" << c.cy << "x" << c.bits << " expecting " << c.expected);
        const fs::path folder = TestRoot() / ("choose" + std::to_string(run++));
        for (int i = 0; i < 6; ++i) {
            if (c.missing.count(i))
                continue;
            Bytes bytes = FakePack(i);
            if (c.corrupt.count(i))
                bytes = i % 2 ? BuildZip({StoredItem("readme.txt", Bytes{'x'})}) : Bytes{'n', 'o', 't', ' ', 'z', 'i', 'p'};
            WriteFile(folder / kPackNames[i], bytes);
        }
        DisplayAs display(c.bits, false, c.cx, c.cy);
        const bool opened = ChoosePackFor(string((folder / "quibo.exe").string()));
        EXPECT_EQ(std::tuple(opened, OpenPackName()), std::tuple(c.expected >= 0, string(c.expected >= 0 ? kPackNames[c.expected] : "")));
        EXPECT_TRUE(c.expected < 0 || LayoutNumber("pack") == c.expected);
        ClosePack();
        EXPECT_TRUE(OpenPackName().IsEmpty());
    }
}

// The packs beside the program come first, then those of the folder above (a processor
// folder's), then those of share/quibo below that (an installed prefix's).
TEST(ChoosePack, TheNearestFolderHoldingPacksIsUsed)
{
    DisplayAs display(16, false, 640, 480);
    const struct {
        const char* program;
        const char* farther; // holds the first pack found
        const char* nearer; // then holds one that wins
    } cases[] = {
        {"installed/arm/quibo.exe", "installed", "installed/arm"},
        {"prefix/bin/quibo", "prefix/share/quibo", "prefix"},
        {"prefix/bin/quibo", "prefix/share/quibo", "prefix/bin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nearer);
        const fs::path root = TestRoot() / "near";
        fs::remove_all(root);
        fs::create_directories((root / c.program).parent_path());
        WriteFile(root / c.farther / "quibo-s-hi.res", FakePack(2));
        std::string program = (root / c.program).string();
        ASSERT_TRUE(ChoosePackFor(string(program)));
        EXPECT_EQ(LayoutNumber("pack"), 2);
        ClosePack();
        WriteFile(root / c.nearer / "quibo-s-lo.res", FakePack(3));
        program[program.rfind('/')] = '\\'; // both separate
        ASSERT_TRUE(ChoosePackFor(string(program)));
        EXPECT_EQ(LayoutNumber("pack"), 3);
        ClosePack();
    }
}

// Cells come row by row; an odd sheet holds an extra narrow column, which shifts the cells after it.
TEST(Cutting, CellsAndPiecesComeRowByRowAtTheirOffsets)
{
    const struct {
        int cxSheet, cySheet;
        bool grid; // else pieces of 35 x 12 at (16, 17) inside cells of 68 x 46
        int cells, left6, top7, width6;
    } cases[] = {{150, 225, true, 54, 0, 25, 25}, {152, 225, true, 54, 150, 25, 2}, {204, 230, false, 14, 16, 46 * 2 + 17, 35}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cxSheet);
        Graphic* sheet = MEM_NEW(Graphic, c.cxSheet, c.cySheet, 24, static_cast<const RGBQUAD*>(nullptr));
        Graphic* cells[54] = {};
        ASSERT_TRUE(c.grid ? CutByGrid(sheet, cells, c.cells, 6, 9) : CutPieces(sheet, cells, c.cells, 68, 46, 16, 17, 35, 12));
        const int cx = c.grid ? 25 : 68, cy = c.grid ? 25 : 46, columns = c.cxSheet / cx;
        for (int i = 0; i < c.cells; ++i) {
            const RECT r = cells[i]->GetRectInParent();
            if (i < 6 || c.cxSheet % cx == 0) {
                EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right - r.left, r.bottom - r.top}),
                          std::vector<LONG>({i % columns * cx + (c.grid ? 0 : 16), i / columns * cy + (c.grid ? 0 : 17), c.grid ? 25 : 35,
                                             c.grid ? 25 : 12}))
                    << i;
            }
        }
        // A view never reaches outside its sheet.
        EXPECT_EQ(std::tuple(cells[6]->GetRectInParent().left, cells[6]->GetWidth(), cells[7]->GetRectInParent().top),
                  std::tuple(c.left6, c.width6, c.top7));
        FreeCells(sheet, cells, c.cells);
        EXPECT_TRUE(!sheet && !cells[c.cells - 1]);
    }
    Graphic sheet(10, 10, 24);
    Graphic* none[2] = {};
    EXPECT_FALSE(CutBySize(nullptr, none, 2, 10, 10) || CutBySize(&sheet, none, 2, 0, 10) || CutByGrid(&sheet, none, 2, 0, 1));
}

TEST(PackImages, DamagedEntriesGiveNoImage)
{
    Bytes packed;
    {
        const Bytes text{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
        BYTE* zz = nullptr;
        DWORD cb = 0;
        ASSERT_TRUE(ZZCompress(&zz, &cb, text.data(), DWORD(text.size())));
        packed.assign(zz, zz + cb);
        ZZFree(zz);
    }
    Bytes truncated(packed.begin(), packed.begin() + long(packed.size() / 2));
    const Bytes zip = BuildZip({StoredItem("empty.zz", {}), StoredItem("notimage.zz", packed), StoredItem("truncated.zz", truncated),
                                StoredItem("raw.zz", Bytes{1, 2, 3, 4, 5, 6})});
    ZIPFILE pack(zip.data(), DWORD(zip.size()), false);
    for (const char* name : {"empty.zz", "notimage.zz", "truncated.zz", "raw.zz"})
        EXPECT_EQ(LoadImageEntry(pack[istring(name)], 0x00FF0000), nullptr) << name;
    EXPECT_EQ(LoadImageEntry(nullptr, 0x00FF0000), nullptr);
    EXPECT_EQ(LoadPackImage("logo.zz", 0x00FF0000), nullptr); // no pack open
}

TEST(PackImages, AMissingImageStopsTheLoadAndKeepsWhatCameBefore)
{
    // A shipped pack with every entry but the effects.
    ZIPFILE shipped((fs::path(TestProgramFolder()) / "quibo-p-hi.res").string().c_str(), false);
    std::vector<ZipItem> items;
    for (auto& entry : shipped) {
        if (entry.key == istring("effects.zz"))
            continue;
        ZIPENTRY* e = entry.value;
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
