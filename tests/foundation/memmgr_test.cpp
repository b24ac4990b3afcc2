#include "memmgr.h"

#include "memmgr_diag.h"
#include "trace.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using Reports = std::vector<std::string>;

const std::string kTrailing = "The trailing signature on a memory block was overwritten.";
const std::string kLeading = "The leading signature on a memory block was overwritten.";
const std::string kNotAnObject = "A non-object memory address was deleted.";

// The first line of each box, and "block@LINE" where the block hook heard of it too.
Reports g_reports;
const void* g_reportedBlock = nullptr;

const auto taken = []() -> Reports { return std::exchange(g_reports, {}); };

const auto at = [](int line) -> std::string { return "block@" + std::to_string(line); };

// Runs while the manager is busy with the bad call, and allocates as a real message box does.
bool captureBox(const char* text, const char*)
{
    MEM_FREE(MEM_ALLOC(64, "box"));
    const std::string box = text;
    g_reports.push_back(box.substr(0, box.find('\n')));
    return false; // Cancel: without a debugger attached the program goes on
}

MemBlockInfo query(const void* address)
{
    MemBlockInfo info{};
    EXPECT_TRUE(MemQueryBlock(address, &info));
    return info;
}

// Block size, request, kind, flags and label of a live block.
std::string describe(const void* address)
{
    const MemBlockInfo i = query(address);
    return std::to_string(i.cbBlock) + " " + std::to_string(i.cbRequested) + " kind" + std::to_string(i.kind) + (i.fLarge ? " large" : "")
           + (i.fTared ? " tared" : "") + " " + i.pszLabel;
}

// In every other test of the suite a report of the manager is a fault of the code under test.
bool failTest(const char* text, const char*)
{
    ADD_FAILURE() << text;
    return true;
}
class FailOnReports : public testing::Environment {
    void SetUp() override { SetMemReportBoxHook(failTest); }
};
const testing::Environment* const g_failOnReports = testing::AddGlobalTestEnvironment(new FailOnReports);

// A request that takes a block of exactly (k + 1) * 128 bytes.
const auto requestForClass = [](int k) -> size_t { return static_cast<size_t>(k + 1) * 128 - 73; };

struct Thing {
    char bytes[64];
};

class MemMgr : public testing::Test {
protected:
    void SetUp() override
    {
        previousBox = SetMemReportBoxHook(captureBox);
        SetMemBlockReportHook([](const void* block, const char*, int line, const char*) {
            g_reportedBlock = block;
            g_reports.push_back(at(line));
        });
    }

    // Every test takes the reports it expects: any other is a fault.
    void TearDown() override
    {
        for (void* p : held)
            MEM_FREE(p);
        SetMemReportBoxHook(previousBox);
        SetMemBlockReportHook(nullptr);
        EXPECT_EQ(taken(), Reports{});
    }

    // Empties the free lists of classes first..last, so that the next requests of those
    // classes are carved afresh whatever earlier tests left behind.
    void drainFreeLists(int first, int last)
    {
        for (int k = first; k <= last; ++k)
            while (MemFreeListLength(k) > 0)
                held.push_back(MEM_ALLOC(requestForClass(k), "drain"));
    }

    std::vector<void*> held;
    MemReportBoxHook previousBox = nullptr;
};

TEST_F(MemMgr, ARequestTakesTheFirstFreeBlockOfTheSixteenClassesAboveIt)
{
    // The class asked for, the class of the one free block, and whether it is taken: windows
    // that stay in one word of the class index and ones that cross into the next.
    const std::tuple<int, int, bool> cases[] = {{0, 0, true},   {0, 16, true},    {0, 17, false},     {50, 66, true}, {60, 77, false},
                                                {63, 64, true}, {100, 99, false}, {4080, 4095, true}, {1, 2, true}};
    EXPECT_EQ(MEM_ALLOC(std::numeric_limits<size_t>::max(), "too big"), nullptr);
    for (const auto& [request, free, reused] : cases) {
        SCOPED_TRACE(testing::Message() << request << " with " << free << " free");
        // Drained up to where the free block's own request might look, so it is carved afresh.
        drainFreeLists(request, std::min(std::max(request, free) + 16, 4095));
        void* block = MEM_ALLOC(requestForClass(free), "window");
        MEM_FREE(block);
        void* taken = MEM_ALLOC(requestForClass(request), "taken");
        held.push_back(taken);
        EXPECT_EQ(std::tuple(taken == block, reinterpret_cast<uintptr_t>(taken) % 16), std::tuple(reused, 0u)); // aligned for any type
        EXPECT_EQ(MemFreeListLength(free), reused ? 0u : 1u);
        // A larger block serving a smaller request keeps its own size.
        EXPECT_EQ(query(taken).cbBlock, static_cast<size_t>((reused ? free : request) + 1) * 128);
    }
}

