#include "handles.h"
#include "namedlock.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <unistd.h>

namespace {

// Owned by one thread at a time, recursively. A named one is also owned by one process at a
// time: the thread first claims it within the process, then takes the lock file.
struct MutexObject : Waitable {
    std::mutex lock;
    std::condition_variable changed;
    pid_t owner = 0;
    unsigned count = 0;
    std::unique_ptr<NamedLock> named;

    bool wait(const Deadline& deadline) override
    {
        const pid_t me = gettid();
        std::unique_lock guard(lock);
        if (owner == me) {
            ++count;
            return true;
        }
        if (!WaitUntil(changed, guard, deadline, [&] { return owner == 0; }))
            return false;
        owner = me;
        if (named) {
            guard.unlock();
            const bool acquired = named->acquire(deadline);
            guard.lock();
            if (!acquired) {
                owner = 0;
                guard.unlock();
                changed.notify_all();
                return false;
            }
        }
        count = 1;
        return true;
    }

    void takeInitialOwnership()
    {
        owner = gettid();
        count = 1;
    }

    bool release()
    {
        {
            std::lock_guard guard(lock);
            if (owner != gettid() || count == 0)
                return false;
            if (--count > 0)
                return true;
            if (named)
                named->release();
            owner = 0;
        }
        changed.notify_all();
        return true;
    }
};

// Named mutexes open in this process, so a second CreateMutexW of a name shares the object.
struct NameTable {
    std::mutex lock;
    std::map<std::u16string, std::weak_ptr<MutexObject>> mutexes;
};

NameTable& names()
{
    static NameTable* table = new NameTable; // used by threads that may outlive static destruction
    return *table;
}

} // namespace

HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCWSTR name)
{
    if (!name) {
        auto mutex = std::make_shared<MutexObject>();
        if (initialOwner)
            mutex->takeInitialOwnership();
        SetLastError(ERROR_SUCCESS);
        return AddHandle(mutex);
    }

    NameTable& table = names();
    std::lock_guard guard(table.lock);
    const std::u16string key(name);
    std::shared_ptr<MutexObject> mutex = table.mutexes[key].lock();
    if (mutex) {
        // Win32 ignores the initial owner for a mutex that already exists.
        SetLastError(ERROR_ALREADY_EXISTS);
        return AddHandle(mutex);
    }
    bool existed = false;
    mutex = std::make_shared<MutexObject>();
    mutex->named = NamedLock::open(key, initialOwner, existed);
    if (!mutex->named) {
        table.mutexes.erase(key);
        return nullptr;
    }
    if (initialOwner && !existed)
        mutex->takeInitialOwnership(); // before the table publishes it to other threads
    table.mutexes[key] = mutex;
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return AddHandle(mutex);
}

BOOL ReleaseMutex(HANDLE mutex)
{
    std::shared_ptr<MutexObject> object = FindHandleOf<MutexObject>(mutex);
    if (!object)
        return FALSE;
    if (!object->release()) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    return TRUE;
}
