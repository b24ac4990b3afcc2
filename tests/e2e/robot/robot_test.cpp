// The robot's eyes: the picture reader, and finding and naming tiles on screens put together
// from the packs the build makes.
#include "pack.h"
#include "test_env.h"

#include <gtest/gtest.h>
#include <map>

void PrintTo(const SeenTile& t, std::ostream* out)
{
    *out << "{" << t.x << "," << t.y << " face " << int(t.face) << " tile " << t.index << "}";
}

namespace {

TEST(RobotImage, ReaderRefusesWhatItCannotReadWhole)
{
    Image image{3, 2, Rgb{10, 20, 30}};
    image.at(2, 1) = {200, 100, 0};
    const std::vector<uint8_t> ppm = WritePpm(image);
    const Image back = ReadPpm(ppm);
    EXPECT_EQ(std::pair(back.width, back.pixels), std::pair(3, image.pixels));
    for (const std::string bad : {"", "P3\n1 1\n255\n", "P6\n1 1\n65535\n", "P6\n99999999 1\n255\n", "P6\n0 1\n255\n", "P6\n1 1\n255"})
        EXPECT_ANY_THROW(ReadPpm({bad.begin(), bad.end()})) << bad;
    EXPECT_ANY_THROW(ReadPpm({ppm.begin(), ppm.end() - 1}));
}

// The packs the build makes, decoded once with quibo-pack.
const PackPictures& Pack(const std::string& name)
{
    static std::map<std::string, PackPictures> decoded;
    auto found = decoded.find(name);
    if (found == decoded.end()) {
        const std::string bin = QUIBO_BIN;
        found = decoded.emplace(name, DecodePack(bin + "/quibo-pack", bin + "/" + name + ".res", (TestRoot() / "packs" / name).string()))
                    .first;
    }
    return found->second;
}

// Screens with every tile, selected and not, at board places on a dark background, a back,
// and a tile cut off by the edge (not whole, so not seen).
TEST(RobotTiles, FindsAndNamesEveryTileOfEveryPackSize)
{
    for (const char* name : {"quibo-l-hi", "quibo-p-hi", "quibo-s-lo"}) {
        SCOPED_TRACE(name);
        const PackPictures& pack = Pack(name);
        const TileFinder finder(pack.tiles);
        const int w = finder.tileWidth(), h = finder.tileHeight(), columns = 5, rows = 3;
        for (int next = 0; next < 162;) {
            Image screen{columns * (w + 4) + 30 + w, rows * (h + 5) + 20, Rgb{16, 60, 40}};
            std::vector<SeenTile> expected;
            for (int slot = 0; slot < columns * rows && next < 162; ++slot, ++next) {
                expected.push_back(
                    {10 + slot % columns * (w + 4), 10 + slot / columns * (h + 5), next % 2 ? Face::Selected : Face::Normal, next / 2});
                Paste(screen, finder.Compose(next / 2, next % 2), expected.back().x, expected.back().y);
            }
            if (next == 162) { // room left on the last screen
                expected.push_back({screen.width - w - 2, screen.height - h - 2, Face::Back, -1});
                Paste(screen, pack.tiles.faces[2], expected.back().x, expected.back().y);
            }
            Paste(screen, finder.Compose(40, false), screen.width - w / 2, 10);
            EXPECT_EQ(finder.Find(screen), expected);
        }
    }
}

// The art generator's preview draws sample tiles its own way, as the game places insets; the
// robot must name every one of them. The sheet shows them at twice their size.
TEST(RobotTiles, NamesTheTilesOfTheArtworkPreview)
{
    const Image sheet = ReadPicture(std::string(QUIBO_ART_SHEETS) + "/quibo-l-hi.png");
    const TileFinder finder(Pack("quibo-l-hi").tiles);
    std::vector<std::pair<Face, int>> best;
    for (int parity = 0; parity < 4; ++parity) {
        std::vector<std::pair<Face, int>> seen;
        for (const SeenTile& t : finder.Find(Crop(sheet, parity % 2, parity / 2, sheet.width - 2, finder.tileHeight() * 4, 2)))
            seen.emplace_back(t.face, t.index);
        if (seen.size() > best.size())
            best = seen;
    }
    // Index = colour x 27 + shape x 9 + shading x 3 + number - 1.
    const std::vector<std::pair<Face, int>> expected
        = {{Face::Normal, 0}, {Face::Normal, 40}, {Face::Normal, 80}, {Face::Selected, 11}, {Face::Selected, 58}, {Face::Back, -1}};
    EXPECT_EQ(best, expected);
}

} // namespace
