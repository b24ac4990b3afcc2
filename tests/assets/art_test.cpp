// The drawn art: sizes that fit the layouts, captions inside their rectangle, seamless
// insets and pressed buttons, transparent margins, and the same bytes on every run.
#include "buttons.h"
#include "effects.h"
#include "flatten.h"
#include "geometry.h"
#include "pack.h"
#include "pictures.h"
#include "style.h"
#include "tiles.h"

#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

const auto Layout = [](const char* file) -> cetl::PROPERTIES { return ReadLayout(std::string(QUIBO_LAYOUTS) + "/" + file); };

const auto PixelAt = [](const RgbImage& image, int x, int y) -> Rgb { return image.pixels[size_t(y) * size_t(image.width) + size_t(x)]; };

const auto IsPlate = [](Rgb pixel) -> bool { return pixel == Opaque(style::kPlate) || pixel == Opaque(style::kPlateShade); };

const auto InCaption = [](int x, int y) -> bool {
    return x >= kCaptionLeft && x < kCaptionLeft + kCaptionWidth && y >= kCaptionTop && y < kCaptionTop + kCaptionHeight;
};

// Calls visit(cell, x, y, pixel) for every pixel of the first `cells` cells of a sheet, row by row.
template<class Visit> void ForEachCellPixel(const RgbImage& sheet, int cellWidth, int cellHeight, int cells, Visit visit)
{
    const int columns = sheet.width / cellWidth;
    for (int cell = 0; cell < cells; ++cell)
        for (int y = 0; y < cellHeight; ++y)
            for (int x = 0; x < cellWidth; ++x)
                visit(cell, x, y, PixelAt(sheet, cell % columns * cellWidth + x, cell / columns * cellHeight + y));
}

class Classes : public testing::TestWithParam<const char*> { };

TEST(Flatten, KeyedPicturesBlendWithBlackAndNeverDrawTheKey)
{
    Canvas canvas(3, 1);
    canvas.Set(0, 0, Hex(0x0000FF)); // pure blue drawn on purpose
    canvas.Set(1, 0, Hex(0xFF0000, 0.5f)); // half-covered red
    EXPECT_EQ(Flatten(canvas, true).pixels, (std::vector<Rgb>{{0, 0, 254}, {128, 0, 0}, kKey}));
}

TEST_P(Classes, TilesFillTheBoardAboveTheButtons)
{
    cetl::PROPERTIES layout = Layout(GetParam());
    const Geometry g = GeometryFromLayout(layout);
    EXPECT_EQ(g.tileWidth + layout["cxTILES_SPACING"].Number(),
              2 * (layout["xTILES_LEFT_FOUR"].Number() - layout["xTILES_LEFT_FIVE"].Number()));
    const int bottom = layout["yTILES_TOP"].Number() + 3 * g.tileHeight + 2 * layout["cyTILES_SPACING"].Number();
    EXPECT_LE(bottom, layout["button-add top"].Number());
    EXPECT_GT(bottom + 3 * 3, layout["button-add top"].Number()); // no wasted room
    const int five = layout["xTILES_LEFT_FIVE"].Number() + 5 * g.tileWidth + 4 * layout["cxTILES_SPACING"].Number();
    EXPECT_LE(five, layout["cxWINDOW"].Number());
    EXPECT_LE(layout["object-tutorial yTILES"].Number() + g.tileHeight, layout["cyWINDOW"].Number());
}

// Wherever the game puts one, two or three insets, selected or not, the face beneath is the
// flat colour the inset cells are drawn on.
TEST_P(Classes, InsetsSitOnTheFlatPartOfTheFace)
{
    const Geometry g = GeometryFromLayout(Layout(GetParam()));
    const RgbImage faces = Flatten(DrawTileFaces(g));
    const RgbImage insets = Flatten(DrawInsets(g));
    ASSERT_EQ((std::vector<int>{faces.width, insets.width, insets.height}),
              (std::vector<int>{3 * g.tileWidth, 6 * g.insetWidth, 9 * g.insetHeight}));
    for (int selected = 0; selected < 2; ++selected) {
        const Rgb interior = Opaque(selected ? style::kSelected : style::kFace);
        EXPECT_EQ(PixelAt(insets, selected * 3 * g.insetWidth, 0), interior);
        for (int n = 1; n <= 3; ++n) {
            const int shift = selected ? 0 : 1;
            const int x0 = (g.tileWidth - g.insetWidth) / 2 - shift;
            const int y0 = (g.tileHeight - n * g.insetHeight - (n - 1) * g.insetSpacing) / 2 - shift;
            for (int y = y0; y < y0 + n * g.insetHeight + (n - 1) * g.insetSpacing; ++y)
                for (int x = x0; x < x0 + g.insetWidth; ++x)
                    ASSERT_EQ(PixelAt(faces, selected * g.tileWidth + x, y), interior) << n << " at " << x << "," << y;
        }
    }
}

