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
#include <vector>

namespace {

struct BlockReport {
    const void* block;
    int line;
    std::string message;
};

std::vector<std::string> g_boxes; // text, then caption after a tab
std::vector<BlockReport> g_blockReports;
std::vector<std::string> g_traced;

bool captureBox(const char* text, const char* caption)
{
    g_boxes.push_back(std::string(text) + "\t" + caption);
    return false; // Cancel: without a debugger attached the program goes on
}

std::string boxText(const char* message, const void* address, const char* file, int line)
{
    char text[512];
    std::snprintf(text, sizeof text, "%s\n\n   Address: 0x%08lX\n   Current: %s line %d\n\nClick OK to dismiss\nClick X to debug", message,
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(address)), file, line);
    return text;
}

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

MemBlockInfo query(const void* address)
{
    MemBlockInfo info{};
    EXPECT_TRUE(MemQueryBlock(address, &info));
    return info;
}

// A request that takes a block of exactly (k + 1) * 128 bytes.
size_t requestForClass(int k)
{
    return static_cast<size_t>(k + 1) * 128 - 73;
}

struct Thing {
    explicit Thing(int v) : value(v) { }
    int value;
    char padding[60];
};

class MemMgr : public testing::Test {
protected:
    void SetUp() override
    {
        g_boxes.clear();
        g_blockReports.clear();
        previousBox = SetMemReportBoxHook(captureBox);
        previousBlock = SetMemBlockReportHook([](const void* block, const char*, int line, const char* message) {
            g_blockReports.push_back({block, line, message});
        });
    }

