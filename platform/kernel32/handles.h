// The one table of kernel handles: files, find searches, events, mutexes and threads.
//
// A handle is a number that is never handed out twice, so a stale or forged handle is simply
// not found (ERROR_INVALID_HANDLE) instead of reaching a freed or different object.
#pragma once

#include "clock.h"

#include "windows.h"

#include <memory>

struct KernelObject {
    virtual ~KernelObject() = default;
    // Find searches end with FindClose, everything else with CloseHandle.
    virtual bool closedByCloseHandle() const { return true; }
};

// Something WaitForSingleObject can wait on.
struct Waitable : KernelObject {
    // True when the object was signalled (and, for auto-reset events and mutexes, taken).
    virtual bool wait(const Deadline& deadline) = 0;
};

HANDLE AddHandle(std::shared_ptr<KernelObject> object);

// The object behind the handle, or nullptr (last error ERROR_INVALID_HANDLE) when the handle
// is not open or names another kind of object.
std::shared_ptr<KernelObject> FindHandle(HANDLE handle);

template<class T> std::shared_ptr<T> FindHandleOf(HANDLE handle)
{
    std::shared_ptr<T> object = std::dynamic_pointer_cast<T>(FindHandle(handle));
    if (!object)
        SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

// Removes the handle when it names an object that `closedByCloseHandle` says this call may close.
bool RemoveHandle(HANDLE handle, bool byCloseHandle);
