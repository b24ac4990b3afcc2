#include "cetl/list.h"
#include "cetl/map.h"
#include "cetl/vector.h"
#include "tl_string.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace cetl;

namespace {

template<typename Container> std::string joined(const Container& c)
{
    std::string out;
    for (const auto& item : c)
        out += std::to_string(item) + " ";
    return out;
}

// The message a call throws, or "" when it throws nothing.
std::string thrown(const std::function<void()>& call)
{
    try {
        call();
    } catch (const cetl::exception& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(Containers, VectorAndListKeepOrderThroughInsertsAndRemovals)
{
    cetl::vector<string> v;
    for (int i = 0; i < 100; ++i) // well past the first growth, so items are moved
        v.Add(string(std::to_string(i)));
    v.Insert(0, "first");
    v.Insert(v.Count(), "last");
    v.Remove(1);
    ASSERT_EQ(v.Count(), 101u);
    const cetl::vector<string> copy(v);
    v.RemoveAll();
    EXPECT_TRUE(v.IsEmpty());
    EXPECT_EQ(copy[0] + copy[1] + copy[99] + copy[100], "first199last");

    cetl::list<int> l;
    l.AddTail(2);
    l.AddHead(1);
    l.AddTail(3);
    auto it = l.end();
    EXPECT_EQ(*--it, 3);
    it = l.Insert(it, 25); // before 3
    EXPECT_EQ(*++it, 3);
    l.Remove(2);
    EXPECT_EQ(joined(l), "1 25 3 ");
    for (auto pos = l.begin(); pos != l.end();)
        pos = *pos == 25 ? l.Remove(pos) : ++pos;
    const cetl::list<int> listCopy(l);
    l.RemoveTail();
    EXPECT_EQ(l.Head() * 10 + l.Tail(), 11);
    l.RemoveHead();
    EXPECT_TRUE(l.IsEmpty());
    EXPECT_EQ(joined(listCopy), "1 3 ");
}

TEST(Containers, MisuseThrowsItsMessage)
{
    cetl::vector<int> v;
    v.Add(1);
    cetl::list<int> l, other;
    other.AddTail(1);
    cetl::map<istring, int> m, otherMap;
    otherMap["x"] = 1;
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { v[1]; }, kNoSuchVectorItem},
        {[&] { v.Insert(2, 0); }, kNoSuchVectorItem},
        {[&] { *v.end(); }, kInvalidIterator},
        {[&] { ++v.end(); }, kIteratorAtEnd},
        {[&] { --v.begin(); }, kIteratorAtBeginning},
        {[&] { l.Head(); }, kListIsEmpty},
        {[&] { l.RemoveTail(); }, kListIsEmpty},
        {[&] { --l.end(); }, kIteratorAtBeginning},
        {[&] { l.AddTail(1); }, ""},
        {[&] { l.Remove(7); }, kNoSuchListItem},
        {[&] { l.Remove(other.begin()); }, kNoSuchListItem},
        {[&] { l.Insert(other.begin(), 2); }, kNoSuchListItem},
        {[&] { l.Remove(l.end()); }, kInvalidIterator},
        {[&] { *l.end(); }, kInvalidIterator},
        {[&] { ++l.end(); }, kIteratorAtEnd},
        {[&] { --l.begin(); }, kIteratorAtBeginning},
        {[&] { m.At("x"); }, kNoSuchMapIndex},
        {[&] { m["x"] = 1; }, ""},
        {[&] { *m.end(); }, kInvalidIterator},
        {[&] { ++m.end(); }, kIteratorAtEnd},
        {[&] { --m.begin(); }, kIteratorAtBeginning},
        {[&] { m.Remove(m.end()); }, kInvalidIterator},
        {[&] { m.Remove(otherMap.begin()); }, kInvalidIterator},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(thrown(cases[i].first), cases[i].second) << "case " << i;
    EXPECT_EQ(*--v.end() + l.Count() + m.Count(), 3u);
}

TEST(Map, MatchesStdMapUnderRandomInsertsAndRemovalsAtAnyLevelSetting)
{
    // The probability is kept as a whole percentage and the level cap within 1 to 64.
    const std::tuple<double, int, int, int> cases[] = {{0.29, 32, 29, 32}, {0.79, 32, 79, 32}, {7.0, 1000, 100, 64}, {-1, 0, 0, 1}};
    std::mt19937 random(7);
    for (const auto& [probability, levels, percent, cappedLevels] : cases) {
        SCOPED_TRACE(probability);
        cetl::map<int, int> m(probability, levels);
        std::map<int, int> reference;
        for (int step = 0; step < 3000; ++step) {
            const int key = static_cast<int>(random() % 500);
            if (random() % 3 == 0 && reference.count(key)) {
                if (random() % 2)
                    m.Remove(key);
                else
                    m.Remove(m.Find(key));
                reference.erase(key);
            } else {
                m[key] = step;
                reference[key] = step;
            }
        }
        auto back = m.end();
        for (auto r = reference.rbegin(); r != reference.rend(); ++r)
            ASSERT_EQ((--back)->key, r->first);
        EXPECT_EQ(thrown([&] { --back; }), kIteratorAtBeginning);
        cetl::map<int, int> copy = m;
        m.RemoveAll();
        EXPECT_EQ(m.begin(), m.end());
        EXPECT_EQ(copy.PromotionPercent() * 100 + copy.MaxLevels(), percent * 100 + cappedLevels);
        std::vector<std::pair<int, int>> copied;
        for (const auto& entry : copy)
            copied.emplace_back(entry.key, entry.value);
        EXPECT_EQ(copied, (std::vector<std::pair<int, int>>(reference.begin(), reference.end())));
        EXPECT_EQ(copy.Count(), reference.size());
    }
}
