#include "handles.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace {

struct HandleTable {
    std::mutex lock;
    std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> objects;
    uintptr_t next = 4; // multiples of 4, as Win32 hands them out; never reused
};

HandleTable& table()
{
    static HandleTable* instance = new HandleTable; // outlives threads still closing handles at exit
    return *instance;
}

} // namespace

HANDLE AddHandle(std::shared_ptr<KernelObject> object)
{
    HandleTable& t = table();
    std::lock_guard guard(t.lock);
    const uintptr_t value = t.next;
    t.next += 4;
    t.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> FindHandle(HANDLE handle)
{
    HandleTable& t = table();
    std::lock_guard guard(t.lock);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == t.objects.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second;
}

bool RemoveHandle(HANDLE handle, bool byCloseHandle)
{
    std::shared_ptr<KernelObject> removed; // destroyed outside the lock: closing may take time
    HandleTable& t = table();
    {
        std::lock_guard guard(t.lock);
        auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
        if (it == t.objects.end() || it->second->closedByCloseHandle() != byCloseHandle) {
            SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        removed = std::move(it->second);
        t.objects.erase(it);
    }
    return true;
}

BOOL CloseHandle(HANDLE object)
{
    return RemoveHandle(object, true);
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds)
{
    std::shared_ptr<Waitable> waitable = FindHandleOf<Waitable>(object);
    if (!waitable)
        return WAIT_FAILED;
    Deadline deadline;
    if (milliseconds != INFINITE)
        deadline = LayerClock::now() + std::chrono::milliseconds(milliseconds);
    return waitable->wait(deadline) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}
