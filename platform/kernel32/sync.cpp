#include "handles.h"

#include <condition_variable>
#include <mutex>
#include <new>
#include <pthread.h>

static_assert(sizeof(CRITICAL_SECTION) >= sizeof(pthread_mutex_t));
static_assert(alignof(CRITICAL_SECTION) >= alignof(pthread_mutex_t));

namespace {

pthread_mutex_t* hostMutex(LPCRITICAL_SECTION section)
{
    return std::launder(reinterpret_cast<pthread_mutex_t*>(section->opaque));
}

struct EventObject : Waitable {
    std::mutex lock;
    std::condition_variable changed;
    bool manualReset = false;
    bool signalled = false;

    bool wait(const Deadline& deadline) override
    {
        std::unique_lock guard(lock);
        if (!WaitUntil(changed, guard, deadline, [&] { return signalled; }))
            return false;
        if (!manualReset)
            signalled = false; // an auto-reset event lets exactly one waiter through
        return true;
    }

    void set(bool value)
    {
        {
            std::lock_guard guard(lock);
            signalled = value;
        }
        if (value)
            changed.notify_all();
    }
};

BOOL setEvent(HANDLE event, bool value)
{
    std::shared_ptr<EventObject> object = FindHandleOf<EventObject>(event);
    if (!object)
        return FALSE;
    object->set(value);
    return TRUE;
}

} // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION section)
{
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(new (section->opaque) pthread_mutex_t, &attributes);
    pthread_mutexattr_destroy(&attributes);
}

void DeleteCriticalSection(LPCRITICAL_SECTION section)
{
    pthread_mutex_destroy(hostMutex(section));
}

void EnterCriticalSection(LPCRITICAL_SECTION section)
{
    pthread_mutex_lock(hostMutex(section));
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section)
{
    return pthread_mutex_trylock(hostMutex(section)) == 0;
}

void LeaveCriticalSection(LPCRITICAL_SECTION section)
{
    pthread_mutex_unlock(hostMutex(section));
}

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCWSTR name)
{
    if (name) {
        // Nothing here shares events between processes; a silent private event would mislead.
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    auto event = std::make_shared<EventObject>();
    event->manualReset = manualReset;
    event->signalled = initialState;
    SetLastError(ERROR_SUCCESS);
    return AddHandle(event);
}

BOOL SetEvent(HANDLE event)
{
    return setEvent(event, true);
}

BOOL ResetEvent(HANDLE event)
{
    return setEvent(event, false);
}
