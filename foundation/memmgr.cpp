#include "memmgr.h"

#include "memmgr_diag.h"
#include "trace.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <sanitizer/asan_interface.h>
#include <thread>

namespace {

constexpr uint32_t kLeadingSignature = 0x4D656D21; // "Mem!"
constexpr uint32_t kTrailingSignature = 0x4F6B6179; // "Okay"
constexpr size_t kChunkSize = 0x100000;
constexpr size_t kLargeBlock = 0x80000; // block sizes above this get their own allocation
constexpr size_t kClassSize = 128;
constexpr int kSizeClasses = 4096;
constexpr int kClassSearch = 16; // a request may take a block this many classes larger
constexpr int kBuckets = 16384;
constexpr int kMaxEmptyChunks = 3;
constexpr size_t kOverhead = 72; // header and trailer as block sizes count them
constexpr unsigned char kGuardByte = 0xA5;
constexpr size_t kGuardBytes = 16;

const char* const kFree = "free";
const char* const kCaption = "Memory Manager";

enum Kind : uint32_t { kMemory = 0, kObject = 1, kAddress = 2 };

struct Chunk;

// A block's header. The fields are those of the 68-byte header the block sizes are reckoned
// with, in the same order, but links and texts are pointer-sized on this host, so the header
// is 112 bytes. Block sizes keep their arithmetic (a block of size s serves s - 72 payload
// bytes), and each block takes s + kHostExtra bytes of its chunk: the wider header, and
// padding that keeps every header and payload 16-byte aligned. The trailing signature sits in
// the block's last 4 bytes; up to kGuardBytes bytes between the end of the request and it are
// filled with kGuardByte, so an overrun of even one byte past the request is caught.
struct Block {
    uint32_t dwSignature;
    int32_t iBucket; // -1 while the block is free
    Block* pHashPrev;
    Block* pHashNext;
    Block* pFreePrev;
    Block* pFreeNext;
    Chunk* pChunk; // none for a large block
    uint32_t kind;
    uint32_t fLarge;
    size_t cbPayload; // block size - 72
    size_t cbRequested;
    const char* pszLabel;
    const char* pszFile;
    int32_t line;
    uint32_t fTared;
    void* pPayload;
    const void* pTracked; // kinds 1 and 2
};
static_assert(sizeof(Block) % 16 == 0);

constexpr size_t kHostExtra = (sizeof(Block) + 4 - kOverhead + 15) / 16 * 16;

// A chunk's header; its blocks are carved one after another behind it.
struct Chunk {
    Chunk* pNext;
    Chunk* pPrev;
    size_t cbUsable;
    size_t cbUncarved;
    size_t cInUse;
    size_t cCarved;
    Block* pFirst;
};
constexpr size_t kChunkHeader = (sizeof(Chunk) + 15) / 16 * 16;

// Tells the processor this thread is spinning, where it has a way to be told.
inline void cpuRelax()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// The manager's critical section. Recursive, as a report's message box may allocate while the
// manager holds it. Taking it costs one atomic exchange and leaving it a plain store, where a
// mutex costs two atomic operations and two calls; operations are short, so a waiter spins
// briefly, then yields, then sleeps (a report box may hold the manager for seconds).
class ManagerLock {
public:
    void lock()
    {
        const std::thread::id me = std::this_thread::get_id();
        if (owner_.load(std::memory_order_relaxed) == me) {
            ++depth_;
            return;
        }
        for (int waits = 0; held_.exchange(true, std::memory_order_acquire); ++waits) {
            while (held_.load(std::memory_order_relaxed)) {
                if (waits < 64)
                    cpuRelax();
                else if (waits < 256)
                    std::this_thread::yield();
                else
                    std::this_thread::sleep_for(std::chrono::microseconds(100));
                ++waits;
            }
        }
        owner_.store(me, std::memory_order_relaxed);
        depth_ = 1;
    }

