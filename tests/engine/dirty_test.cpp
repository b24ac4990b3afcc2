#include "cea_dirty.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

using Rects = std::vector<RECT>;

// The rectangles as comparable keys, sorted.
std::vector<std::tuple<LONG, LONG, LONG, LONG>> Sorted(const Rects& rects)
{
    std::vector<std::tuple<LONG, LONG, LONG, LONG>> keys;
    for (const RECT& r : rects)
        keys.emplace_back(r.left, r.top, r.right, r.bottom);
    std::sort(keys.begin(), keys.end());
    return keys;
}

TEST(DirtyTest, OverlappingRectanglesMergeIntoTheirUnionAndTheRegionGrows)
{
    Rects apart; // past its first sixteen rectangles the region grows
    for (int i = 0; i < 40; ++i)
        apart.push_back({i * 10, 0, i * 10 + 5, 5});
    const struct {
        const char* name;
        Rects added, region;
    } cases[] = {
        {"overlapping", {{0, 0, 10, 10}, {5, 5, 20, 20}}, {{0, 0, 20, 20}}},
        {"touching stay apart", {{0, 0, 10, 10}, {10, 0, 20, 10}}, {{0, 0, 10, 10}, {10, 0, 20, 10}}},
        {"empty ones are ignored", {{5, 5, 5, 20}, {5, 5, 20, 4}}, {}},
        {"a grown union absorbs all it covers",
         {{0, 0, 10, 10}, {20, 0, 30, 10}, {40, 0, 50, 10}, {100, 100, 110, 110}, {5, 5, 45, 8}},
         {{0, 0, 50, 10}, {100, 100, 110, 110}}},
        // The union of the first pair reaches a third rectangle, whose union reaches a fourth.
        {"a chain of merges", {{0, 0, 10, 10}, {12, 0, 22, 30}, {0, 25, 5, 40}, {8, 5, 14, 8}}, {{0, 0, 22, 40}}},
        {"forty apart", apart, apart},
    };
    for (const auto& c : cases) {
        DIRTYREGION* region = DIRTYREGION::Create();
        for (const RECT& r : c.added)
            region->Add(r);
        EXPECT_EQ(std::tuple(Sorted({region->rg, region->rg + region->c}), region->IsEmpty()),
                  std::tuple(Sorted(c.region), c.region.empty()))
            << c.name;
        EXPECT_TRUE(c.added.size() < 40 || (region->Intersects({392, 0, 400, 1}) && !region->Intersects({395, 0, 400, 5})));
        region->Clear();
        EXPECT_TRUE(region->IsEmpty());
        region->Destroy();
    }
}

TEST(RectTest, IntersectionAndUnion)
{
    EXPECT_EQ(Sorted({RectIntersection({0, 0, 30, 10}, {5, -5, 20, 5}), RectUnion({0, 2, 1, 3}, {-3, -4, 0, 9})}),
              Sorted({{5, 0, 20, 5}, {-3, -4, 1, 9}}));
    EXPECT_TRUE(RectIsEmpty(RectIntersection({0, 0, 10, 10}, {10, 0, 20, 10})));
}

} // namespace
