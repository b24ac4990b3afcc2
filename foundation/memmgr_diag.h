// What tests and benchmarks may observe of the memory manager's inner state.
#pragma once

#include <cstddef>

// The block size (header and trailer included) that a request of cb payload bytes takes;
// 0 if no block can hold it.
size_t MemBlockSize(size_t cb);

struct MemBlockInfo {
    const void* pBlock; // where the block begins: its leading signature
    size_t cbBlock; // its size class's size; a reused block keeps its own
    size_t cbRequested; // payload bytes asked for, or the size of a tracked object
    int kind; // 0 memory block, 1 tracked object, 2 tracked address
    bool fLarge; // an allocation of its own rather than part of a chunk
    bool fTared;
    const char* pszLabel;
    const char* pszFile;
    int line;
};

// Describes the live block of a payload or tracked address (info may be null); false if
// there is none.
bool MemQueryBlock(const void* address, MemBlockInfo* info);

struct MemStats {
    size_t cChunks;
    size_t cEmptyChunks; // chunks holding no block in use
    size_t cLargeBlocks;
};

MemStats MemQueryStats();

// Lets tests make allocations fail: MemAlloc answers null while the hook returns true for the
// request's size and label. Returns the previous hook.
using MemRefuseHook = bool (*)(size_t cb, const char* label);
MemRefuseHook SetMemRefuseHook(MemRefuseHook hook);

// The number of free blocks filed in size class k (blocks of (k + 1) * 128 bytes).
size_t MemFreeListLength(int sizeClass);
