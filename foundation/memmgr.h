// The memory manager: every heap block of Quibo goes through it.
//
// Blocks are carved from 1 MiB chunks, carry a type label and the source position of the
// request, and are guarded by signatures before and after the payload; freed blocks go to
// size-class free lists. Objects created with `new` are recorded ("tracked") so that frees
// of the wrong kind are caught. Misuse is reported in a "Memory Manager" message box.
//
// Call through the macros below, which capture the label, file and line.
#pragma once

#include <cstddef>

// Returns null when the system has no memory left.
void* MemAlloc(size_t cb, const char* label, const char* file, int line);
// Freeing or untracking null does nothing, as with free and delete.
void MemFree(void* payload, const char* file, int line);
void* MemTrackObject(void* object, size_t cb, const char* label, const char* file, int line);
void MemTrackAddress(void* address, const char* file, int line);
void MemUntrackObject(void* object, const char* file, int line);
// Marks a live block (or tracked address) as one that stays for the rest of the run.
void MemTare(void* address, const char* file, int line);
// Grows *array (of *count elements of cbElement bytes) to at least `needed` elements:
// a new array of needed + step - 1 elements, old elements copied, new ones zeroed. Returns
// false, leaving the old array in place, when no memory is left or the size overflows.
bool MemGrowArray(size_t cbElement, void** array, int* count, int needed, int step, const char* file, int line);

#define MEM_ALLOC(cb, label) MemAlloc((cb), (label), __FILE__, __LINE__)
#define MEM_ALLOC_TYPE(type) static_cast<type*>(MemAlloc(sizeof(type), #type, __FILE__, __LINE__))
#define MEM_ALLOC_ARRAY(type, n) static_cast<type*>(MemAlloc(sizeof(type) * (n), #type, __FILE__, __LINE__))
#define MEM_FREE(p) MemFree((p), __FILE__, __LINE__)
#define MEM_TARE(p) MemTare((p), __FILE__, __LINE__)
#define MEM_GROW_ARRAY(array, count, needed, step)                                                                                         \
    MemGrowArray(sizeof(**(array)), reinterpret_cast<void**>(array), (count), (needed), (step), __FILE__, __LINE__)

// A tracked new/delete pair: MEM_NEW(ANIMOBJECT, args...) and MEM_DELETE(p).
#define MEM_NEW(type, ...) static_cast<type*>(MemTrackObject(new type(__VA_ARGS__), sizeof(type), #type, __FILE__, __LINE__))
#define MEM_DELETE(p)                                                                                                                      \
    do {                                                                                                                                   \
        auto* mem_delete_p_ = (p);                                                                                                         \
        MemUntrackObject(mem_delete_p_, __FILE__, __LINE__);                                                                               \
        delete mem_delete_p_;                                                                                                              \
    } while (0)

// The report hooks. The message box of a report reaches the platform layer through the first
// (it returns true to continue, false to break into the debugger if one is attached); with no
// hook the report is traced and the program goes on. The block-level reports of kind
// mismatches and overwritten signatures also reach the second, with the block's own address
// (where its header begins, as MemQueryBlock reports it). Each setter returns the previous hook.
using MemReportBoxHook = bool (*)(const char* text, const char* caption);
using MemBlockReportHook = void (*)(const void* block, const char* file, int line, const char* message);
MemReportBoxHook SetMemReportBoxHook(MemReportBoxHook hook);
MemBlockReportHook SetMemBlockReportHook(MemBlockReportHook hook);
