#include "windows.h"

#include <gtest/gtest.h>

namespace {

struct Job {
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD seenThreadId = 0;
    ~Job()
    {
        CloseHandle(go);
        CloseHandle(finished);
    }
};

DWORD WINAPI runJob(LPVOID parameter)
{
    Job* job = static_cast<Job*>(parameter);
    job->seenThreadId = GetCurrentThreadId();
    WaitForSingleObject(job->go, INFINITE);
    SetEvent(job->finished);
    return 1234;
}

} // namespace

TEST(Threads, RunWithTheirParameterKeepTheirPriorityAndEndWithTheirExitCode)
{
    Job job;
    DWORD id = 0, code = 0;
    HANDLE thread = CreateThread(nullptr, 0, runJob, &job, 0, &id);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread, 0), DWORD(WAIT_TIMEOUT));
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_NORMAL);
    for (int priority : {THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_LOWEST}) {
        EXPECT_TRUE(SetThreadPriority(thread, priority));
        EXPECT_EQ(GetThreadPriority(thread), priority);
    }
    EXPECT_FALSE(SetThreadPriority(thread, 7));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

    SetEvent(job.go);
    EXPECT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
    EXPECT_EQ(job.seenThreadId, id);
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 1234u);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0); // stays signalled
    CloseHandle(thread);
    EXPECT_FALSE(SetThreadPriority(thread, THREAD_PRIORITY_NORMAL));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST(Threads, OutliveTheirClosedHandleAndRefuseWhatTheyCannotDo)
{
    Job job;
    HANDLE thread = CreateThread(nullptr, 64 * 1024, runJob, &job, 0, nullptr);
    EXPECT_TRUE(CloseHandle(thread));
    SetEvent(job.go);
    EXPECT_EQ(WaitForSingleObject(job.finished, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(CreateThread(nullptr, 0, runJob, &job, CREATE_SUSPENDED, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
}
