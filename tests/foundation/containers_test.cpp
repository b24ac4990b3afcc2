#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <string>

#include "cetl/list.h"
#include "cetl/map.h"
#include "cetl/safemap.h"
#include "cetl/stringmap.h"
#include "cetl/vector.h"
#include "memmgr_diag.h"
#include "tl_string.h"

namespace {

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
    EXPECT_EQ(v[0].View(), "first");
    EXPECT_EQ(v[1].View(), "1");
    EXPECT_EQ(v[100].View(), "last");
    cetl::vector<string> copy(v);
    v.RemoveAll();
    EXPECT_TRUE(v.IsEmpty());
    size_t n = 0;
    for (const string& s : copy)
        n += s.Length();
    EXPECT_EQ(n, 5u + 9 + 90 * 2 + 4); // "first", 1..9, 10..99, "last"
}

TEST(Vector, MisuseMessages)
{
    cetl::vector<int> v;
    v.Add(1);
    const std::string noItem = "the item specified does not exist within the vector";
    EXPECT_EQ(thrown([&] { v[1]; }), noItem);
    EXPECT_EQ(thrown([&] { v.Remove(5); }), noItem);
    EXPECT_EQ(thrown([&] { v.Insert(2, 0); }), noItem);
    EXPECT_EQ(thrown([&] { *v.end(); }), kInvalid);
    EXPECT_EQ(thrown([&] { ++v.end(); }), kAtEnd);
    EXPECT_EQ(thrown([&] { --v.begin(); }), kAtBeginning);
    EXPECT_EQ(thrown([&] { *cetl::vector<int>::iterator(); }), kInvalid);
    EXPECT_EQ(*--v.end(), 1);
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
    int expected[] = {1, 25, 3};
    int k = 0;
    for (int v : l)
        EXPECT_EQ(v, expected[k++]);
    EXPECT_EQ(k, 3);
    for (auto pos = l.begin(); pos != l.end();)
        pos = *pos == 25 ? l.Remove(pos) : ++pos;
    EXPECT_EQ(l.Count(), 2u);
    cetl::list<int> copy(l);
    l.RemoveHead();
    l.RemoveTail();
    EXPECT_TRUE(l.IsEmpty());
    EXPECT_EQ(copy.Head() + copy.Tail(), 4);
}

TEST(List, MisuseMessages)
{
    cetl::list<int> l;
    const std::string empty = "the list is empty";
    EXPECT_EQ(thrown([&] { l.Head(); }), empty);
    EXPECT_EQ(thrown([&] { l.Tail(); }), empty);
    EXPECT_EQ(thrown([&] { l.RemoveHead(); }), empty);
    EXPECT_EQ(thrown([&] { l.RemoveTail(); }), empty);
    EXPECT_EQ(thrown([&] { --l.end(); }), kAtBeginning);

    l.AddTail(1);
    cetl::list<int> other;
    other.AddTail(1);
    const std::string noItem = "the item specified does not exist within the list";
    EXPECT_EQ(thrown([&] { l.Remove(7); }), noItem);
    EXPECT_EQ(thrown([&] { l.Remove(other.begin()); }), noItem);
    EXPECT_EQ(thrown([&] { l.Insert(other.begin(), 2); }), noItem);
    EXPECT_EQ(thrown([&] { l.Remove(l.end()); }), kInvalid);
    EXPECT_EQ(thrown([&] { *l.end(); }), kInvalid);
    EXPECT_EQ(thrown([&] { ++l.end(); }), kAtEnd);
    EXPECT_EQ(thrown([&] { --l.begin(); }), kAtBeginning);
    EXPECT_EQ(l.Count(), 1u);
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
    ASSERT_EQ(m.Count(), 4u);
    std::string order;
    for (const auto& entry : m)
        order += std::string(entry.key.View()) + "=" + std::to_string(entry.value) + " ";
    // The first spelling of a key stays; code points above ASCII sort after it.
    EXPECT_EQ(order, "Alpha=4 beta=1 GAMMA=3 Ĉapelo=6 ");
    EXPECT_EQ(m.At("ALPHA"), 4);
    EXPECT_TRUE(m.Contains("gamma"));
    EXPECT_EQ(m.Find("delta"), m.end());

    auto it = m.end();
    EXPECT_EQ((--it)->value, 6);
    EXPECT_EQ((--it)->value, 3);
    m.Remove("BETA");
    EXPECT_EQ((--it)->value, 4);
    EXPECT_EQ(thrown([&] { --it; }), kAtBeginning);
}

