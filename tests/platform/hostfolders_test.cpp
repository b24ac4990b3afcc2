#include "hostfolders.h"

#include "test_env.h"

#include "windows.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

TEST(HostFolders, FollowTheRunsPrivateFoldersAndLastErrorIsKeptPerThread)
{
    EXPECT_EQ(HostDataFolder(), (TestRoot() / "data" / "quibo").string());
    EXPECT_TRUE(std::filesystem::is_directory(HostDataFolder()));
    EXPECT_EQ(HostRuntimeFolder(), (TestRoot() / "runtime").string());
    SetLastError(ERROR_MORE_DATA);
    DWORD seenByOther = 1;
    std::thread([&] { seenByOther = GetLastError(); }).join();
    EXPECT_EQ(seenByOther, 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MORE_DATA));
}
