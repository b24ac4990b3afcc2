#include "handles.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The pseudo-handle GetCurrentThread returns, as on Win32.
const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

struct ThreadObject : Waitable {
    LPTHREAD_START_ROUTINE start = nullptr;
    LPVOID parameter = nullptr;
    std::mutex lock;
    std::condition_variable changed;
    pid_t tid = 0;
    bool started = false;
    bool finished = false;
    DWORD exitCode = STILL_ACTIVE;
    std::atomic<int> priority{THREAD_PRIORITY_NORMAL};

    bool wait(const Deadline& deadline) override
    {
        std::unique_lock guard(lock);
        return WaitUntil(changed, guard, deadline, [&] { return finished; });
    }
};

thread_local ThreadObject* t_self = nullptr; // the layer's threads know their object
thread_local int t_priority = THREAD_PRIORITY_NORMAL; // the others keep their priority here

void* threadMain(void* argument)
{
    // The thread keeps its own object alive: its handle may be closed long before it ends.
    std::shared_ptr<ThreadObject> self(*static_cast<std::shared_ptr<ThreadObject>*>(argument));
    {
        std::lock_guard guard(self->lock);
        self->tid = gettid();
        self->started = true;
    }
    t_self = self.get();
    self->changed.notify_all();
    const DWORD code = self->start(self->parameter);
    {
        std::lock_guard guard(self->lock);
        self->exitCode = code;
        self->finished = true;
    }
    self->changed.notify_all();
    return nullptr;
}

// Win32 priorities as nice values. Raising a thread above normal needs a privilege the user
// seldom has; the request is then kept and reported back but changes nothing.
int niceFor(int priority)
{
    if (priority <= THREAD_PRIORITY_IDLE)
        return 19;
    if (priority >= THREAD_PRIORITY_TIME_CRITICAL)
        return -15;
    return -5 * priority;
}

bool validPriority(int priority)
{
    return (priority >= THREAD_PRIORITY_LOWEST && priority <= THREAD_PRIORITY_HIGHEST) || priority == THREAD_PRIORITY_IDLE
           || priority == THREAD_PRIORITY_TIME_CRITICAL;
}

} // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T stackSize, LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD creationFlags,
                    LPDWORD threadId)
{
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (creationFlags & CREATE_SUSPENDED) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    auto object = std::make_shared<ThreadObject>();
    object->start = start;
    object->parameter = parameter;

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (stackSize > 0)
        pthread_attr_setstacksize(&attributes, std::max<SIZE_T>(stackSize, PTHREAD_STACK_MIN));
    pthread_t thread;
    const int error = pthread_create(&thread, &attributes, threadMain, &object);
    pthread_attr_destroy(&attributes);
    if (error != 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    {
        // Wait until the thread holds its own reference and knows its id.
        std::unique_lock guard(object->lock);
        object->changed.wait(guard, [&] { return object->started; });
    }
    if (threadId)
        *threadId = static_cast<DWORD>(object->tid);
    return AddHandle(object);
}

HANDLE GetCurrentThread()
{
    return kCurrentThread;
}

DWORD GetCurrentThreadId()
{
    return static_cast<DWORD>(gettid());
}

BOOL SetThreadPriority(HANDLE thread, int priority)
{
    if (!validPriority(priority)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (thread == kCurrentThread) {
        t_priority = priority;
        if (t_self)
            t_self->priority = priority;
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), niceFor(priority));
        return TRUE;
    }
    std::shared_ptr<ThreadObject> object = FindHandleOf<ThreadObject>(thread);
    if (!object)
        return FALSE;
    std::lock_guard guard(object->lock);
    object->priority = priority;
    if (!object->finished)
        setpriority(PRIO_PROCESS, static_cast<id_t>(object->tid), niceFor(priority));
    return TRUE;
}

int GetThreadPriority(HANDLE thread)
{
    if (thread == kCurrentThread)
        return t_self ? t_self->priority.load() : t_priority;
    std::shared_ptr<ThreadObject> object = FindHandleOf<ThreadObject>(thread);
    return object ? object->priority.load() : THREAD_PRIORITY_ERROR_RETURN;
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode)
{
    std::shared_ptr<ThreadObject> object = FindHandleOf<ThreadObject>(thread);
    if (!object)
        return FALSE;
    std::lock_guard guard(object->lock);
    *exitCode = object->exitCode;
    return TRUE;
}
