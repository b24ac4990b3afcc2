#include "cea_sprite.h"
#include "engine_test_util.h"

#include <gtest/gtest.h>

namespace {

TEST(SpriteTest, AGridOfCellsBecomesTheFrames)
{
    const int kWide = int(0x80000000 | 42); // a negative count across carries the frame width
    const struct {
        int cx, cy, across, down;
        DWORD count;
        int frames, frameWidth, frameHeight, probe, left, top; // probe: a frame whose top-left is checked
    } cases[] = {
        {64, 32, 4, 2, kAllFrames, 8, 16, 16, 5, 16, 16},
        {130, 10, kWide, 0, kAllFrames, 3, 42, 10, 2, 84, 0},
        {30, 30, 3, 3, 3, 3, 10, 10, 2, 20, 0},
        {30, 30, 3, 3, 20, 9, 10, 10, 8, 20, 20},
        {30, 30, int(0x80000000 | 40), 1, kAllFrames, 0, 0, 0, -1, 0, 0},
    };
    for (const auto& c : cases) {
        Graphic sheet(c.cx, c.cy, 24); // pixel (x, y) is colour (x, y, 0): a frame is told by its top-left
        Fill(sheet, [](int x, int y) { return x << 16 | y << 8; });
        Sprite sprite(&sheet, c.across, c.down, c.count);
        const Graphic* probe = sprite.Frame(c.probe);
        const RECT at = probe ? probe->GetRectInParent() : RECT{};
        EXPECT_EQ(std::tuple(sprite.FrameCount(), sprite.GetWidth(), sprite.GetHeight(), sprite.Frame(c.frames), sprite.Frame(-1)),
                  std::tuple(c.frames, c.frameWidth, c.frameHeight, nullptr, nullptr))
            << c.cx << "x" << c.cy << " by " << c.across << "x" << c.down;
        EXPECT_EQ(std::tuple(at.left, at.top, probe ? probe->GetPixelColor(0, 0) : 0), std::tuple(c.left, c.top, RGB(c.left, c.top, 0)));
    }
}

} // namespace