    void unlock()
    {
        if (--depth_ > 0)
            return;
        owner_.store(std::thread::id(), std::memory_order_relaxed);
        held_.store(false, std::memory_order_release);
    }

private:
    std::atomic<bool> held_{false};
    std::atomic<std::thread::id> owner_{};
    int depth_ = 0;
};

// One bit per size class whose free list holds a block, so a request finds the first
// non-empty list of its search window in a word or two instead of walking seventeen heads.
class FreeClasses {
public:
    void Set(int k) { bits_[k / 64] |= uint64_t{1} << (k % 64); }
    void Clear(int k) { bits_[k / 64] &= ~(uint64_t{1} << (k % 64)); }
    // The first class in [first, last) with a block, or -1.
    int First(int first, int last) const
    {
        for (int word = first / 64; word * 64 < last; ++word) {
            uint64_t w = bits_[word];
            if (word == first / 64)
                w &= ~uint64_t{0} << (first % 64);
            if (w) {
                const int k = word * 64 + std::countr_zero(w);
                return k < last ? k : -1;
            }
        }
        return -1;
    }

private:
    std::array<uint64_t, kSizeClasses / 64> bits_{};
};

struct Manager {
    ManagerLock lock;
    Chunk* pChunks = nullptr; // most recent first; the first is the one being carved
    Block* rgBuckets[kBuckets] = {};
    Block* rgFree[kSizeClasses] = {};
    int cEmptyChunks = 0;
    size_t cChunks = 0;
    size_t cLargeBlocks = 0;
    FreeClasses nonEmpty;
};

// Created on first use and never destroyed: blocks may be freed by static destructors.
Manager& manager()
{
    static Manager* const instance = new Manager;
    return *instance;
}

std::atomic<MemReportBoxHook> g_reportBox{nullptr};
std::atomic<MemRefuseHook> g_refuse{nullptr};
std::atomic<MemBlockReportHook> g_blockReport{nullptr};

// 0 when the request cannot be represented.
size_t blockSizeFor(size_t cb)
{
    if (cb > std::numeric_limits<size_t>::max() - kOverhead - kHostExtra - 2 * kClassSize)
        return 0;
    return (cb + kOverhead) / kClassSize * kClassSize + kClassSize;
}

size_t blockSize(const Block* b)
{
    return b->cbPayload + kOverhead;
}
size_t footprint(size_t blockSize)
{
    return blockSize + kHostExtra;
}
int sizeClass(size_t blockSize)
{
    return static_cast<int>(blockSize / kClassSize) - 1;
}
unsigned char* payloadOf(Block* b)
{
    return reinterpret_cast<unsigned char*>(b + 1);
}
unsigned char* trailerOf(Block* b)
{
    return reinterpret_cast<unsigned char*>(b) + footprint(blockSize(b)) - 4;
}
// Any overrun that starts at the end of the request runs through these bytes first.
size_t guardLength(Block* b)
{
    const size_t slack = trailerOf(b) - (payloadOf(b) + b->cbRequested);
    return std::min(slack, kGuardBytes);
}
const void* keyOf(const Block* b)
{
    return b->kind == kMemory ? b->pPayload : b->pTracked;
}
int bucketOf(const void* address)
{
    return static_cast<int>((reinterpret_cast<uintptr_t>(address) >> 4) % kBuckets);
}

bool debuggerAttached()
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return false;
    char line[256];
    long tracer = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "TracerPid: %ld", &tracer) == 1)
            break;
    std::fclose(status);
    return tracer != 0;
}

void report(const char* message, const void* address, const char* file, int line)
{
    char text[1024];
    std::snprintf(text, sizeof text, "%s\n\n   Address: 0x%08lX\n   Current: %s line %ld\n\nClick OK to dismiss\nClick X to debug", message,
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(address)), file ? file : "", static_cast<long>(line));
    MemReportBoxHook box = g_reportBox.load();
    if (!box) {
        Trace("%s: %s", kCaption, text);
        return;
    }
    // Cancel asks for the debugger; without one there is nobody to break into.
    if (!box(text, kCaption) && debuggerAttached())
        std::raise(SIGTRAP);
}

// The box names the address the caller passed; the hook gets the block itself.
void blockReport(const char* message, const Block* b, const void* address, const char* file, int line)
{
    report(message, address, file, line);
    if (MemBlockReportHook hook = g_blockReport.load())
        hook(b, file, line, message);
}

// The guard is nearly always a full kGuardBytes: two word stores and compares then do it.
constexpr uint64_t kGuardWord = 0x0101010101010101ull * kGuardByte;

void writeGuards(Block* b)
{
    const uint32_t trailer = kTrailingSignature;
    unsigned char* end = trailerOf(b);
    std::memcpy(end, &trailer, sizeof trailer);
    if (b->kind != kMemory)
        return;
    unsigned char* guard = payloadOf(b) + b->cbRequested;
    const size_t n = guardLength(b);
    if (n == kGuardBytes) {
        std::memcpy(guard, &kGuardWord, 8);
        std::memcpy(guard + 8, &kGuardWord, 8);
    } else {
        std::memset(guard, kGuardByte, n);
    }
}

