#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "test_env.h"
#include "windows.h"

namespace fs = std::filesystem;

namespace {

// A browser that writes down what it was asked to open, then lingers as browsers do.
class RecordingBrowser {
public:
    RecordingBrowser()
    {
        const fs::path script = TestRoot() / "browser.sh";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << (TestRoot() / "opened.tmp").string()
                              << "'\nmv '" << (TestRoot() / "opened.tmp").string() << "' '" << log_.string()
                              << "'\nexec sleep 3\n";
        fs::permissions(script, fs::perms::owner_all);
        fs::remove(log_);
        setenv("BROWSER", script.c_str(), 1);
    }
    ~RecordingBrowser() { unsetenv("BROWSER"); }

    // What it was asked to open, once it has written it down (or "" after a generous wait).
    std::string opened() const
    {
        for (int i = 0; i < 500 && !fs::exists(log_); ++i)
            Sleep(10);
        std::ifstream in(log_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    fs::path log_ = TestRoot() / "opened.txt";
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
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(ShellExecuteExW(&info));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)); // the browser lingers 3 s
    EXPECT_GT(reinterpret_cast<intptr_t>(info.hInstApp), 32);
    EXPECT_EQ(browser.opened(), "http://scores.example.org/cgi-bin/score.cgi?post&game&1&lang&eo&x=$(touch pwned)`id`");
    EXPECT_FALSE(fs::exists("pwned"));
}

TEST(ShellExecute, OpensFilesByTheirHostPath)
{
    RecordingBrowser browser;
    SHELLEXECUTEINFOW info = openRequest(u"C:\\Quibo\\readme.html");
    info.lpVerb = nullptr; // the default verb is open
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
    Sleep(50);
    EXPECT_FALSE(fs::exists(TestRoot() / "opened.txt")); // nothing was started

    setenv("BROWSER", "/nonexistent/browser --new-window", 1);
    info = openRequest(u"http://example.org/");
    EXPECT_FALSE(ShellExecuteExW(&info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_ASSOCIATION));
}
