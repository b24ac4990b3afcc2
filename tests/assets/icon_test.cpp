// The desktop icon: every size a transparent square around an opaque tile with the three
// shapes in their colours, and PNG bytes that decode back to the drawn pixels.
#include "icon.h"

#include "png_reader.h"

#include <gtest/gtest.h>

namespace {

TEST(Icon, PngBytesDecodeToTheDrawnPixels)
{
    const Canvas icon = DrawIcon(24);
    const DecodedPng png = DecodePng(EncodePngRgba(icon));
    ASSERT_EQ(png.width, 24);
    ASSERT_EQ(png.height, 24);
    EXPECT_EQ(png.colourType, 6);
    const int width = png.width;
    for (int y = 0; y < png.height; ++y) {
        const uint8_t* row = &png.rows[size_t(y) * (size_t(width) * 4 + 1)];
        ASSERT_EQ(row[0], 0) << "filter of row " << y;
        for (int x = 0; x < width; ++x) {
            const Colour c = icon.At(x, y);
            const uint8_t* p = row + 1 + x * 4;
            EXPECT_NEAR(p[0], c.r * 255, 1);
            EXPECT_NEAR(p[1], c.g * 255, 1);
            EXPECT_NEAR(p[2], c.b * 255, 1);
            ASSERT_NEAR(p[3], c.a * 255, 1) << x << "," << y;
        }
    }
}

// Whether an opaque pixel of the colour lies between rows from and to (fractions of the size).
bool BandHas(const Canvas& icon, float from, float to, bool (*colour)(const Colour&))
{
    const int size = icon.Width();
    for (int y = int(from * float(size)); y < int(to * float(size)); ++y)
        for (int x = 0; x < size; ++x)
            if (icon.At(x, y).a > 0.99f && colour(icon.At(x, y)))
                return true;
    return false;
}

class IconSizes : public testing::TestWithParam<int> { };

TEST_P(IconSizes, ATransparentSquareAroundAnOpaqueTileWithTheThreeShapes)
{
    const int size = GetParam();
    const Canvas icon = DrawIcon(size);
    ASSERT_EQ(icon.Width(), size);
    ASSERT_EQ(icon.Height(), size);
    for (const auto& [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}})
        EXPECT_EQ(icon.At(x, y).a, 0.0f) << "corner " << x << "," << y;
    EXPECT_GT(icon.At(size / 2, size / 2).a, 0.99f);
    const auto red = [](const Colour& c) { return c.r > 0.6f && c.g < 0.4f && c.b < 0.4f; };
    const auto green = [](const Colour& c) { return c.g > 0.45f && c.r < 0.3f && c.b < 0.45f; };
    const auto blue = [](const Colour& c) { return c.b > 0.6f && c.r < 0.4f && c.g < 0.5f; };
    EXPECT_TRUE(BandHas(icon, 0.0f, 0.35f, red));
    EXPECT_TRUE(BandHas(icon, 0.35f, 0.65f, green));
    EXPECT_TRUE(BandHas(icon, 0.65f, 1.0f, blue));
    EXPECT_FALSE(BandHas(icon, 0.0f, 0.35f, blue)) << "shapes out of order";
}

INSTANTIATE_TEST_SUITE_P(Desktop, IconSizes, testing::ValuesIn(kIconSizes));

} // namespace