TEST_P(Classes, EveryInsetShowsItsShapeInItsColour)
{
    const Geometry g = GeometryFromLayout(Layout(GetParam()));
    std::vector<std::vector<uint8_t>> cells(54);
    std::vector<int> strongest(54); // the cell's colour over the other two channels
    ForEachCellPixel(Flatten(DrawInsets(g)), g.insetWidth, g.insetHeight, 54, [&](int cell, int, int, Rgb p) {
        const int channel[3] = {p.r, p.g, p.b}, colour = cell % 3;
        strongest[cell] = std::max(strongest[cell], channel[colour] - std::max(channel[(colour + 1) % 3], channel[(colour + 2) % 3]));
        cells[cell].insert(cells[cell].end(), {p.r, p.g, p.b});
    });
    for (int cell = 0; cell < 54; ++cell)
        EXPECT_GT(strongest[cell], 60) << "cell " << cell;
    EXPECT_EQ(std::set<std::vector<uint8_t>>(cells.begin(), cells.end()).size(), 54u);
}

TEST(Buttons, LabelsStayInsideTheCaptionRectangle)
{
    TextRenderer text;
    for (const Language language : {Language::English, Language::Esperanto}) {
        const RgbImage faces = Flatten(DrawButtonFaces(text, language));
        ASSERT_EQ(faces.width * faces.height, kButtonCount * kButtonWidth * kButtonHeight);
        std::vector<int> label(kButtonCount);
        ForEachCellPixel(faces, kButtonWidth, kButtonHeight, kButtonCount, [&](int i, int x, int y, Rgb here) {
            if (InCaption(x, y))
                label[i] += IsPlate(here) ? 0 : 1;
            else // outside the caption every face is the same button
                ASSERT_EQ(here, PixelAt(faces, x, y)) << ButtonLabels(language)[i] << " at " << x << "," << y;
        });
        for (int i = 0; i < kButtonCount; ++i)
            EXPECT_GT(label[i], 25) << ButtonLabels(language)[i];
    }
}

TEST(Buttons, PressedFramesShimmerAroundAnEmptyPlate)
{
    const RgbImage frames = Flatten(DrawPressedFrames());
    ASSERT_EQ(frames.width * frames.height, kPressedFrames * kButtonWidth * kButtonHeight);
    std::vector<std::vector<uint8_t>> cells(kPressedFrames);
    ForEachCellPixel(frames, kButtonWidth, kButtonHeight, kPressedFrames, [&](int i, int x, int y, Rgb here) {
        cells[i].insert(cells[i].end(), {here.r, here.g, here.b});
        EXPECT_TRUE(!InCaption(x, y) || IsPlate(here)) << "frame " << i << " at " << x << "," << y;
        EXPECT_TRUE(x || y || here == kKey) << "frame " << i;
    });
    EXPECT_EQ(std::set<std::vector<uint8_t>>(cells.begin(), cells.end()).size(), size_t(kPressedFrames));
}

TEST(Effects, SparklesFadeInsideTransparentCells)
{
    const RgbImage sparkles = Flatten(DrawSparkles());
    ASSERT_EQ(std::pair(sparkles.width, sparkles.height), std::pair(kSparkleSize * kSparkleFrames, kSparkleSize * kSparkleKinds));
    std::vector<int> drawn(kSparkleFrames * kSparkleKinds);
    ForEachCellPixel(sparkles, kSparkleSize, kSparkleSize, kSparkleFrames * kSparkleKinds, [&](int cell, int x, int y, Rgb here) {
        const bool edge = x == 0 || y == 0 || x == kSparkleSize - 1 || y == kSparkleSize - 1;
        EXPECT_TRUE(!edge || here == kKey) << "cell " << cell;
        drawn[cell] += here == kKey ? 0 : 1;
    });
    for (size_t cell = 0; cell < drawn.size(); ++cell)
        EXPECT_GT(drawn[cell], 4) << "cell " << cell;
}

INSTANTIATE_TEST_SUITE_P(Layouts, Classes, testing::Values("large.txt", "small.txt", "handheld.txt"));

} // namespace
