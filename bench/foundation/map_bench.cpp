// cetl::map against std::map on the layout table's work: 200 text keys inserted into a fresh
// table, then each looked up once. The cetl map runs as the layout table does (istring keys,
// 79 % promotion, 32 levels); an exact-keyed run shows what folding case costs.
#include "cetl/map.h"
#include "tl_string.h"

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kKeys = 200;

// Keys shaped like the layout's: element names with an attribute, in no particular order.
std::vector<std::string> makeKeys()
{
    static const char* const kAttributes[] = {"left", "top", "width", "height", "flags", "disable"};
    std::vector<std::string> keys;
    for (int i = 0; i < kKeys; ++i)
        keys.push_back("text-element" + std::to_string((i * 7919) % 997) + " " + kAttributes[i % 6]);
    return keys;
}

template<class Key> void cetlMap(benchmark::State& state)
{
    const std::vector<std::string> source = makeKeys();
    const std::vector<Key> keys(source.begin(), source.end());
    for (auto _ : state) {
        cetl::map<Key, int> table(0.79, 32);
        for (int i = 0; i < kKeys; ++i)
            table[keys[i]] = i;
        int sum = 0;
        for (const Key& key : keys)
            sum += table[key];
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kKeys);
}

void stdMap(benchmark::State& state)
{
    const std::vector<std::string> keys = makeKeys();
    for (auto _ : state) {
        std::map<std::string, int> table;
        for (int i = 0; i < kKeys; ++i)
            table[keys[i]] = i;
        int sum = 0;
        for (const std::string& key : keys)
            sum += table[key];
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kKeys);
}

} // namespace

BENCHMARK(cetlMap<istring>)->Name("cetl::map<istring>");
BENCHMARK(cetlMap<string>)->Name("cetl::map<string>");
BENCHMARK(stdMap)->Name("std::map<std::string>");
