// One palette per low-colour pack: within the game's colour budget, exact where it must be,
// the key kept for transparency alone.
#include "quantise.h"

#include "geometry.h"
#include "pack.h"
#include "style.h"

#include <gtest/gtest.h>
#include <set>

namespace {

const auto Packed = [](Rgb c) -> uint32_t { return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; };

// A smooth ramp needs far more colours than a palette holds.
RgbImage Ramp(int width, int height, bool keyed)
{
    RgbImage image{width, height, {}, keyed};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels.push_back({uint8_t(x * 255 / (width - 1)), uint8_t(y * 255 / (height - 1)), uint8_t((x + y) % 200)});
    return image;
}

TEST(Quantise, PaletteHoldsTheFixedColoursInTheirPlaces)
{
    const IndexedSet set = Quantise({Ramp(64, 64, false)}, {});
    // Black, nine system colours, then the other nine at the top before white.
    std::vector<Rgb> expected = {{0, 0, 0}}, fixed;
    expected.insert(expected.end(), SystemColours().begin(), SystemColours().end());
    expected.push_back({255, 255, 255});
    for (size_t i = 0; i < 256; ++i)
        if (i < 10 || i >= 246)
            fixed.push_back(set.palette[i]);
    EXPECT_EQ(fixed, expected);
    EXPECT_EQ(set.palette[252], kKey);
}

TEST(Quantise, ExactColoursAndKeyPixelsComeThroughUnchanged)
{
    RgbImage image = Ramp(40, 30, true);
    const Rgb flat{12, 34, 56};
    for (int x = 0; x < 40; ++x) {
        image.pixels[size_t(x)] = kKey;
        image.pixels[size_t(40 + x)] = flat;
    }
    image.pixels[200] = {0, 0, 254}; // next to the key, but not it
    const IndexedSet set = Quantise({image}, {flat});
    const IndexedImage& out = set.images[0];
    for (size_t i = 0; i < out.indices.size(); ++i) {
        EXPECT_EQ(out.indices[i] == 252, i < 40) << i;
        EXPECT_TRUE(i < 40 || i >= 80 || set.palette[out.indices[i]] == flat) << i;
    }
}

// Together with black, white and the system colours, a pack's images fit the 256 entries
// the game's palette group has, and the reduced art stays close to the drawn one.
TEST(Quantise, EveryPackFitsTheGamesPalette)
{
    TextRenderer text;
    for (const char* file : {"large.txt", "handheld.txt"}) {
        const Geometry g = GeometryFromLayout(ReadLayout(std::string(QUIBO_LAYOUTS) + "/" + file));
        std::vector<RgbImage> images;
        for (const Artwork& art : DrawPack(text, g))
            images.push_back(Flatten(art));
        const IndexedSet set = Quantise(images, {Opaque(style::kFace), Opaque(style::kSelected)});
        std::set<uint32_t> fixed = {Packed({0, 0, 0}), Packed({255, 255, 255})};
        for (const Rgb& c : SystemColours())
            fixed.insert(Packed(c));
        std::set<uint32_t> used;
        double error = 0, count = 0;
        for (size_t i = 0; i < images.size(); ++i)
            for (size_t p = 0; p < images[i].pixels.size(); ++p) {
                const Rgb want = images[i].pixels[p], got = set.palette[set.images[i].indices[p]];
                if (!fixed.contains(Packed(got)))
                    used.insert(Packed(got));
                error += std::abs(want.r - got.r) + std::abs(want.g - got.g) + std::abs(want.b - got.b);
                count += 1;
            }
        EXPECT_LE(used.size(), size_t(kFreeColours)) << file;
        EXPECT_LT(error / count, 6.0) << file; // mean error per pixel over three channels
    }
}

} // namespace