bool trailerIntact(Block* b)
{
    uint32_t trailer;
    unsigned char* end = trailerOf(b);
    std::memcpy(&trailer, end, sizeof trailer);
    if (trailer != kTrailingSignature)
        return false;
    if (b->kind != kMemory)
        return true;
    const unsigned char* guard = payloadOf(b) + b->cbRequested;
    const size_t n = guardLength(b);
    if (n == kGuardBytes) {
        uint64_t first, second;
        std::memcpy(&first, guard, 8);
        std::memcpy(&second, guard + 8, 8);
        return first == kGuardWord && second == kGuardWord;
    }
    for (size_t i = 0; i < n; ++i)
        if (guard[i] != kGuardByte)
            return false;
    return true;
}

// Reports an overwritten signature. Returns false when the header itself was hit: its links
// can no longer be trusted, so the caller must leave the block alone.
bool checkSignatures(Block* b, const void* address, const char* file, int line)
{
    if (b->dwSignature != kLeadingSignature) {
        blockReport("The leading signature on a memory block was overwritten.", b, address, file, line);
        return false;
    }
    if (!trailerIntact(b))
        blockReport("The trailing signature on a memory block was overwritten.", b, address, file, line);
    return true;
}

Block* find(Manager& m, const void* address)
{
    for (Block* b = m.rgBuckets[bucketOf(address)]; b; b = b->pHashNext)
        if (keyOf(b) == address)
            return b;
    return nullptr;
}

void hashInsert(Manager& m, Block* b)
{
    b->iBucket = bucketOf(keyOf(b));
    Block*& head = m.rgBuckets[b->iBucket];
    b->pHashPrev = nullptr;
    b->pHashNext = head;
    if (head)
        head->pHashPrev = b;
    head = b;
}

void hashRemove(Manager& m, Block* b)
{
    (b->pHashPrev ? b->pHashPrev->pHashNext : m.rgBuckets[b->iBucket]) = b->pHashNext;
    if (b->pHashNext)
        b->pHashNext->pHashPrev = b->pHashPrev;
    b->iBucket = -1;
}

// Files a block on its free list; its payload stays out of bounds for the sanitizer until reused.
void freePush(Manager& m, Block* b)
{
    b->kind = kMemory;
    b->cbRequested = 0;
    b->pszLabel = b->pszFile = kFree;
    b->line = 0;
    b->fTared = 0;
    b->pTracked = nullptr;
    const int k = sizeClass(blockSize(b));
    Block*& head = m.rgFree[k];
    b->pFreePrev = nullptr;
    b->pFreeNext = head;
    if (head)
        head->pFreePrev = b;
    else
        m.nonEmpty.Set(k);
    head = b;
    ASAN_POISON_MEMORY_REGION(payloadOf(b), b->cbPayload);
}

void freeRemove(Manager& m, Block* b)
{
    if (b->pFreePrev) {
        b->pFreePrev->pFreeNext = b->pFreeNext;
    } else {
        const int k = sizeClass(blockSize(b));
        m.rgFree[k] = b->pFreeNext;
        if (!b->pFreeNext)
            m.nonEmpty.Clear(k);
    }
    if (b->pFreeNext)
        b->pFreeNext->pFreePrev = b->pFreePrev;
    b->pFreePrev = b->pFreeNext = nullptr;
    ASAN_UNPOISON_MEMORY_REGION(payloadOf(b), b->cbPayload);
}

Block* initBlock(void* at, size_t blockSize, Chunk* chunk)
{
    Block* b = static_cast<Block*>(at);
    *b = Block{};
    b->dwSignature = kLeadingSignature;
    b->iBucket = -1;
    b->pChunk = chunk;
    b->cbPayload = blockSize - kOverhead;
    b->pszLabel = b->pszFile = kFree;
    b->pPayload = payloadOf(b);
    return b;
}

Block* carveFrom(Chunk* c, size_t blockSize)
{
    void* at = reinterpret_cast<unsigned char*>(c) + kChunkHeader + (c->cbUsable - c->cbUncarved);
    c->cbUncarved -= footprint(blockSize);
    ++c->cCarved;
    return initBlock(at, blockSize, c);
}

