// The memory manager against the C library heap on the game's traffic, as a traced game shows
// it: nearly all requests are strings of up to 64 bytes that live for a few requests; list and
// map nodes, objects and strings of up to 256 bytes make a population that lives for thousands;
// file and decompression buffers of 4 to 512 KiB are rare and short-lived; and some blocks
// stay for the whole run.
#include "memmgr.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr uint32_t kShortSlots = 8; // a slot is refilled every few requests
constexpr uint32_t kLongSlots = 512; // ... or every few thousand
constexpr uint32_t kResident = 512; // allocated before the timed loop, freed after it
constexpr uint32_t kOps = 65536;

struct Op {
    uint32_t slot;
    uint32_t cb;
};

// The sizes of the game's requests, in parts per thousand: 8 to 32 bytes 850, to 64 bytes 55,
// to 128 bytes 60, to 256 bytes 25, to 4 KiB 5, to 64 KiB 4 and to 512 KiB 1. `large` of each
// thousand are blocks of their own (over 512 KiB), such as a whole screen's pixels.
uint32_t pickSize(std::mt19937& rng, int large)
{
    const int pick = static_cast<int>(rng() % 1000);
    if (pick < large)
        return 0x80000 + rng() % 0x80000;
    const uint32_t scale[][2] = {{850, 32}, {905, 64}, {965, 128}, {990, 256}, {995, 4096}, {999, 65536}, {1000, 0x80000 - 72}};
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

// The argument is the number of large blocks per thousand requests. With two threads each runs
// the pattern on slots of its own; compare the sides with --benchmark_enable_random_interleaving.
BENCHMARK(MemoryManager)->Arg(0)->Arg(5)->Threads(1)->Threads(2);
BENCHMARK(CLibraryHeap)->Arg(0)->Arg(5)->Threads(1)->Threads(2);

} // namespace
