#include "anim_window_support.h"
#include "cea_graphic.h"
#include "cea_object.h"
#include "engine_test_util.h"
#include "memmgr.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace {

class ObjectTest : public AnimWindowTest {
protected:
    std::vector<ANIMOBJECT*> FrontToBack() const
    {
        std::vector<ANIMOBJECT*> order;
        for (ANIMOBJECT* o = anim->FirstObject(); o; o = o->next)
            order.push_back(o);
        return order;
    }
};

TEST_F(ObjectTest, LowerLayersAreInFrontAndReorderingKeepsTheLayersConsistent)
{
    Graphic* g = Solid(4, 4, RGB(9, 9, 9));
    ANIMOBJECT* a = ANIMOBJECT::Create(anim, g, 10);
    ANIMOBJECT* b = ANIMOBJECT::Create(anim, g, 20);
    ANIMOBJECT* c = ANIMOBJECT::Create(anim, g, 30);
    ANIMOBJECT* d = ANIMOBJECT::Create(anim, g, 20); // earlier objects lead their layer
    using Order = std::vector<ANIMOBJECT*>;
    EXPECT_EQ(std::tuple(FrontToBack(), d->previous), std::tuple(Order{a, b, d, c}, b));
    d->Destroy();
    c->ToFront();
    EXPECT_EQ(std::tuple(FrontToBack(), c->GetLayer()), std::tuple(Order{c, a, b}, 10));
    b->SetLayer(5);
    EXPECT_EQ(std::tuple(FrontToBack(), anim->FirstInLayer(10), anim->FirstInLayer(20)), std::tuple(Order{b, c, a}, c, nullptr));
    a->Destroy();
    c->Destroy();
    b->Destroy();
    EXPECT_TRUE(!anim->FirstObject() && !anim->LastObject());
}

// Data slots grow on demand and answer zero beyond their count.
TEST_F(ObjectTest, AnImageGivesItsSizeAndDataSlotsGrow)
{
    ANIMOBJECT* o = ANIMOBJECT::Create(anim, Solid(12, 7, RGB(1, 1, 1)), 3);
    const std::tuple made(o->autoDraw, o->GetSize().cx, o->GetSize().cy, o->GetData(2));
    o->SetPosition(3, 4);
    o->SetGraphic(Solid(5, 6, RGB(1, 1, 1)), FALSE);
    const BOOL autoDraw = o->autoDraw;
    o->SetGraphic(nullptr);
    o->SetPosition(70, 70);
    EXPECT_TRUE(o->SetData(9, 99) && !o->SetData(-1, 1));
    EXPECT_EQ(std::tuple(made, autoDraw, o->rect.left, o->GetWidth(), o->GetData(9), o->GetData(100)),
              std::tuple(std::tuple(TRUE, 12, 7, 0u), FALSE, 70, 5, 99u, 0u));
}

std::vector<UINT> g_messages;
LRESULT Recording(ANIMOBJECT*, UINT message, void*)
{
    g_messages.push_back(message);
    return 1;
}

TEST_F(ObjectTest, ACallbackObjectHearsItsLifeAndTakesOverDrawing)
{
    g_messages.clear();
    ANIMOBJECT* o = ANIMOBJECT::Create(anim, Recording, 3);
    EXPECT_FALSE(o->autoDraw);
    o->SetRect({0, 0, 10, 10});
    anim->PaintNow();
    o->Destroy();
    EXPECT_EQ(g_messages, (std::vector<UINT>{kObjCreated, kObjUpdate, kObjDraw, kObjDestroying}));
    ANIMOBJECT* drawn = ANIMOBJECT::Create(anim, Solid(2, 2, 0), 3);
    drawn->SetCallback([](ANIMOBJECT*, UINT, void*) -> LRESULT { return 7; });
    EXPECT_EQ(drawn->Send(kObjHitTest), 7);
    drawn->SetCallback(nullptr);
    EXPECT_TRUE(drawn->autoDraw && drawn->Send(kObjHitTest) == 1);
}

TEST_F(ObjectTest, AfterManyMovesTheScreenEqualsAFreshComposition)
{
    constexpr COLORREF kBackground = RGB(20, 40, 60);
    anim->Fill(kBackground);
    // The window composed afresh: the background, then every object's image from the back.
    const auto Compose = [&] {
        Graphic* fresh = Solid(kWidth, kHeight, kBackground);
        for (ANIMOBJECT* o = anim->LastObject(); o; o = o->previous)
            o->CurrentGraphic()->DrawTo(fresh, o->rect.left, o->rect.top);
        return Pixels(*fresh);
    };
    // Still scenery, then moving tiles over several layers, every third with a keyed hole that
    // shows what lies behind.
    for (int i = 0; i < 4; ++i) {
        ANIMOBJECT* o = ANIMOBJECT::Create(anim, Solid(30, 20, RGB(200, 10 * i, 0)), 200);
        o->SetPosition(i * 40, 90);
        o->SetFlags(kObjStatic);
    }
    std::vector<ANIMOBJECT*> objects;
    for (int i = 0; i < 10; ++i) {
        Graphic* g = Solid(12 + i, 10 + i, RGB(i * 20, 250 - i * 20, 128));
        const DWORD hole = g->ColorToValue(RGB(255, 0, 255));
        Fill(*g, [&](int x, int y) { return i % 3 == 0 && x >= 3 && x < 9 && y >= 3 && y < 7 ? hole : g->GetPixelValue(x, y); });
        g->SetTransparency(i % 3 == 0 ? RGB(255, 0, 255) : kNoColor);
        objects.push_back(ANIMOBJECT::Create(anim, g, 100 + i % 3));
    }
    anim->PaintNow();
    std::srand(7);
    for (int step = 0; step < 60; ++step) {
        for (ANIMOBJECT* o : objects) {
            if (std::rand() % 3 == 0)
                continue;
            o->SetPosition(o->rect.left + std::rand() % 21 - 10, o->rect.top + std::rand() % 21 - 10);
            if (o->rect.left < -20 || o->rect.left > kWidth || o->rect.top < -20 || o->rect.top > kHeight)
                o->SetPosition(kWidth / 2, kHeight / 2);
        }
        if (step % 17 == 5)
            objects[step % objects.size()]->ToFront();
        if (step % 23 == 11)
            objects[step % objects.size()]->SetLayer(99 + step % 5);
        anim->PaintNow();
        ASSERT_EQ(Pixels(*anim->screen), Compose()) << "after step " << step;
    }
    WritePicture(*anim->screen, "engine_moves_composed");
    // Destroying objects uncovers what was behind them.
    for (size_t i = 0; i < objects.size(); i += 2) {
        objects[i]->Destroy();
        anim->PaintNow();
        ASSERT_EQ(Pixels(*anim->screen), Compose()) << "after destroying " << i;
    }
}

} // namespace
