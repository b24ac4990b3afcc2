// The memory manager against the C library heap on the game's traffic, as a traced game of
// the robot player shows it: nearly all requests are strings of up to 64 bytes that live for
// a few requests (half for three or fewer, nine in ten for sixteen or fewer); list and map
// nodes, objects and longer strings make a population of about a thousand that lives for
// thousands of requests; file and decompression buffers of 4 to 512 KiB are rare and brief.
#include "memmgr.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr uint32_t kShortSlots = 4; // a slot is refilled every few requests
constexpr uint32_t kLongSlots = 512; // ... or every few thousand
constexpr uint32_t kResident = 1024; // allocated before the timed loop, freed after it
constexpr uint32_t kOps = 65536;

struct Op {
    uint32_t slot;
    uint32_t cb;
};

// The sizes of the game's requests, in parts per thousand: 8 to 32 bytes 860, to 64 bytes 127,
// to 128 bytes 8, to 256 bytes 3, to 64 KiB 1 and to 512 KiB 1. `large` of each thousand are
// blocks of their own (over 512 KiB); the traced game asked for none.
uint32_t pickSize(std::mt19937& rng, int large)
{
    const int pick = static_cast<int>(rng() % 1000);
    if (pick < large)
        return 0x80000 + rng() % 0x80000;
    const uint32_t scale[][2] = {{860, 32}, {987, 64}, {995, 128}, {998, 256}, {999, 65536}, {1000, 0x80000 - 72}};
    uint32_t low = 8;
    for (const auto& [upTo, cb] : scale) {
        if (static_cast<uint32_t>(pick) < upTo)
            return low + rng() % (cb - low + 1);
        low = cb + 1;
    }
    return low;
}

// Each op frees whatever lives in a slot and allocates a new block there: nine in ten ops use
// a short-lived slot, so a block lives a handful of ops; the rest renew the population.
std::vector<Op> makePattern(int large)
{
    std::mt19937 rng(20240611);
    std::vector<Op> ops(kOps);
    for (Op& op : ops) {
        op.slot = rng() % 10 < 9 ? rng() % kShortSlots : kShortSlots + rng() % kLongSlots;
        op.cb = pickSize(rng, large);
    }
    return ops;
}

template<typename Allocate, typename Free> void run(benchmark::State& state, Allocate allocate, Free release)
{
    const std::vector<Op> ops = makePattern(static_cast<int>(state.range(0)));
    std::vector<void*> resident;
    std::mt19937 rng(7);
    for (uint32_t i = 0; i < kResident; ++i)
        resident.push_back(allocate(pickSize(rng, 0)));
    std::vector<void*> slots(kShortSlots + kLongSlots, nullptr);
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
    for (void* p : resident)
        release(p);
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

// The argument is the number of large blocks per thousand requests: 0 as in the game, 5 as a
// heavier load. With two threads each runs
// the pattern on slots of its own; compare the sides with --benchmark_enable_random_interleaving.
BENCHMARK(MemoryManager)->Arg(0)->Arg(5)->Threads(1)->Threads(2);
BENCHMARK(CLibraryHeap)->Arg(0)->Arg(5)->Threads(1)->Threads(2);

} // namespace
