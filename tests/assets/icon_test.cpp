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
    ASSERT_EQ((std::vector<int>{png.width, png.height, png.colourType}), (std::vector<int>{24, 24, 6}));
    for (int y = 0; y < 24; ++y) {
        const uint8_t* row = &png.rows[size_t(y) * (24 * 4 + 1)];
        ASSERT_EQ(row[0], 0) << "filter of row " << y;
        for (int x = 0; x < 24; ++x) {
            const Colour c = icon.At(x, y);
            const float want[] = {c.r, c.g, c.b, c.a};
            for (int channel = 0; channel < 4; ++channel)
                ASSERT_NEAR(row[1 + x * 4 + channel], want[channel] * 255, 1) << x << "," << y << " channel " << channel;
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
    ASSERT_EQ(std::pair(icon.Width(), icon.Height()), std::pair(size, size));
    for (const auto& [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}})
        EXPECT_EQ(icon.At(x, y).a, 0.0f) << "corner " << x << "," << y;
    EXPECT_GT(icon.At(size / 2, size / 2).a, 0.99f);
    const auto red = [](const Colour& c) { return c.r > 0.6f && c.g < 0.4f && c.b < 0.4f; };
    const auto green = [](const Colour& c) { return c.g > 0.45f && c.r < 0.3f && c.b < 0.45f; };
    const auto blue = [](const Colour& c) { return c.b > 0.6f && c.r < 0.4f && c.g < 0.5f; };
    // The last: shapes out of order.
    EXPECT_EQ((std::vector<bool>{BandHas(icon, 0.0f, 0.35f, red), BandHas(icon, 0.35f, 0.65f, green), BandHas(icon, 0.65f, 1.0f, blue),
                                 BandHas(icon, 0.0f, 0.35f, blue)}),
              (std::vector<bool>{true, true, true, false}));
}

INSTANTIATE_TEST_SUITE_P(Desktop, IconSizes, testing::ValuesIn(kIconSizes));

} // namespace