    void TearDown() override
    {
        for (void* p : held)
            MEM_FREE(p);
        SetMemReportBoxHook(previousBox);
        SetMemBlockReportHook(previousBlock);
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
    MemBlockReportHook previousBlock = nullptr;
};

TEST_F(MemMgr, BlockSizesRoundUpPastHeaderAndTrailer)
{
    const std::pair<size_t, size_t> sizes[]
        = {{0, 128}, {55, 128}, {56, 256}, {183, 256}, {184, 384}, {std::numeric_limits<size_t>::max(), 0}};
    for (const auto& [request, block] : sizes)
        EXPECT_EQ(MemBlockSize(request), block) << request;
    EXPECT_EQ(MEM_ALLOC(std::numeric_limits<size_t>::max(), "too big"), nullptr);

    drainFreeLists(0, 17);
    char* small = MEM_ALLOC_ARRAY(char, 55);
    const int line = __LINE__ - 1;
    char* larger = MEM_ALLOC_ARRAY(char, 56);
    const MemBlockInfo info = query(small);
    EXPECT_EQ(info.cbBlock, 128u);
    EXPECT_EQ(info.cbRequested, 55u);
    EXPECT_EQ(info.kind, 0);
    EXPECT_FALSE(info.fLarge);
    EXPECT_STREQ(info.pszLabel, "char");
    EXPECT_STREQ(info.pszFile, __FILE__);
    EXPECT_EQ(info.line, line);
    EXPECT_EQ(query(larger).cbBlock, 256u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(larger) % 16, 0u);
    MEM_FREE(small);
    MEM_FREE(larger);
}

TEST_F(MemMgr, ARequestTakesTheFirstFreeBlockOfTheSixteenClassesAboveIt)
{
    struct Case {
        int request; // size class asked for
        int free; // size class of the one free block
        bool reused;
    };
    // Windows that stay in one word of the class index and ones that cross into the next.
    const Case cases[] = {{0, 0, true},   {0, 16, true},    {0, 17, false},     {50, 66, true}, {60, 77, false},
                          {63, 64, true}, {100, 99, false}, {4080, 4095, true}, {1, 2, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.request << " with " << c.free << " free");
        // Drained up to where the free block's own request might look, so it is carved afresh.
        drainFreeLists(c.request, std::min(std::max(c.request, c.free) + 16, 4095));
        void* block = MEM_ALLOC(requestForClass(c.free), "window");
        MEM_FREE(block);
        void* taken = MEM_ALLOC(requestForClass(c.request), "taken");
        held.push_back(taken);
        EXPECT_EQ(taken == block, c.reused);
        EXPECT_EQ(MemFreeListLength(c.free), c.reused ? 0u : 1u);
        // A larger block serving a smaller request keeps its own size.
        EXPECT_EQ(query(taken).cbBlock, static_cast<size_t>((c.reused ? c.free : c.request) + 1) * 128);
        EXPECT_STREQ(query(taken).pszLabel, "taken");
    }
    // Two free blocks: the nearer class wins, and emptying it leaves the farther one listed.
    drainFreeLists(10, 36);
    void* far = MEM_ALLOC(requestForClass(20), "far");
    void* near = MEM_ALLOC(requestForClass(12), "near");
    MEM_FREE(far);
    MEM_FREE(near);
    EXPECT_EQ(MEM_ALLOC(requestForClass(10), "first"), near);
    EXPECT_EQ(MEM_ALLOC(requestForClass(10), "second"), far);
    held.insert(held.end(), {near, far});
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(MemMgr, LargeBlocksBypassTheChunks)
{
    drainFreeLists(4095, 4095);
    const MemStats before = MemQueryStats();
    // 0x80000 - 72 payload bytes make a block just over 512 KiB; one byte less fits a chunk.
    auto* large = static_cast<unsigned char*>(MEM_ALLOC(0x80000 - 72, "large"));
    std::memset(large, 7, 0x80000 - 72);
    EXPECT_TRUE(query(large).fLarge);
    EXPECT_EQ(query(large).cbBlock, 0x80080u);
    EXPECT_EQ(MemQueryStats().cChunks, before.cChunks);
    EXPECT_EQ(MemQueryStats().cLargeBlocks, before.cLargeBlocks + 1);
    large[0x80000 - 72] = 0;
    MEM_FREE(large);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(firstLine(g_boxes[0]), "The trailing signature on a memory block was overwritten.");
    EXPECT_EQ(MemQueryStats().cLargeBlocks, before.cLargeBlocks);

    void* chunked = MEM_ALLOC(0x80000 - 73, "chunked");
    EXPECT_FALSE(query(chunked).fLarge);
    EXPECT_EQ(query(chunked).cbBlock, 0x80000u);
    MEM_FREE(chunked);
}

TEST_F(MemMgr, BadAddressesAreReportedWithWhereTheCallWas)
{
    void* p = MEM_ALLOC(40, "twice");
    MEM_FREE(p);
    MEM_FREE(nullptr);
    MEM_DELETE(static_cast<Thing*>(nullptr));
    EXPECT_TRUE(g_boxes.empty());
    MEM_FREE(p);
    int line = __LINE__ - 1;
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], boxText("An invalid address was deleted.", p, __FILE__, line) + "\tMemory Manager");
    EXPECT_TRUE(g_blockReports.empty());

    // Without a box the report goes to the trace.
    SetMemReportBoxHook(nullptr);
    g_traced.clear();
    TraceSink previous = SetTraceSink([](const char* traced) { g_traced.emplace_back(traced); });
    int notABlock = 0;
    MEM_TARE(&notABlock);
    line = __LINE__ - 1;
    SetTraceSink(previous);
    ASSERT_EQ(g_traced.size(), 1u);
    EXPECT_EQ(g_traced[0], "Memory Manager: " + boxText("An invalid address was tared.", &notABlock, __FILE__, line));
}

TEST_F(MemMgr, AReportBoxMayUseTheManagerItself)
{
    // The box of a report runs while the manager is busy with the bad free; a box that
    // allocates (as a real message box does) must not wait for it forever.
    SetMemReportBoxHook([](const char* text, const char* caption) {
        MEM_FREE(MEM_ALLOC(64, "box"));
        return captureBox(text, caption);
    });
    void* p = MEM_ALLOC(40, "twice");
    MEM_FREE(p);
    MEM_FREE(p);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(firstLine(g_boxes[0]), "An invalid address was deleted.");
}

