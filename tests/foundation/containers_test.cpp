#include "cetl/list.h"
#include "cetl/map.h"
#include "cetl/safemap.h"
#include "cetl/stringmap.h"
#include "cetl/vector.h"
#include "tl_string.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

template<typename List> std::vector<int> items(const List& l)
{
    std::vector<int> out;
    for (int v : l)
        out.push_back(v);
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

const std::string kAtEnd = "the iterator has already reached the end of the container";
const std::string kAtBeginning = "the iterator has already reached the beginning of the container";
const std::string kInvalid = "the iterator does not reference a valid object";

} // namespace

TEST(Vector, AddInsertRemoveKeepOrder)
{
    cetl::vector<string> v;
    for (int i = 0; i < 100; ++i) // well past the first growth, so items are moved
        v.Add(string(std::to_string(i)));
    v.Insert(0, "first");
    v.Insert(v.Count(), "last");
    v.Remove(1);
    ASSERT_EQ(v.Count(), 101u);
    cetl::vector<string> copy(v);
    v.RemoveAll();
    EXPECT_TRUE(v.IsEmpty());
    EXPECT_EQ(copy[0].View(), "first");
    EXPECT_EQ(copy[1].View(), "1");
    EXPECT_EQ(copy[100].View(), "last");
}

TEST(Containers, MisuseThrowsItsMessage)
{
    cetl::vector<int> v;
    v.Add(1);
    cetl::list<int> l, other;
    other.AddTail(1);
    cetl::map<istring, int> m, otherMap;
    otherMap["x"] = 1;
    const std::string noVectorItem = "the item specified does not exist within the vector";
    const std::string noListItem = "the item specified does not exist within the list";
    const std::string noIndex = "the index specified does not exist within the map";
    const std::string empty = "the list is empty";
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { v[1]; }, noVectorItem},
        {[&] { v.Insert(2, 0); }, noVectorItem},
        {[&] { *v.end(); }, kInvalid},
        {[&] { ++v.end(); }, kAtEnd},
        {[&] { --v.begin(); }, kAtBeginning},
        {[&] { l.Head(); }, empty},
        {[&] { l.RemoveTail(); }, empty},
        {[&] { --l.end(); }, kAtBeginning},
        {[&] { l.AddTail(1); }, ""},
        {[&] { l.Remove(7); }, noListItem},
        {[&] { l.Remove(other.begin()); }, noListItem},
        {[&] { l.Insert(other.begin(), 2); }, noListItem},
        {[&] { l.Remove(l.end()); }, kInvalid},
        {[&] { *l.end(); }, kInvalid},
        {[&] { ++l.end(); }, kAtEnd},
        {[&] { --l.begin(); }, kAtBeginning},
        {[&] { m.At("x"); }, noIndex},
        {[&] { m["x"] = 1; }, ""},
        {[&] { *m.end(); }, kInvalid},
        {[&] { ++m.end(); }, kAtEnd},
        {[&] { --m.begin(); }, kAtBeginning},
        {[&] { m.Remove(m.end()); }, kInvalid},
        {[&] { m.Remove(otherMap.begin()); }, kInvalid},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(thrown(cases[i].first), cases[i].second) << "case " << i;
    EXPECT_EQ(*--v.end(), 1);
    EXPECT_EQ(l.Count(), 1u);
    EXPECT_EQ(m.Count(), 1u);
}

TEST(List, HeadTailAndIteration)
{
    cetl::list<int> l;
    l.AddTail(2);
    l.AddHead(1);
    l.AddTail(3);
    EXPECT_EQ(l.Head(), 1);
    EXPECT_EQ(l.Tail(), 3);
    auto it = l.end();
    EXPECT_EQ(*--it, 3);
    it = l.Insert(it, 25); // before 3
    EXPECT_EQ(*++it, 3);
    l.Remove(2);
    EXPECT_EQ(items(l), (std::vector<int>{1, 25, 3}));
    for (auto pos = l.begin(); pos != l.end();)
        pos = *pos == 25 ? l.Remove(pos) : ++pos;
    cetl::list<int> copy(l);
    l.RemoveHead();
    l.RemoveTail();
    EXPECT_TRUE(l.IsEmpty());
    EXPECT_EQ(items(copy), (std::vector<int>{1, 3}));
}