// The tail of a full chunk becomes one free block of the largest size class it holds.
void fileRemainder(Manager& m, Chunk* c)
{
    if (c->cbUncarved < footprint(kClassSize))
        return;
    freePush(m, carveFrom(c, (c->cbUncarved - kHostExtra) / kClassSize * kClassSize));
}

Chunk* newChunk(Manager& m)
{
    void* memory = std::aligned_alloc(64, kChunkSize);
    if (!memory)
        return nullptr;
    Chunk* c = static_cast<Chunk*>(memory);
    *c = Chunk{};
    c->cbUsable = c->cbUncarved = kChunkSize - kChunkHeader;
    c->pFirst = reinterpret_cast<Block*>(static_cast<unsigned char*>(memory) + kChunkHeader);
    c->pNext = m.pChunks;
    if (m.pChunks)
        m.pChunks->pPrev = c;
    m.pChunks = c;
    ++m.cChunks;
    ++m.cEmptyChunks;
    return c;
}

void releaseChunk(Manager& m, Chunk* c)
{
    Block* b = c->pFirst;
    for (size_t i = 0; i < c->cCarved; ++i) {
        Block* next = reinterpret_cast<Block*>(reinterpret_cast<unsigned char*>(b) + footprint(blockSize(b)));
        freeRemove(m, b);
        b = next;
    }
    (c->pPrev ? c->pPrev->pNext : m.pChunks) = c->pNext;
    if (c->pNext)
        c->pNext->pPrev = c->pPrev;
    --m.cChunks;
    --m.cEmptyChunks;
    std::free(c);
}

Block* takeFree(Manager& m, int k)
{
    const int i = m.nonEmpty.First(k, std::min(k + kClassSearch + 1, kSizeClasses));
    if (i < 0)
        return nullptr;
    Block* b = m.rgFree[i];
    freeRemove(m, b);
    return b;
}

Block* obtainBlock(Manager& m, size_t blockSize)
{
    if (blockSize > kLargeBlock) {
        void* memory = std::aligned_alloc(16, footprint(blockSize));
        if (!memory)
            return nullptr;
        Block* b = initBlock(memory, blockSize, nullptr);
        b->fLarge = 1;
        ++m.cLargeBlocks;
        return b;
    }
    if (Block* b = takeFree(m, sizeClass(blockSize)))
        return b;
    Chunk* c = m.pChunks;
    if (!c || c->cbUncarved < footprint(blockSize)) {
        if (c)
            fileRemainder(m, c);
        c = newChunk(m);
        if (!c)
            return nullptr;
    }
    return carveFrom(c, blockSize);
}

Block* allocate(Manager& m, size_t blockSize, Kind kind, size_t cbRequested, const void* tracked, const char* label, const char* file,
                int line)
{
    if (blockSize == 0)
        return nullptr;
    Block* b = obtainBlock(m, blockSize);
    if (!b)
        return nullptr;
    b->kind = kind;
    b->cbRequested = cbRequested;
    b->pszLabel = label;
    b->pszFile = file;
    b->line = line;
    b->fTared = 0;
    b->pTracked = tracked;
    writeGuards(b);
    hashInsert(m, b);
    if (b->pChunk && b->pChunk->cInUse++ == 0)
        --m.cEmptyChunks;
    return b;
}

void release(Manager& m, const void* address, bool untrack, const char* file, int line)
{
    Block* b = find(m, address);
    if (!b) {
        report("An invalid address was deleted.", address, file, line);
        return;
    }
    if (untrack && b->kind != kObject)
        blockReport("A non-object memory address was deleted.", b, address, file, line);
    else if (!untrack && b->kind == kObject)
        blockReport("A C++ object was deleted using the \"free\" method.", b, address, file, line);
    if (!checkSignatures(b, address, file, line))
        return;
    hashRemove(m, b);
    if (b->fLarge) {
        --m.cLargeBlocks;
        std::free(b);
        return;
    }
    freePush(m, b);
    Chunk* c = b->pChunk;
    if (--c->cInUse == 0 && ++m.cEmptyChunks > kMaxEmptyChunks)
        releaseChunk(m, c);
}

void* allocateLocked(Manager& m, size_t cb, const char* label, const char* file, int line)
{
    Block* b = allocate(m, blockSizeFor(cb), kMemory, cb, nullptr, label, file, line);
    return b ? b->pPayload : nullptr;
}

} // namespace