TEST(Map, MisuseMessages)
{
    cetl::map<istring, int> m;
    const std::string noIndex = "the index specified does not exist within the map";
    EXPECT_EQ(thrown([&] { m.At("x"); }), noIndex);
    EXPECT_EQ(thrown([&] { m.Remove("x"); }), noIndex);
    m["x"] = 1;
    EXPECT_EQ(thrown([&] { *m.end(); }), kInvalid);
    EXPECT_EQ(thrown([&] { ++m.end(); }), kAtEnd);
    EXPECT_EQ(thrown([&] { --m.begin(); }), kAtBeginning);
    EXPECT_EQ(thrown([&] { m.Remove(m.end()); }), kInvalid);
    cetl::map<istring, int> other;
    other["x"] = 1;
    EXPECT_EQ(thrown([&] { m.Remove(other.begin()); }), kInvalid);
    EXPECT_EQ(m.Count(), 1u);
}

TEST(Map, ProbabilityIsAWholePercentageAndLevelsAreCapped)
{
    cetl::map<int, int> layout(0.79, 32);
    EXPECT_EQ(layout.PromotionPercent(), 79);
    EXPECT_EQ(layout.MaxLevels(), 32);
    cetl::map<int, int> capped(7.0, 1000);
    EXPECT_EQ(capped.PromotionPercent(), 100);
    EXPECT_EQ(capped.MaxLevels(), 64);
    cetl::map<int, int> floor(-1, 0);
    EXPECT_EQ(floor.PromotionPercent(), 0);
    EXPECT_EQ(floor.MaxLevels(), 1);
    for (int i = 0; i < 50; ++i) { // every node at every one of the 64 levels
        capped[i % 7 * 10 + i] = i;
        floor[-i] = i;
    }
    EXPECT_EQ(capped.Count(), 50u);
    EXPECT_EQ(floor.begin()->key, -49);
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
        ASSERT_EQ(m.Count(), reference.size());
        auto expected = reference.begin();
        for (const auto& entry : m) {
            ASSERT_EQ(entry.key, expected->first);
            ASSERT_EQ(entry.value, expected->second);
            ++expected;
        }
        auto back = m.end();
        for (auto r = reference.rbegin(); r != reference.rend(); ++r)
            ASSERT_EQ((--back)->key, r->first);
        cetl::map<int, int> copy = m;
        m.RemoveAll();
        EXPECT_EQ(copy.Count(), reference.size());
        EXPECT_EQ(m.begin(), m.end());
    }
}

TEST(Safemap, DefaultValueForAbsentKeys)
{
    cetl::safemap<istring, string> m(0.5, 8, string("none"));
    EXPECT_EQ(m.Lookup("a").View(), "none");
    EXPECT_EQ(m.Get("a").View(), "none");
    EXPECT_EQ(m.Get("a", string("fallback")).View(), "fallback");
    EXPECT_FALSE(m.Contains("a"));
    EXPECT_EQ(m.Count(), 0u); // none of those inserted

    EXPECT_TRUE(m["A"].IsEmpty()); // the index operator inserts an empty value, not the default
    EXPECT_TRUE(m.Contains("a"));
    string& stored = m.Set("a", string("set"));
    stored += "!";
    EXPECT_EQ(m.Get("A", string("fallback")).View(), "set!");
    EXPECT_EQ(m.Lookup("a").View(), "set!");

    cetl::stringmap<int> s(0.5, 8, -1);
    cetl::safemap<istring, int>& base = s;
    base["Key"] = 3;
    EXPECT_EQ(s.Lookup("KEY"), 3);
    EXPECT_EQ(s.Lookup("other"), -1);
}

TEST(Containers, BlocksCarryTheirTypeLabels)
{
    const auto label = [](const void* payload) {
        MemBlockInfo info{};
        return MemQueryBlock(payload, &info) ? std::string(info.pszLabel) : std::string("none");
    };
    cetl::map<istring, int> m;
    m["key"] = 1;
    cetl::list<int> l;
    l.AddTail(1);
    cetl::vector<int> v;
    v.Add(1);
    const string s("text");
    // An entry or an item is the first thing in its node, so its address is the block's.
    EXPECT_EQ(label(&*m.begin()), "mynodetype");
    EXPECT_EQ(label(&*l.begin()), "myitemtype");
    EXPECT_EQ(label(&v[0]), "myvectortype");
    EXPECT_EQ(label(s.c_str()), "string");
    EXPECT_EQ(label(s.Wide()), "string wide copy");
}