TEST_F(MemMgr, LargeBlocksBypassTheChunksAndTheFourthEmptyChunkIsReleased)
{
    drainFreeLists(4095, 4095);
    const MemStats before = MemQueryStats();
    // 0x80000 - 72 payload bytes make a block just over 512 KiB; one byte less fits a chunk.
    auto* large = static_cast<unsigned char*>(MEM_ALLOC(0x80000 - 72, "large"));
    std::memset(large, 7, 0x80000 - 72);
    EXPECT_EQ(describe(large), "524416 524216 kind0 large large");
    EXPECT_EQ(MemQueryStats().cChunks, before.cChunks);
    EXPECT_EQ(MemQueryStats().cLargeBlocks, before.cLargeBlocks + 1);
    large[0x80000 - 72] = 0;
    MEM_FREE(large);
    EXPECT_EQ(taken(), (Reports{kTrailing, at(__LINE__ - 1)}));
    EXPECT_EQ(MemQueryStats().cLargeBlocks, before.cLargeBlocks);

    // Blocks of the largest chunked size leave too little of a chunk for a second one.
    std::vector<void*> blocks;
    for (int i = 0; i < 8; ++i)
        blocks.push_back(MEM_ALLOC(0x80000 - 73, "chunk filler"));
    EXPECT_EQ(describe(blocks[0]), "524288 524215 kind0 chunk filler");
    const MemStats peak = MemQueryStats();
    for (void* p : blocks)
        MEM_FREE(p);
    EXPECT_EQ(MemQueryStats().cEmptyChunks, 3u);
    EXPECT_LE(MemQueryStats().cChunks, peak.cChunks - 4);
    // The released chunks' free blocks must be gone from the free lists.
    drainFreeLists(4080, 4095);
    for (void* p : held)
        std::memset(p, 1, query(p).cbRequested);
}

TEST_F(MemMgr, OverwrittenSignaturesAndWrongKindsAreReportedWithTheBlock)
{
    // One byte past the request, with a guard shorter than a word (55) and a full one (56).
    for (size_t cb : {size_t{55}, size_t{56}}) {
        auto* p = static_cast<char*>(MEM_ALLOC(cb, "overrun"));
        const void* block = query(p).pBlock;
        MEM_TARE(p);
        EXPECT_EQ(describe(p), std::to_string(cb < 56 ? 128 : 256) + " " + std::to_string(cb) + " kind0 tared overrun");
        p[cb] = 'x';
        MEM_TARE(p);
        EXPECT_EQ(taken(), (Reports{kTrailing, at(__LINE__ - 1)})) << cb;
        MEM_FREE(p);
        EXPECT_EQ(taken(), (Reports{kTrailing, at(__LINE__ - 1)})) << cb;
        EXPECT_EQ(g_reportedBlock, block); // the hook is told the block, not the payload
        EXPECT_FALSE(MemQueryBlock(p, nullptr)); // the header was sound, so the block was freed
    }
    // The guards are rewritten when the block is handed out again.
    drainFreeLists(0, 16);
    void* p = MEM_ALLOC(55, "again");
    MEM_FREE(p);
    ASSERT_EQ(MEM_ALLOC(20, "again"), p);
    MEM_FREE(p);

    // An overwritten header leaves the block alone, as its links cannot be trusted.
    p = MEM_ALLOC(64, "underrun");
    auto* signature = static_cast<uint32_t*>(const_cast<void*>(query(p).pBlock));
    *signature ^= 1;
    MEM_FREE(p);
    EXPECT_EQ(taken(), (Reports{kLeading, at(__LINE__ - 1)}));
    *signature ^= 1;
    MEM_FREE(p);
    EXPECT_FALSE(MemQueryBlock(p, nullptr));

    // Null is nothing to free; a second free of a block is no block's address any more.
    MEM_FREE(nullptr);
    MEM_DELETE(static_cast<Thing*>(nullptr));
    MEM_FREE(p);
    EXPECT_EQ(taken(), Reports{"An invalid address was deleted."});

    Thing* thing = MEM_NEW(Thing);
    EXPECT_EQ(describe(thing), "128 64 kind1 Thing");
    MEM_DELETE(thing);
    thing = MEM_NEW(Thing);
    MEM_FREE(thing);
    EXPECT_EQ(taken(), (Reports{"A C++ object was deleted using the \"free\" method.", at(__LINE__ - 1)}));
    delete thing;
    void* memory = MEM_ALLOC(16, "memory");
    MemUntrackObject(memory, __FILE__, 1);
    EXPECT_FALSE(MemQueryBlock(memory, nullptr));
    int watched = 0;
    MemTrackAddress(&watched, __FILE__, __LINE__);
    EXPECT_EQ(describe(&watched), "128 0 kind2 address");
    MemUntrackObject(&watched, __FILE__, 2);
    EXPECT_EQ(taken(), (Reports{kNotAnObject, at(1), kNotAnObject, at(2)}));
    MemTrackAddress(&watched, __FILE__, __LINE__);
    MEM_FREE(&watched);
    EXPECT_FALSE(MemQueryBlock(&watched, nullptr));
}

