#include "child_process.h"

#include "windows.h"

#include <gtest/gtest.h>

namespace {

std::string probe(const char* name)
{
    ChildProcess helper("mutex_helper", {"probe", name});
    const std::string line = helper.readLine();
    EXPECT_EQ(helper.wait(), 0);
    return line;
}

} // namespace

TEST(NamedMutex, HeldByAnotherProcessUntilThatProcessEnds)
{
    ChildProcess holder("mutex_helper", {"hold", "Quibo Mutex"});
    ASSERT_EQ(holder.readLine(), "held");
    HANDLE mutex = CreateMutexW(nullptr, TRUE, u"Quibo Mutex");
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(WaitForSingleObject(mutex, 0), static_cast<DWORD>(WAIT_TIMEOUT)); // initial owner was ignored
    holder.closeInput(); // the holder ends without releasing it
    EXPECT_EQ(holder.wait(), 0);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex));
    CloseHandle(mutex);
}

TEST(NamedMutex, AnotherProcessSeesItsExistenceAndOwnership)
{
    const char* name = "Quibo/Probe \\ Mutex"; // separators in a name must not become folders
    EXPECT_EQ(probe(name), "existed=0 taken=1");
    HANDLE mutex = CreateMutexW(nullptr, TRUE, u"Quibo/Probe \\ Mutex");
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(probe(name), "existed=1 taken=0");
    ASSERT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(probe(name), "existed=1 taken=1");
    CloseHandle(mutex);
    EXPECT_EQ(probe(name), "existed=0 taken=1");

    const std::u16string overlong(300, u'\u0109');
    EXPECT_EQ(CreateMutexW(nullptr, FALSE, overlong.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
}