// The hot entries take their helpers inline: calls were a third of their instructions.
[[gnu::flatten]] void* MemAlloc(size_t cb, const char* label, const char* file, int line)
{
    if (MemRefuseHook refuse = g_refuse.load(); refuse && refuse(cb, label))
        return nullptr;
    Manager& m = manager();
    std::lock_guard guard(m.lock);
    return allocateLocked(m, cb, label, file, line);
}

[[gnu::flatten]] void MemFree(void* payload, const char* file, int line)
{
    if (!payload)
        return;
    Manager& m = manager();
    std::lock_guard guard(m.lock);
    release(m, payload, false, file, line);
}

void* MemTrackObject(void* object, size_t cb, const char* label, const char* file, int line)
{
    if (!object)
        return nullptr;
    Manager& m = manager();
    std::lock_guard guard(m.lock);
    allocate(m, kClassSize, kObject, cb, object, label, file, line);
    return object;
}

void MemTrackAddress(void* address, const char* file, int line)
{
    Manager& m = manager();
    std::lock_guard guard(m.lock);
    allocate(m, kClassSize, kAddress, 0, address, "address", file, line);
}

void MemUntrackObject(void* object, const char* file, int line)
{
    if (!object)
        return;
    Manager& m = manager();
    std::lock_guard guard(m.lock);
    release(m, object, true, file, line);
}

void MemTare(void* address, const char* file, int line)
{
    Manager& m = manager();
    std::lock_guard guard(m.lock);
    Block* b = find(m, address);
    if (!b) {
        report("An invalid address was tared.", address, file, line);
        return;
    }
    checkSignatures(b, address, file, line);
    b->fTared = 1;
}

bool MemGrowArray(size_t cbElement, void** array, int* count, int needed, int step, const char* file, int line)
{
    Manager& m = manager();
    std::lock_guard guard(m.lock);
    const int current = std::max(*count, 0);
    if (current >= needed)
        return true;
    // A step below one would leave the array short of what was asked for.
    const long long grown = static_cast<long long>(needed) + std::max(step, 1) - 1;
    if (grown > std::numeric_limits<int>::max()
        || (cbElement && static_cast<size_t>(grown) > std::numeric_limits<size_t>::max() / cbElement))
        return false;
    const size_t cbOld = cbElement * current;
    const size_t cbNew = cbElement * static_cast<size_t>(grown);
    auto* grownArray = static_cast<unsigned char*>(allocateLocked(m, cbNew, "MemRealloc", file, line));
    if (!grownArray)
        return false;
    if (cbOld)
        std::memcpy(grownArray, *array, cbOld);
    std::memset(grownArray + cbOld, 0, cbNew - cbOld);
    if (*array)
        release(m, *array, false, file, line);
    *array = grownArray;
    *count = static_cast<int>(grown);
    return true;
}

MemRefuseHook SetMemRefuseHook(MemRefuseHook hook)
{
    return g_refuse.exchange(hook);
}

MemReportBoxHook SetMemReportBoxHook(MemReportBoxHook hook)
{
    return g_reportBox.exchange(hook);
}

MemBlockReportHook SetMemBlockReportHook(MemBlockReportHook hook)
{
    return g_blockReport.exchange(hook);
}

size_t MemBlockSize(size_t cb)
{
    return blockSizeFor(cb);
}

bool MemQueryBlock(const void* address, MemBlockInfo* info)
{
    Manager& m = manager();
    std::lock_guard guard(m.lock);
    Block* b = find(m, address);
    if (!b)
        return false;
    if (info)
        *info = MemBlockInfo{b,           blockSize(b), b->cbRequested, static_cast<int>(b->kind), b->fLarge != 0, b->fTared != 0,
                             b->pszLabel, b->pszFile,   b->line};
    return true;
}

MemStats MemQueryStats()
{
    Manager& m = manager();
    std::lock_guard guard(m.lock);
    return MemStats{m.cChunks, static_cast<size_t>(m.cEmptyChunks), m.cLargeBlocks};
}

size_t MemFreeListLength(int sizeClass)
{
    Manager& m = manager();
    std::lock_guard guard(m.lock);
    if (sizeClass < 0 || sizeClass >= kSizeClasses)
        return 0;
    size_t length = 0;
    for (const Block* b = m.rgFree[sizeClass]; b; b = b->pFreeNext)
        ++length;
    return length;
}
