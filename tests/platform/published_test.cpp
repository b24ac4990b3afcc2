// Windows of another process: a second process finds this one's published window, reads its
// extra word and posts a command to the window it names.
#include "child_process.h"
#include "test_env.h"
#include "window_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A socket file left behind by a process that has ended.
std::filesystem::path MakeStaleSocket()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    std::filesystem::path folder = TestRoot() / "runtime" / "quibo-windows";
    std::filesystem::create_directories(folder);
    std::filesystem::path path = folder / (std::to_string(child) + ".sock");
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.string().copy(address.sun_path, sizeof address.sun_path - 1);
    bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    close(fd);
    return path;
}

TEST(PublishedTest, ASecondProcessPostsACommandToTheFirstProcessWindow)
{
    RegisterRecordingClass();
    const std::filesystem::path stale = MakeStaleSocket();
    ASSERT_TRUE(std::filesystem::exists(stale));

    WNDCLASSW wc{};
    wc.style = CS_PUBLISHED;
    wc.lpfnWndProc = RecordingProc;
    wc.cbWndExtra = 4;
    wc.lpszClassName = u"Quibo IPC";
    ASSERT_TRUE(RegisterClassW(&wc));
    HWND ipc = CreateWindowExW(0, u"Quibo IPC", nullptr, WS_POPUP, -10, -10, 5, 5, nullptr, nullptr, nullptr, nullptr);
    HWND main = CreateWindowExW(0, u"RecordingWindow", nullptr, WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(ipc && main);
    SetWindowLongW(ipc, 0, static_cast<LONG>(reinterpret_cast<uintptr_t>(main)));
    ClearLog();

    ChildProcess helper("published_helper", {});
    EXPECT_EQ(helper.readLine(), "found=1 refused=1 posted=1 raised=1 far=1");
    EXPECT_EQ(helper.wait(), 0);
    EXPECT_FALSE(std::filesystem::exists(stale));

    PumpReady();
    const auto commands = LogOf(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(std::make_tuple(commands[0].hwnd, commands[0].wParam, LogOf(WM_USER).size()), std::make_tuple(main, WPARAM(1000), size_t(0)));
    EXPECT_EQ(GetActiveWindow(), ipc); // raised when asked

    DestroyWindow(ipc);
    DestroyWindow(main);
    // With the window gone, another process no longer finds it.
    ChildProcess again("published_helper", {});
    EXPECT_EQ(again.readLine(), "none");
    EXPECT_EQ(again.wait(), 1);
}

} // namespace
