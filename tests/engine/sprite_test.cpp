#include <gtest/gtest.h>

#include "anim_window_support.h"
#include "cea_graphic.h"
#include "cea_object.h"
#include "cea_sprite.h"
#include "engine_test_util.h"
#include "memmgr.h"

namespace {

// A sheet whose pixel (x, y) is colour (x, y, 0): every frame can be told by its top-left.
Graphic* Sheet(int cx, int cy)
{
    Graphic* g = MEM_NEW(Graphic, cx, cy, 24, static_cast<const RGBQUAD*>(nullptr));
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            g->SetPixelColor(x, y, RGB(x, y, 0));
    return g;
}

TEST(SpriteTest, AGridOfCellsBecomesTheFrames)
{
    Graphic* sheet = Sheet(64, 32);
    Sprite* sprite = MEM_NEW(Sprite, sheet, 4, 2, kAllFrames);
    ASSERT_EQ(sprite->FrameCount(), 8);
    EXPECT_EQ(sprite->GetWidth(), 16);
    EXPECT_EQ(sprite->GetHeight(), 16);
    Graphic* frame5 = sprite->Frame(5);
    ASSERT_NE(frame5, nullptr);
    EXPECT_EQ(frame5->GetRectInParent().left, 16);
    EXPECT_EQ(frame5->GetRectInParent().top, 16);
    EXPECT_EQ(frame5->GetPixelColor(0, 0), RGB(16, 16, 0));
    EXPECT_EQ(sprite->Frame(8), nullptr);
    EXPECT_EQ(sprite->Frame(-1), nullptr);
    MEM_DELETE(sprite);
    MEM_DELETE(sheet);
}

TEST(SpriteTest, ANegativeAcrossCarriesTheFrameWidth)
{
    Graphic* sheet = Sheet(130, 10);
    Sprite* sprite = MEM_NEW(Sprite, sheet, int(0x80000000 | 42), 0, kAllFrames);
    ASSERT_EQ(sprite->FrameCount(), 3); // 130 / 42 columns, one row
    EXPECT_EQ(sprite->GetWidth(), 42);
    EXPECT_EQ(sprite->GetHeight(), 10);
    EXPECT_EQ(sprite->Frame(2)->GetPixelColor(0, 0), RGB(84, 0, 0));
    MEM_DELETE(sprite);
    MEM_DELETE(sheet);
}

TEST(SpriteTest, CountsAreCappedAtTheGrid)
{
    Graphic* sheet = Sheet(30, 30);
    Sprite* three = MEM_NEW(Sprite, sheet, 3, 3, 3);
    EXPECT_EQ(three->FrameCount(), 3);
    Sprite* capped = MEM_NEW(Sprite, sheet, 3, 3, 20);
    EXPECT_EQ(capped->FrameCount(), 9);
    Sprite* tooWide = MEM_NEW(Sprite, sheet, int(0x80000000 | 40), 1, kAllFrames);
    EXPECT_EQ(tooWide->FrameCount(), 0);
    EXPECT_EQ(tooWide->GetWidth(), 0);
    MEM_DELETE(three);
    MEM_DELETE(capped);
    MEM_DELETE(tooWide);
    MEM_DELETE(sheet);
}

TEST(SpriteTest, AChildShowsOnePartOfEveryParentFrame)
{
    Graphic* sheet = Sheet(40, 20);
    Sprite* parent = MEM_NEW(Sprite, sheet, 2, 1, kAllFrames);
    Sprite* child = MEM_NEW(Sprite, parent, RECT{5, 6, 9, 10});
    EXPECT_TRUE(child->IsChild());
    EXPECT_EQ(child->GetParent(), parent);
    ASSERT_EQ(child->FrameCount(), 2);
    EXPECT_EQ(child->Frame(1)->GetPixelColor(0, 0), RGB(25, 6, 0));
    EXPECT_EQ(child->GetRect().left, 5);
    EXPECT_EQ(child->GetWidth(), 4);
    MEM_DELETE(child);
    EXPECT_EQ(parent->children[0], nullptr);
    MEM_DELETE(parent);
    MEM_DELETE(sheet);
}

TEST(SpriteTest, AParentDestroyedBeforeItsChildReportsAndFreesIt)
{
    Graphic* sheet = Sheet(40, 20);
    Sprite* parent = MEM_NEW(Sprite, sheet, 2, 1, kAllFrames);
    Sprite* child = MEM_NEW(Sprite, parent, RECT{0, 0, 4, 4});
    TraceCapture trace;
    const std::string expected =
        "Warning: freeing child sprite " + AddressText(child) + " when parent " + AddressText(parent) + " destroyed";
    MEM_DELETE(parent);
    EXPECT_TRUE(trace.Contains(expected));
    MEM_DELETE(sheet);
}

class SpriteWindowTest : public AnimWindowTest {};

TEST_F(SpriteWindowTest, AnObjectShowsTheFrameOfTheWindowsFrameNumber)
{
    Graphic* sheet = Sheet(64, 16);
    Sprite* sprite = MEM_NEW(Sprite, sheet, 4, 1, kAllFrames);
    ANIMOBJECT* object = ANIMOBJECT::Create(anim, sprite, 1);
    EXPECT_EQ(object->GetWidth(), 16);
    while (anim->GetCurrentFrame() < 10)
        anim->Step();
    EXPECT_EQ(object->CurrentGraphic(), sprite->Frame(2));
    anim->PaintNow();
    EXPECT_EQ(anim->screen->GetPixelColor(0, 0), RGB(32, 0, 0));
    object->Destroy();
    MEM_DELETE(sprite);
    MEM_DELETE(sheet);
}

} // namespace
