#include "test_env.h"

#include "windows.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// A browser that writes down what it was asked to open, then lingers until the test lets it go
// (or twenty seconds pass) and notes that it ended.
class RecordingBrowser {
public:
    RecordingBrowser()
    {
        const fs::path script = TestRoot() / "browser.sh";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << path("opened.tmp") << "'\nmv '" << path("opened.tmp") << "' '"
                              << path("opened.txt") << "'\nfor i in $(seq 400); do "
                              << "[ -e '" << path("release") << "' ] && break; sleep 0.05; done\ntouch '" << path("ended") << "'\n";
        fs::permissions(script, fs::perms::owner_all);
        for (const char* name : {"opened.txt", "release", "ended"})
            fs::remove(path(name));
        setenv("BROWSER", script.c_str(), 1);
    }
    ~RecordingBrowser()
    {
        std::ofstream(path("release")).put('x');
        while (fs::exists(path("opened.txt")) && !ended()) // it must not write into a removed folder
            Sleep(10);
        unsetenv("BROWSER");
    }

    static std::string path(const char* name) { return (TestRoot() / name).string(); }
    static bool ended() { return fs::exists(path("ended")); }

    // What it was asked to open, once it has written it down (or "" once it has ended).
    std::string opened() const
    {
        while (!fs::exists(path("opened.txt")) && !ended())
            Sleep(10);
        std::ifstream in(path("opened.txt"));
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

SHELLEXECUTEINFOW openRequest(const char16_t* target)
{
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.lpVerb = u"open";
    info.lpFile = target;
    info.nShow = SW_SHOWNORMAL;
    return info;
}

} // namespace

TEST(ShellExecute, ParameterBlockHasTheWin32Layout)
{
    EXPECT_EQ(sizeof(SHELLEXECUTEINFOW), sizeof(void*) == 8 ? 112u : 60u);
    EXPECT_EQ(offsetof(SHELLEXECUTEINFOW, nShow), sizeof(void*) == 8 ? 48u : 28u);
    EXPECT_EQ(offsetof(SHELLEXECUTEINFOW, hProcess), sizeof(void*) == 8 ? 104u : 56u);
}

TEST(ShellExecute, OpensAnAddressInTheBrowserWithoutWaitingForIt)
{
    RecordingBrowser browser;
    const char16_t* address = u"http://scores.example.org/cgi-bin/score.cgi?post&game&1&lang&eo&x=$(touch pwned)`id`";
    SHELLEXECUTEINFOW info = openRequest(address);
    info.lpVerb = u""; // the default verb is open
    ASSERT_TRUE(ShellExecuteExW(&info));
    EXPECT_FALSE(browser.ended()); // it lingers until released
    EXPECT_GT(reinterpret_cast<intptr_t>(info.hInstApp), 32);
    EXPECT_EQ(browser.opened(), "http://scores.example.org/cgi-bin/score.cgi?post&game&1&lang&eo&x=$(touch pwned)`id`");
    EXPECT_FALSE(fs::exists("pwned"));
}

TEST(ShellExecute, OpensFilesByTheirHostPath)
{
    RecordingBrowser browser;
    SHELLEXECUTEINFOW info = openRequest(u"C:\\Quibo\\readme.html");
    info.lpVerb = u"OPEN";
    ASSERT_TRUE(ShellExecuteExW(&info));
    EXPECT_EQ(browser.opened(), (TestRoot() / "data/quibo/drive_c/Quibo/readme.html").string());
}

TEST(ShellExecute, RefusesOtherVerbsAndMalformedRequests)
{
    RecordingBrowser browser;
    SHELLEXECUTEINFOW info = openRequest(u"http://example.org/");
    info.lpVerb = u"print";
    EXPECT_FALSE(ShellExecuteExW(&info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_ASSOCIATION));
    EXPECT_LE(reinterpret_cast<intptr_t>(info.hInstApp), 32);
    info = openRequest(u"http://example.org/");
    info.cbSize = 60;
    if (sizeof(void*) == 8) {
        EXPECT_FALSE(ShellExecuteExW(&info));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    info = openRequest(nullptr);
    EXPECT_FALSE(ShellExecuteExW(&info));
    EXPECT_FALSE(ShellExecuteExW(nullptr));

    setenv("BROWSER", "/nonexistent/browser --new-window", 1);
    info = openRequest(u"http://example.org/");
    EXPECT_FALSE(ShellExecuteExW(&info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_ASSOCIATION));
}