TEST(Map, IstringKeysAreOrderedIgnoringCase)
{
    cetl::map<istring, int> m(0.79, 32);
    m["beta"] = 1;
    m["Alpha"] = 2;
    m["GAMMA"] = 3;
    m["alpha"] = 4; // the same key as "Alpha"
    m["Ĉapelo"] = 5;
    m["ĉAPELO"] = 6;
    std::string order;
    for (const auto& entry : m)
        order += std::string(entry.key.View()) + "=" + std::to_string(entry.value) + " ";
    // The first spelling of a key stays; code points above ASCII sort after it.
    EXPECT_EQ(order, "Alpha=4 beta=1 GAMMA=3 Ĉapelo=6 ");
    EXPECT_EQ(m.At("ALPHA"), 4);
    EXPECT_TRUE(m.Contains("gamma"));
    EXPECT_EQ(m.Find("delta"), m.end());
}

TEST(Map, ProbabilityIsAWholePercentageAndLevelsAreCapped)
{
    const struct {
        double probability;
        int levels, percent, cappedLevels;
    } cases[] = {{0.79, 32, 79, 32}, {7.0, 1000, 100, 64}, {-1, 0, 0, 1}};
    for (const auto& c : cases) {
        cetl::map<int, int> m(c.probability, c.levels);
        EXPECT_EQ(m.PromotionPercent(), c.percent);
        EXPECT_EQ(m.MaxLevels(), c.cappedLevels);
        for (int i = 0; i < 50; ++i) // every node at every level the cap allows, or at one
            m[i % 7 * 10 - i] = i;
        EXPECT_EQ(m.Count(), 50u);
        EXPECT_EQ(m.begin()->key, -49);
        const cetl::map<int, int> copy(m);
        EXPECT_EQ(copy.PromotionPercent(), c.percent);
    }
}

TEST(Map, MatchesStdMapUnderRandomInsertsAndRemovals)
{
    std::mt19937 random(7);
    for (double probability : {0.25, 0.5, 0.79}) {
        cetl::map<int, int> m(probability, 32);
        std::map<int, int> reference;
        for (int step = 0; step < 4000; ++step) {
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
        cetl::map<int, int> copy = m;
        m.RemoveAll();
        EXPECT_EQ(m.begin(), m.end());
        ASSERT_EQ(copy.Count(), reference.size());
        auto expected = reference.begin();
        for (const auto& entry : copy) {
            ASSERT_EQ(entry.key, expected->first);
            ASSERT_EQ(entry.value, expected->second);
            ++expected;
        }
        auto back = copy.end();
        for (auto r = reference.rbegin(); r != reference.rend(); ++r)
            ASSERT_EQ((--back)->key, r->first);
        EXPECT_EQ(thrown([&] { --back; }), kAtBeginning);
    }
}

TEST(Safemap, DefaultValueForAbsentKeys)
{
    cetl::safemap<istring, string> m(0.5, 8, string("none"));
    EXPECT_EQ(m.Lookup("a").View(), "none");
    EXPECT_EQ(m.Get("a").View(), "none");
    EXPECT_EQ(m.Get("a", string("fallback")).View(), "fallback");
    EXPECT_EQ(m.Count(), 0u); // none of those inserted
    EXPECT_TRUE(m["A"].IsEmpty()); // the index operator inserts an empty value, not the default
    m.Set("a", string("set")) += "!";
    EXPECT_EQ(m.Get("A", string("fallback")).View(), "set!");

    cetl::stringmap<int> s(0.5, 8, -1);
    cetl::safemap<istring, int>& base = s;
    base["Key"] = 3;
    EXPECT_EQ(s.Lookup("KEY"), 3);
    EXPECT_EQ(s.Lookup("other"), -1);
}
