// The robot's eyes: the picture reader, its reading of the rules, and finding and naming tiles
// on screens put together from the packs the build makes.
#include "pack.h"
#include "quibo.h"
#include "test_env.h"

#include <gtest/gtest.h>
#include <map>

void PrintTo(const SeenTile& t, std::ostream* out)
{
    *out << "{" << t.x << "," << t.y << " face " << int(t.face) << " tile " << t.index << "}";
}

namespace {

std::vector<uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

TEST(RobotImage, ReaderRefusesWhatItCannotReadWhole)
{
    Image image{3, 2, Rgb{10, 20, 30}};
    image.at(2, 1) = {200, 100, 0};
    const std::vector<uint8_t> ppm = WritePpm(image);
    const Image back = ReadPpm(ppm);
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.pixels, image.pixels);

    const std::vector<std::vector<uint8_t>> bad = {
        {},
        Bytes("P3\n1 1\n255\n"),
        Bytes("P6\n1 1\n65535\n"),
        Bytes("P6\n99999999 1\n255\n"),
        Bytes("P6\n0 1\n255\n"),
        Bytes("P6\n1 1\n255"),
        std::vector<uint8_t>(ppm.begin(), ppm.end() - 1),
    };
    for (size_t i = 0; i < bad.size(); ++i)
        EXPECT_ANY_THROW(ReadPpm(bad[i])) << i;
}

TEST(RobotRules, QuibosAreAllSameOrAllDifferentOnEveryAttribute)
{
    auto index = [](int colour, int shape, int shading, int number) { return colour * 27 + shape * 9 + shading * 3 + number - 1; };
    struct Case {
        int a, b, c;
        bool quibo;
    };
    const Case cases[] = {
        {index(0, 0, 0, 1), index(0, 0, 0, 2), index(0, 0, 0, 3), true}, // only the number differs
        {index(0, 0, 0, 1), index(1, 1, 1, 2), index(2, 2, 2, 3), true}, // everything differs
        {index(0, 1, 2, 3), index(1, 1, 0, 3), index(2, 1, 1, 3), true},
        {index(0, 0, 0, 1), index(0, 0, 0, 2), index(0, 0, 1, 3), false}, // two shadings alike
        {index(0, 0, 0, 1), index(1, 0, 0, 1), index(1, 0, 0, 2), false}, // two colours alike
        {index(2, 2, 2, 3), index(2, 2, 2, 3), index(2, 2, 2, 3), false}, // one tile three times
        {-1, index(1, 1, 1, 2), index(2, 2, 2, 3), false}, // an unknown tile
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsQuibo(c.a, c.b, c.c), c.quibo) << c.a << " " << c.b << " " << c.c;

    const std::vector<int> board = {index(0, 0, 0, 1), index(1, 2, 0, 1), index(0, 0, 0, 2), index(2, 1, 0, 1), index(0, 0, 0, 3)};
    EXPECT_EQ(FindQuibo(board), (std::array<size_t, 3>{0, 1, 3}));
    EXPECT_EQ(FindQuibo(board, {2}), (std::array<size_t, 3>{0, 2, 4}));
    EXPECT_EQ(FindQuibo(board, {1, 2}), std::nullopt);
    EXPECT_EQ(FindQuibo({board[0], -1, board[2], board[4]}), (std::array<size_t, 3>{0, 2, 3}));
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
