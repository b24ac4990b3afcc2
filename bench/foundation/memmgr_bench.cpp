// The memory manager against the C library heap on the game's kind of traffic: many small
// records and strings, some bitmaps and buffers up to 4 KiB, and now and then a large image.
#include "memmgr.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr uint32_t kSlots = 4096;
constexpr uint32_t kOps = 65536;

struct Op {
    uint32_t slot;
    uint32_t cb;
};

// Each op frees whatever lives in a slot and allocates a new block there.
std::vector<Op> makePattern(int largePerThousand)
{
    std::mt19937 rng(20240611);
    std::vector<Op> ops(kOps);
    for (Op& op : ops) {
        op.slot = rng() % kSlots;
        const uint32_t pick = rng() % 1000;
        if (pick < static_cast<uint32_t>(largePerThousand))
            op.cb = 0x80000 + rng() % 0x80000;
        else if (pick < 700)
            op.cb = 28 + rng() % 229;
        else
            op.cb = 257 + rng() % 3840;
    }
    return ops;
}

template<typename Allocate, typename Free> void run(benchmark::State& state, Allocate allocate, Free release)
{
    const std::vector<Op> ops = makePattern(static_cast<int>(state.range(0)));
    std::vector<void*> slots(kSlots, nullptr);
    for (auto _ : state) {
        for (const Op& op : ops) {
            release(slots[op.slot]);
            auto* p = static_cast<unsigned char*>(allocate(op.cb));
            p[0] = 1;
            p[op.cb - 1] = 1;
            slots[op.slot] = p;
        }
        benchmark::ClobberMemory();
    }
    for (void*& p : slots) {
        release(p);
        p = nullptr;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kOps);
}

void MemoryManager(benchmark::State& state)
{
    run(
        state, [](size_t cb) { return MemAlloc(cb, "bench", __FILE__, __LINE__); }, [](void* p) { MemFree(p, __FILE__, __LINE__); });
}

void CLibraryHeap(benchmark::State& state)
{
    run(
        state, [](size_t cb) { return std::malloc(cb); }, [](void* p) { std::free(p); });
}

// The argument is the number of large blocks per thousand requests. With two threads each runs
// the pattern on slots of its own; compare the sides with --benchmark_enable_random_interleaving.
BENCHMARK(MemoryManager)->Arg(0)->Arg(5)->Threads(1)->Threads(2);
BENCHMARK(CLibraryHeap)->Arg(0)->Arg(5)->Threads(1)->Threads(2);

} // namespace