TEST_F(MemMgr, OverrunOfOneByteIsCaughtAtFree)
{
    const std::string overwritten = "The trailing signature on a memory block was overwritten.";
    for (size_t cb : {size_t{55}, size_t{56}, size_t{100}}) {
        g_boxes.clear();
        g_blockReports.clear();
        auto* p = static_cast<char*>(MEM_ALLOC(cb, "overrun"));
        const void* block = query(p).pBlock;
        p[cb] = 'x';
        MEM_FREE(p);
        const int line = __LINE__ - 1;
        ASSERT_EQ(g_boxes.size(), 1u) << cb;
        EXPECT_EQ(firstLine(g_boxes[0]), overwritten);
        ASSERT_EQ(g_blockReports.size(), 1u);
        EXPECT_EQ(g_blockReports[0].block, block); // the hook is told the block, not the payload
        EXPECT_EQ(g_blockReports[0].line, line);
        EXPECT_EQ(g_blockReports[0].message, overwritten);
        EXPECT_FALSE(MemQueryBlock(p, nullptr)); // the header was sound, so the block was freed
    }

    // The guards are rewritten when the block is handed out again.
    drainFreeLists(0, 16);
    auto* p = static_cast<char*>(MEM_ALLOC(55, "overrun"));
    MEM_FREE(p);
    auto* again = static_cast<char*>(MEM_ALLOC(20, "again"));
    ASSERT_EQ(again, p);
    g_boxes.clear();
    MEM_FREE(again);
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(MemMgr, OverwrittenHeaderLeavesTheBlockAlone)
{
    void* p = MEM_ALLOC(64, "underrun");
    auto* signature = static_cast<uint32_t*>(const_cast<void*>(query(p).pBlock));
    const uint32_t saved = *signature;
    *signature = 0;
    MEM_FREE(p);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(firstLine(g_boxes[0]), "The leading signature on a memory block was overwritten.");
    EXPECT_TRUE(MemQueryBlock(p, nullptr));
    MEM_TARE(p);
    EXPECT_EQ(g_blockReports.size(), 2u);
    *signature = saved;
    MEM_FREE(p);
    EXPECT_EQ(g_boxes.size(), 2u);
    EXPECT_FALSE(MemQueryBlock(p, nullptr));
}

TEST_F(MemMgr, KindsAreCheckedOnFree)
{
    Thing* thing = MEM_NEW(Thing, 5);
    const MemBlockInfo info = query(thing);
    EXPECT_EQ(info.kind, 1);
    EXPECT_EQ(info.cbRequested, sizeof(Thing));
    EXPECT_STREQ(info.pszLabel, "Thing");
    MEM_DELETE(thing);
    EXPECT_TRUE(g_boxes.empty());

    thing = MEM_NEW(Thing, 6);
    const void* block = query(thing).pBlock;
    MEM_FREE(thing);
    const int freeLine = __LINE__ - 1;
    delete thing;
    ASSERT_EQ(g_blockReports.size(), 1u);
    EXPECT_EQ(g_blockReports[0].message, "A C++ object was deleted using the \"free\" method.");
    EXPECT_EQ(g_blockReports[0].block, block);
    EXPECT_EQ(g_blockReports[0].line, freeLine);

    const std::string notAnObject = "A non-object memory address was deleted.";
    void* memory = MEM_ALLOC(16, "memory");
    MemUntrackObject(memory, __FILE__, __LINE__);
    ASSERT_EQ(g_blockReports.size(), 2u);
    EXPECT_EQ(g_blockReports[1].message, notAnObject);
    EXPECT_FALSE(MemQueryBlock(memory, nullptr));

    int watched = 0;
    MemTrackAddress(&watched, __FILE__, __LINE__);
    EXPECT_EQ(query(&watched).kind, 2);
    MemUntrackObject(&watched, __FILE__, __LINE__);
    ASSERT_EQ(g_blockReports.size(), 3u);
    EXPECT_EQ(g_blockReports[2].message, notAnObject);
    MemTrackAddress(&watched, __FILE__, __LINE__);
    MEM_FREE(&watched);
    EXPECT_EQ(g_blockReports.size(), 3u);
    EXPECT_FALSE(MemQueryBlock(&watched, nullptr));
}

TEST_F(MemMgr, TareMarksLiveBlocksAndReportsUnknownOnes)
{
    auto* p = static_cast<char*>(MEM_ALLOC(10, "kept"));
    MEM_TARE(p);
    EXPECT_TRUE(query(p).fTared);
    EXPECT_TRUE(g_boxes.empty());
    MEM_TARE(p + 1);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(firstLine(g_boxes[0]), "An invalid address was tared.");
    EXPECT_TRUE(g_blockReports.empty());

    p[10] = 0;
    MEM_TARE(p);
    ASSERT_EQ(g_blockReports.size(), 1u);
    EXPECT_EQ(g_blockReports[0].message, "The trailing signature on a memory block was overwritten.");
    MEM_FREE(p);
    EXPECT_EQ(g_blockReports.size(), 2u);
}

TEST_F(MemMgr, FourthEmptyChunkIsReleased)
{
    // Blocks of the largest chunked size leave too little of a chunk for a second one.
    drainFreeLists(4095, 4095);
    std::vector<void*> blocks;
    for (int i = 0; i < 8; ++i)
        blocks.push_back(MEM_ALLOC(requestForClass(4095), "chunk filler"));
    const MemStats peak = MemQueryStats();
    for (void* p : blocks)
        MEM_FREE(p);
    const MemStats after = MemQueryStats();
    EXPECT_EQ(after.cEmptyChunks, 3u);
    EXPECT_LE(after.cChunks, peak.cChunks - 4);

    // The released chunks' free blocks must be gone from the free lists.
    drainFreeLists(4080, 4095);
    for (void* p : held)
        std::memset(p, 1, query(p).cbRequested);
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(MemMgr, GrowArrayKeepsOldElementsAndZeroesNewOnes)
{
    int* array = nullptr;
    int count = 0;
    ASSERT_TRUE(MEM_GROW_ARRAY(&array, &count, 5, 8));
    EXPECT_EQ(count, 12);
    for (int i = 0; i < count; ++i)
        array[i] = i + 1;
    int* old = array;
    ASSERT_TRUE(MEM_GROW_ARRAY(&array, &count, 12, 8));
    EXPECT_EQ(array, old);
    ASSERT_TRUE(MEM_GROW_ARRAY(&array, &count, 20, 4));
    EXPECT_EQ(count, 23);
    EXPECT_FALSE(MemQueryBlock(old, nullptr));
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(array[i], i < 12 ? i + 1 : 0) << i;
    // A step below one still gives at least what was needed.
    ASSERT_TRUE(MEM_GROW_ARRAY(&array, &count, 30, 0));
    EXPECT_EQ(count, 30);

    old = array;
    EXPECT_FALSE(MEM_GROW_ARRAY(&array, &count, std::numeric_limits<int>::max(), 2));
    double* huge = nullptr;
    int hugeCount = 0;
    EXPECT_FALSE(
        MemGrowArray(std::numeric_limits<size_t>::max() / 4, reinterpret_cast<void**>(&huge), &hugeCount, 8, 1, __FILE__, __LINE__));
    EXPECT_EQ(huge, nullptr);
    EXPECT_EQ(array, old);
    EXPECT_EQ(count, 30);
    MEM_FREE(array);
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(MemMgr, TwoThreadsAllocateAndFreeTogether)
{
    const auto work = [](unsigned seed) {
        std::mt19937 rng(seed);
        std::vector<unsigned char*> slots(200, nullptr);
        std::vector<size_t> sizes(slots.size(), 0);
        for (int i = 0; i < 20000; ++i) {
            const size_t s = rng() % slots.size();
            if (slots[s]) {
                for (size_t b : {size_t{0}, sizes[s] / 2, sizes[s] - 1})
                    if (slots[s][b] != static_cast<unsigned char>(seed + s))
                        return false;
                MEM_FREE(slots[s]);
            }
            sizes[s] = rng() % 100 == 0 ? 0x90000 : 28 + rng() % 4069;
            slots[s] = static_cast<unsigned char*>(MEM_ALLOC(sizes[s], "threaded"));
            if (!slots[s])
                return false;
            std::memset(slots[s], static_cast<unsigned char>(seed + s), sizes[s]);
        }
        for (unsigned char* p : slots)
            MEM_FREE(p);
        return true;
    };
    bool firstOk = false;
    bool secondOk = false;
    std::thread first([&] { firstOk = work(1); });
    std::thread second([&] { secondOk = work(2); });
    first.join();
    second.join();
    EXPECT_TRUE(firstOk && secondOk);
    EXPECT_TRUE(g_boxes.empty());
}

} // namespace
