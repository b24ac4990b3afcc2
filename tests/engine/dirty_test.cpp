#include <gtest/gtest.h>

#include <vector>

#include "cea_dirty.h"

namespace {

bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class DirtyTest : public testing::Test {
protected:
    void SetUp() override { region = DIRTYREGION::Create(); ASSERT_NE(region, nullptr); }
    void TearDown() override { region->Destroy(); }

    std::vector<RECT> Rects() const { return {region->rg, region->rg + region->c}; }
    long Area() const
    {
        long area = 0;
        for (const RECT& r : Rects())
            area += long(r.right - r.left) * (r.bottom - r.top);
        return area;
    }

    DIRTYREGION* region = nullptr;
};

TEST_F(DirtyTest, OverlappingRectanglesBecomeTheirUnion)
{
    region->Add({0, 0, 10, 10});
    region->Add({5, 5, 20, 20});
    ASSERT_EQ(region->c, 1);
    EXPECT_TRUE(region->rg[0] == RECT({0, 0, 20, 20}));
}

TEST_F(DirtyTest, TouchingRectanglesStayApart)
{
    region->Add({0, 0, 10, 10});
    region->Add({10, 0, 20, 10});
    EXPECT_EQ(region->c, 2);
}

TEST_F(DirtyTest, EmptyRectanglesAreIgnored)
{
    region->Add({5, 5, 5, 20});
    region->Add({5, 5, 20, 4});
    EXPECT_TRUE(region->IsEmpty());
}

TEST_F(DirtyTest, AGrownUnionAbsorbsEveryRectangleItNowCovers)
{
    // Three apart, then one across all of them: a single rectangle remains.
    region->Add({0, 0, 10, 10});
    region->Add({20, 0, 30, 10});
    region->Add({40, 0, 50, 10});
    region->Add({100, 100, 110, 110});
    region->Add({5, 5, 45, 8});
    const std::vector<RECT> rects = Rects();
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_TRUE(rects[0] == RECT({0, 0, 50, 10}) || rects[1] == RECT({0, 0, 50, 10}));
    EXPECT_TRUE(rects[0] == RECT({100, 100, 110, 110}) || rects[1] == RECT({100, 100, 110, 110}));
}

TEST_F(DirtyTest, AChainOfMergesLeavesNoOverlap)
{
    // The union of the first pair reaches a third rectangle, whose union reaches a fourth.
    region->Add({0, 0, 10, 10});
    region->Add({12, 0, 22, 30});
    region->Add({0, 25, 5, 40});
    region->Add({8, 5, 14, 8});
    const std::vector<RECT> rects = Rects();
    for (size_t i = 0; i < rects.size(); ++i)
        for (size_t j = i + 1; j < rects.size(); ++j)
            EXPECT_FALSE(RectsOverlap(rects[i], rects[j]));
    EXPECT_EQ(region->c, 1);
    EXPECT_TRUE(region->rg[0] == RECT({0, 0, 22, 40}));
}

TEST_F(DirtyTest, GrowsPastItsFirstSixteenRectangles)
{
    for (int i = 0; i < 40; ++i)
        region->Add({i * 10, 0, i * 10 + 5, 5});
    EXPECT_EQ(region->c, 40);
    EXPECT_GE(region->cAlloc, 40);
    EXPECT_EQ(Area(), 40 * 25);
    EXPECT_TRUE(region->Intersects({392, 0, 400, 1}));
    EXPECT_FALSE(region->Intersects({395, 0, 400, 5}));
    region->Clear();
    EXPECT_TRUE(region->IsEmpty());
}

TEST(RectTest, IntersectionAndUnion)
{
    EXPECT_TRUE(RectIntersection({0, 0, 10, 10}, {5, -5, 20, 5}) == RECT({5, 0, 10, 5}));
    EXPECT_TRUE(RectIsEmpty(RectIntersection({0, 0, 10, 10}, {10, 0, 20, 10})));
    EXPECT_TRUE(RectUnion({0, 0, 1, 1}, {-3, 4, 0, 9}) == RECT({-3, 0, 1, 9}));
}

} // namespace
