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
#include <linux/membarrier.h>
#include <mutex>
#include <sanitizer/asan_interface.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

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

// Spins briefly, then yields, then sleeps: a waiter may wait behind a message box.
template<typename Busy> void waitWhile(Busy busy)
{
    for (int waits = 0; busy(); ++waits) {
        if (waits < 64)
            cpuRelax();
        else if (waits < 256)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

// Whether the system can make every other thread of the process pass a full memory barrier;
// decided once, before the first heap is handed out.
bool g_heavyFence = false;

void registerHeavyFence()
{
    g_heavyFence = syscall(SYS_membarrier, MEMBARRIER_CMD_REGISTER_PRIVATE_EXPEDITED, 0, 0) == 0;
}

// A heap's lock, biased towards the thread that owns the heap. That thread takes it with plain
// stores and loads: an atomic exchange would wait for all its earlier stores to reach memory on
// every call, a third of the cost of a free. Any other thread (freeing a block allocated
// elsewhere, or looking one up) is a guest: guests queue on a mutex, announce themselves, and
// force a full barrier on the owner's processor, so that owner and guest cannot both see the
// other absent. Without that barrier everyone is a guest, even in its own heap. Not recursive: reports are made
// after the lock is left.
class HeapLock {
public:
    void LockAsOwner()
    {
        for (;;) {
            m_ownerIn.store(true, std::memory_order_relaxed);
            std::atomic_signal_fence(std::memory_order_seq_cst);
            if (!m_guestIn.load(std::memory_order_acquire))
                return;
            m_ownerIn.store(false, std::memory_order_release);
            waitWhile([this] { return m_guestIn.load(std::memory_order_relaxed); });
        }
    }

    void UnlockAsOwner() { m_ownerIn.store(false, std::memory_order_release); }

    [[gnu::noinline]] void LockAsGuest()
    {
        m_guests.lock();
        m_guestIn.store(true, std::memory_order_relaxed);
        if (g_heavyFence)
            syscall(SYS_membarrier, MEMBARRIER_CMD_PRIVATE_EXPEDITED, 0, 0);
        else
            std::atomic_thread_fence(std::memory_order_seq_cst);
        waitWhile([this] { return m_ownerIn.load(std::memory_order_acquire); });
    }

    [[gnu::noinline]] void UnlockAsGuest()
    {
        m_guestIn.store(false, std::memory_order_release);
        m_guests.unlock();
    }

private:
    std::atomic<bool> m_ownerIn{false};
    std::atomic<bool> m_guestIn{false};
    std::mutex m_guests;
};

// One bit per size class whose free list holds a block, so a request finds the first
// non-empty list of its search window in a word or two instead of walking seventeen heads.
class FreeClasses {
public:
    void Set(unsigned k) { bits_[k / 64] |= uint64_t{1} << (k % 64); }
    void Clear(unsigned k) { bits_[k / 64] &= ~(uint64_t{1} << (k % 64)); }
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

// What the manager keeps for the blocks one thread allocates. Each thread allocates from a
// heap of its own, so threads do not meet on one lock or on each other's lists; a heap outlives
// its thread and passes to the next thread that starts. A block is freed in the heap that holds
// it, whichever thread frees it.
struct Heap {
    HeapLock lock;
    Chunk* pChunks = nullptr; // most recent first; the first is the one being carved
    Block* rgBuckets[kBuckets] = {};
    Block* rgFree[kSizeClasses] = {};
    int cEmptyChunks = 0;
    size_t cChunks = 0;
    size_t cLargeBlocks = 0;
    FreeClasses nonEmpty;
    std::atomic<bool> fOwned{true};
    Heap* pNext = nullptr; // in the list of all heaps; set before the heap is listed
};

// Every heap made so far, newest first. Heaps are never destroyed: blocks may be freed by
// static destructors, and a heap's blocks may outlive its thread.
std::atomic<Heap*> g_heaps{nullptr};
std::mutex g_adoption;

constinit thread_local Heap* t_heap = nullptr;
constinit thread_local bool t_owner = false; // takes t_heap's lock as its owner

// Hands the thread's heap on when the thread ends. Should the thread allocate or free after
// that, it still uses the heap, as a guest.
struct HeapRelease {
    Heap* heap = nullptr;
    ~HeapRelease()
    {
        t_owner = false;
        heap->fOwned.store(false, std::memory_order_release);
    }
};
thread_local HeapRelease t_release;

[[gnu::noinline]] Heap& adoptHeap()
{
    static const bool registered = (registerHeavyFence(), true);
    (void)registered;
    Heap* heap = nullptr;
    {
        std::lock_guard guard(g_adoption);
        for (Heap* h = g_heaps.load(std::memory_order_acquire); h && !heap; h = h->pNext)
            if (bool owned = false; h->fOwned.compare_exchange_strong(owned, true))
                heap = h;
        if (!heap) {
            heap = new Heap;
            heap->pNext = g_heaps.load(std::memory_order_relaxed);
            g_heaps.store(heap, std::memory_order_release);
        }
    }
    t_heap = heap;
    t_owner = g_heavyFence;
    t_release.heap = heap;
    return *heap;
}

Heap& ownHeap()
{
    Heap* heap = t_heap;
    return heap ? *heap : adoptHeap();
}

// Holds a heap's lock, as its owner or as a guest.
class HeapAccess {
public:
    explicit HeapAccess(Heap& heap) : m_heap(heap), m_owner(&heap == t_heap && t_owner)
    {
        m_owner ? heap.lock.LockAsOwner() : heap.lock.LockAsGuest();
    }
    ~HeapAccess() { m_owner ? m_heap.lock.UnlockAsOwner() : m_heap.lock.UnlockAsGuest(); }
    HeapAccess(const HeapAccess&) = delete;
    HeapAccess& operator=(const HeapAccess&) = delete;

private:
    Heap& m_heap;
    bool m_owner;
};

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

// Reports of a block found while its heap is locked, made once the lock is left: a report's
// message box may allocate and may stay up for seconds. The box names the address the caller
// passed; the block hook gets the block itself.
class Findings {
public:
    void Add(const char* message, const Block* b) { m_items[m_count++] = {message, b}; }
    void Report(const void* address, const char* file, int line) const
    {
        if (m_count)
            ReportAll(address, file, line);
    }

private:
    [[gnu::noinline]] void ReportAll(const void* address, const char* file, int line) const
    {
        for (int i = 0; i < m_count; ++i) {
            report(m_items[i].message, address, file, line);
            if (MemBlockReportHook hook = g_blockReport.load())
                hook(m_items[i].block, file, line, m_items[i].message);
        }
    }

    struct Item {
        const char* message;
        const Block* block;
    };
    Item m_items[2]; // a kind mismatch and an overwritten signature at most
    int m_count = 0;
};

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

// Notes an overwritten signature. Returns false when the header itself was hit: its links
// can no longer be trusted, so the caller must leave the block alone.
bool checkSignatures(Block* b, Findings& findings)
{
    if (b->dwSignature != kLeadingSignature) {
        findings.Add("The leading signature on a memory block was overwritten.", b);
        return false;
    }
    if (!trailerIntact(b))
        findings.Add("The trailing signature on a memory block was overwritten.", b);
    return true;
}

Block* find(Heap& m, const void* address)
{
    for (Block* b = m.rgBuckets[bucketOf(address)]; b; b = b->pHashNext)
        if (keyOf(b) == address)
            return b;
    return nullptr;
}

void hashInsert(Heap& m, Block* b)
{
    b->iBucket = bucketOf(keyOf(b));
    Block*& head = m.rgBuckets[b->iBucket];
    b->pHashPrev = nullptr;
    b->pHashNext = head;
    if (head)
        head->pHashPrev = b;
    head = b;
}

void hashRemove(Heap& m, Block* b)
{
    (b->pHashPrev ? b->pHashPrev->pHashNext : m.rgBuckets[b->iBucket]) = b->pHashNext;
    if (b->pHashNext)
        b->pHashNext->pHashPrev = b->pHashPrev;
    b->iBucket = -1;
}

// Files a block on its free list; its payload stays out of bounds for the sanitizer until reused.
void freePush(Heap& m, Block* b)
{
    b->kind = kMemory;
    b->cbRequested = 0;
    b->pszLabel = b->pszFile = kFree;
    b->line = 0;
    b->fTared = 0;
    b->pTracked = nullptr;
    const int k = sizeClass(blockSize(b));
    Block*& head = m.rgFree[k];
    b->pFreeNext = head;
    if (head)
        head->pFreePrev = b;
    else
        m.nonEmpty.Set(k);
    head = b;
    ASAN_POISON_MEMORY_REGION(payloadOf(b), b->cbPayload);
}

// The back link of a list's first block is left as it was: only a block further down is ever
// unlinked through it, and taking the first block then costs no write to the second.
void freeRemove(Heap& m, Block* b)
{
    const int k = sizeClass(blockSize(b));
    if (m.rgFree[k] == b) {
        m.rgFree[k] = b->pFreeNext;
        if (!b->pFreeNext)
            m.nonEmpty.Clear(k);
    } else {
        b->pFreePrev->pFreeNext = b->pFreeNext;
        if (b->pFreeNext)
            b->pFreeNext->pFreePrev = b->pFreePrev;
    }
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
void fileRemainder(Heap& m, Chunk* c)
{
    if (c->cbUncarved < footprint(kClassSize))
        return;
    freePush(m, carveFrom(c, (c->cbUncarved - kHostExtra) / kClassSize * kClassSize));
}

Chunk* newChunk(Heap& m)
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

[[gnu::noinline]] void releaseChunk(Heap& m, Chunk* c)
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

Block* takeFree(Heap& m, int k)
{
    if (Block* b = m.rgFree[k]) {
        freeRemove(m, b);
        return b;
    }
    const int i = m.nonEmpty.First(k, std::min(k + kClassSearch + 1, kSizeClasses));
    if (i < 0)
        return nullptr;
    Block* b = m.rgFree[i];
    freeRemove(m, b);
    return b;
}

[[gnu::noinline]] Block* obtainLarge(Heap& m, size_t blockSize)
{
    void* memory = std::aligned_alloc(16, footprint(blockSize));
    if (!memory)
        return nullptr;
    Block* b = initBlock(memory, blockSize, nullptr);
    b->fLarge = 1;
    ++m.cLargeBlocks;
    return b;
}

[[gnu::noinline]] Block* carve(Heap& m, size_t blockSize)
{
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

// Requests nearly always find a free block; the rest stays out of their way.
Block* obtainBlock(Heap& m, size_t blockSize)
{
    if (blockSize > kLargeBlock)
        return obtainLarge(m, blockSize);
    if (Block* b = takeFree(m, sizeClass(blockSize)))
        return b;
    return carve(m, blockSize);
}

Block* allocate(Heap& m, size_t blockSize, Kind kind, size_t cbRequested, const void* tracked, const char* label, const char* file,
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

void release(Heap& m, Block* b, bool untrack, Findings& findings)
{
    if (untrack && b->kind != kObject)
        findings.Add("A non-object memory address was deleted.", b);
    else if (!untrack && b->kind == kObject)
        findings.Add("A C++ object was deleted using the \"free\" method.", b);
    if (!checkSignatures(b, findings))
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

void* allocateIn(Heap& m, size_t cb, const char* label, const char* file, int line)
{
    HeapAccess access(m);
    Block* b = allocate(m, blockSizeFor(cb), kMemory, cb, nullptr, label, file, line);
    return b ? b->pPayload : nullptr;
}

// Runs use(heap, block) under the lock of the heap that holds the live block of address,
// looking in the thread's own heap first. False when no heap holds one.
template<typename Use> [[gnu::noinline]] bool withBlockElsewhere(const Heap& own, const void* address, Use use)
{
    for (Heap* h = g_heaps.load(std::memory_order_acquire); h; h = h->pNext) {
        if (h == &own)
            continue;
        HeapAccess access(*h);
        if (Block* b = find(*h, address)) {
            use(*h, b);
            return true;
        }
    }
    return false;
}

template<typename Use> bool withBlock(const void* address, Use use)
{
    Heap& own = ownHeap();
    {
        HeapAccess access(own);
        if (Block* b = find(own, address)) {
            use(own, b);
            return true;
        }
    }
    return withBlockElsewhere(own, address, use);
}

void releaseAt(const void* address, bool untrack, const char* file, int line)
{
    Findings findings;
    if (!withBlock(address, [&](Heap& h, Block* b) { release(h, b, untrack, findings); }))
        report("An invalid address was deleted.", address, file, line);
    findings.Report(address, file, line);
}

} // namespace

// The hot entries take their helpers inline, the rare paths apart: calls were a third of
// their instructions.
[[gnu::flatten]] void* MemAlloc(size_t cb, const char* label, const char* file, int line)
{
    if (MemRefuseHook refuse = g_refuse.load(); refuse && refuse(cb, label))
        return nullptr;
    return allocateIn(ownHeap(), cb, label, file, line);
}

[[gnu::flatten]] void MemFree(void* payload, const char* file, int line)
{
    if (payload)
        releaseAt(payload, false, file, line);
}

void* MemTrackObject(void* object, size_t cb, const char* label, const char* file, int line)
{
    if (!object)
        return nullptr;
    Heap& m = ownHeap();
    HeapAccess access(m);
    allocate(m, kClassSize, kObject, cb, object, label, file, line);
    return object;
}

void MemTrackAddress(void* address, const char* file, int line)
{
    Heap& m = ownHeap();
    HeapAccess access(m);
    allocate(m, kClassSize, kAddress, 0, address, "address", file, line);
}

void MemUntrackObject(void* object, const char* file, int line)
{
    if (object)
        releaseAt(object, true, file, line);
}

void MemTare(void* address, const char* file, int line)
{
    Findings findings;
    const bool found = withBlock(address, [&](Heap&, Block* b) {
        checkSignatures(b, findings);
        b->fTared = 1;
    });
    if (!found)
        report("An invalid address was tared.", address, file, line);
    findings.Report(address, file, line);
}

bool MemGrowArray(size_t cbElement, void** array, int* count, int needed, int step, const char* file, int line)
{
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
    auto* grownArray = static_cast<unsigned char*>(allocateIn(ownHeap(), cbNew, "MemRealloc", file, line));
    if (!grownArray)
        return false;
    if (cbOld)
        std::memcpy(grownArray, *array, cbOld);
    std::memset(grownArray + cbOld, 0, cbNew - cbOld);
    if (*array)
        releaseAt(*array, false, file, line);
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
    return withBlock(address, [info](Heap&, Block* b) {
        if (info)
            *info = MemBlockInfo{b,           blockSize(b), b->cbRequested, static_cast<int>(b->kind), b->fLarge != 0, b->fTared != 0,
                                 b->pszLabel, b->pszFile,   b->line};
    });
}

MemStats MemQueryStats()
{
    Heap& m = ownHeap();
    HeapAccess access(m);
    return MemStats{m.cChunks, static_cast<size_t>(m.cEmptyChunks), m.cLargeBlocks};
}

size_t MemFreeListLength(int sizeClass)
{
    if (sizeClass < 0 || sizeClass >= kSizeClasses)
        return 0;
    Heap& m = ownHeap();
    HeapAccess access(m);
    size_t length = 0;
    for (const Block* b = m.rgFree[sizeClass]; b; b = b->pFreeNext)
        ++length;
    return length;
}
