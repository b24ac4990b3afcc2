#include "anim_window_support.h"
#include "cea_object.h"
#include "cea_sprite.h"
#include "engine_test_util.h"
#include "memmgr.h"

#include <gtest/gtest.h>

namespace {

// A sheet whose pixel (x, y) is colour (x, y, 0): every frame can be told by its top-left.
struct Sheet {
    Sheet(int cx, int cy) : graphic(cx, cy, 24)
    {
        Fill(graphic, [](int x, int y) { return x << 16 | y << 8; });
    }
    Graphic graphic;
};

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
        Sheet sheet(c.cx, c.cy);
        Sprite sprite(&sheet.graphic, c.across, c.down, c.count);
        const Graphic* probe = sprite.Frame(c.probe);
        const RECT at = probe ? probe->GetRectInParent() : RECT{};
        EXPECT_EQ(std::tuple(sprite.FrameCount(), sprite.GetWidth(), sprite.GetHeight(), sprite.Frame(c.frames), sprite.Frame(-1)),
                  std::tuple(c.frames, c.frameWidth, c.frameHeight, nullptr, nullptr))
            << c.cx << "x" << c.cy << " by " << c.across << "x" << c.down;
        EXPECT_EQ(std::tuple(at.left, at.top, probe ? probe->GetPixelColor(0, 0) : 0), std::tuple(c.left, c.top, RGB(c.left, c.top, 0)));
    }
}

TEST(SpriteTest, AChildShowsOnePartOfEveryParentFrame)
{
    Sheet sheet(40, 20);
    Sprite parent(&sheet.graphic, 2, 1, kAllFrames);
    Sprite* child = MEM_NEW(Sprite, &parent, RECT{5, 6, 9, 10});
    ASSERT_EQ(child->FrameCount(), 2);
    EXPECT_TRUE(child->IsChild() && child->GetParent() == &parent && child->GetRect().left == 5 && child->GetWidth() == 4);
    EXPECT_EQ(child->Frame(1)->GetPixelColor(0, 0), RGB(25, 6, 0));
    MEM_DELETE(child);
    EXPECT_EQ(parent.children[0], nullptr);
    // A parent destroyed before its child frees it.
    Sprite* first = MEM_NEW(Sprite, &sheet.graphic, 2, 1, kAllFrames);
    MEM_NEW(Sprite, first, RECT{0, 0, 4, 4});
    MEM_DELETE(first);
}

class SpriteWindowTest : public AnimWindowTest { };

TEST_F(SpriteWindowTest, AnObjectShowsTheFrameOfTheWindowsFrameNumber)
{
    Sheet sheet(64, 16);
    Sprite sprite(&sheet.graphic, 4, 1, kAllFrames);
    ANIMOBJECT* object = ANIMOBJECT::Create(anim, &sprite, 1);
    while (anim->GetCurrentFrame() < 10)
        anim->Step();
    anim->PaintNow();
    EXPECT_EQ(std::tuple(object->GetWidth(), object->CurrentGraphic(), anim->screen->GetPixelColor(0, 0)),
              std::tuple(16, sprite.Frame(2), RGB(32, 0, 0)));
    object->Destroy();
}

} // namespace