TEST_F(MemMgr, GrowArrayKeepsOldElementsAndZeroesNewOnes)
{
    int* array = nullptr;
    int count = 0;
    // Whether it grew, "=" where the array stayed in place, and the count after.
    const auto grow = [&](int needed, int step) {
        const int* before = array;
        const bool grown = MEM_GROW_ARRAY(&array, &count, needed, step);
        return std::to_string(grown) + (array == before ? "=" : " ") + std::to_string(count);
    };
    EXPECT_EQ(grow(5, 8), "1 12");
    for (int i = 0; i < count; ++i)
        array[i] = i + 1;
    const int* old = array;
    EXPECT_EQ((Reports{grow(12, 8), grow(20, 4)}), (Reports{"1=12", "1 23"}));
    EXPECT_FALSE(MemQueryBlock(old, nullptr));
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(array[i], i < 12 ? i + 1 : 0) << i;
    // A step below one still gives what was needed; sizes past what an int or a size_t holds
    // leave the array as it was.
    EXPECT_EQ((Reports{grow(30, 0), grow(std::numeric_limits<int>::max(), 2)}), (Reports{"1 30", "0=30"}));
    MEM_FREE(array);
    double* huge = nullptr;
    count = 0;
    EXPECT_FALSE(MemGrowArray(size_t{1} << 62, reinterpret_cast<void**>(&huge), &count, 4, 1, __FILE__, __LINE__));
    EXPECT_EQ(huge, nullptr);
}

TEST_F(MemMgr, TwoThreadsAllocateAndFreeTogether)
{
    // Both threads take and return blocks of one class, so they meet on the same free list;
    // a block handed to both loses one thread's bytes.
    const auto work = [](unsigned char mark, bool* ok) {
        std::mt19937 random(mark);
        unsigned char* slots[8] = {};
        for (int i = 0; i < 300000 && *ok; ++i) {
            unsigned char*& slot = slots[random() % 8];
            if (slot) {
                *ok = slot[0] == mark && slot[99] == mark;
                MEM_FREE(slot);
            }
            slot = static_cast<unsigned char*>(MEM_ALLOC(random() % 1000 == 0 ? 0x90000 : 100, "threaded"));
            std::memset(slot, mark, 100);
        }
        for (unsigned char* p : slots)
            MEM_FREE(p);
    };
    bool firstOk = true;
    bool secondOk = true;
    std::thread first(work, 1, &firstOk);
    std::thread second(work, 2, &secondOk);
    first.join();
    second.join();
    EXPECT_TRUE(firstOk && secondOk);
}

} // namespace
