#include "last_error.h"
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

std::string path(const char* name)
{
    return (TestRoot() / name).string();
}

// A browser that writes down what it was asked to open, then lingers until the test lets it go
// (or twenty seconds pass) and notes that it ended.
class RecordingBrowser {
public:
    RecordingBrowser()
    {
        std::ofstream(path("browser.sh")) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << path("opened.tmp") << "'\nmv '" << path("opened.tmp")
                                          << "' '" << path("opened.txt") << "'\nfor i in $(seq 400); do [ -e '" << path("release")
                                          << "' ] && break; sleep 0.05; done\ntouch '" << path("ended") << "'\n";
        fs::permissions(path("browser.sh"), fs::perms::owner_all);
        for (const char* name : {"opened.txt", "release", "ended"})
            fs::remove(path(name));
        setenv("BROWSER", path("browser.sh").c_str(), 1);
    }
    ~RecordingBrowser()
    {
        std::ofstream(path("release")).put('x');
        while (fs::exists(path("opened.txt")) && !ended()) // it must not write into a removed folder
            Sleep(10);
        unsetenv("BROWSER");
    }
    static bool ended() { return fs::exists(path("ended")); }
    // What it was asked to open, once it has written it down.
    std::string opened() const
    {
        while (!fs::exists(path("opened.txt")) && !ended())
            Sleep(10);
        std::stringstream text;
        text << std::ifstream(path("opened.txt")).rdbuf();
        return text.str();
    }
};

SHELLEXECUTEINFOW openRequest(const char16_t* target, const char16_t* verb = u"open")
{
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.lpVerb = verb;
    info.lpFile = target;
    info.nShow = SW_SHOWNORMAL;
    return info;
}

} // namespace

TEST(ShellExecute, OpensAddressesAndFilesInTheBrowserWithoutWaitingForIt)
{
    const char16_t* address = u"http://scores.example.org/cgi-bin/score.cgi?post&game&1&lang&eo&x=$(touch pwned)`id`";
    const struct {
        const char16_t* target;
        const char16_t* verb;
        std::string opened;
    } cases[] = {
        {address, u"", "http://scores.example.org/cgi-bin/score.cgi?post&game&1&lang&eo&x=$(touch pwned)`id`"}, // the default verb is open
        {u"C:\\Quibo\\readme.html", u"OPEN", (TestRoot() / "data/quibo/drive_c/Quibo/readme.html").string()},
    };
    for (const auto& c : cases) {
        RecordingBrowser browser;
        SHELLEXECUTEINFOW info = openRequest(c.target, c.verb);
        ASSERT_TRUE(ShellExecuteExW(&info));
        EXPECT_FALSE(browser.ended()); // it lingers until released
        EXPECT_GT(reinterpret_cast<intptr_t>(info.hInstApp), 32);
        EXPECT_EQ(browser.opened(), c.opened);
    }
    EXPECT_FALSE(fs::exists("pwned"));
}

TEST(ShellExecute, RefusesOtherVerbsAndMalformedRequests)
{
    RecordingBrowser browser;
    SHELLEXECUTEINFOW print = openRequest(u"http://example.org/", u"print"), small = openRequest(u"http://example.org/"),
                      nothing = openRequest(nullptr), open = openRequest(u"http://example.org/");
    small.cbSize = sizeof small - 4;
    const auto noBrowser = [&] {
        setenv("BROWSER", "/nonexistent/browser --new-window", 1);
        return ErrorOf(ShellExecuteExW(&open));
    };
    EXPECT_EQ(std::vector<DWORD>({ErrorOf(ShellExecuteExW(&print)), reinterpret_cast<intptr_t>(print.hInstApp) <= 32,
                                  ErrorOf(ShellExecuteExW(&small)), DWORD(ShellExecuteExW(&nothing)), DWORD(ShellExecuteExW(nullptr)),
                                  noBrowser()}),
              std::vector<DWORD>({ERROR_NO_ASSOCIATION, 1, ERROR_INVALID_PARAMETER, FALSE, FALSE, ERROR_NO_ASSOCIATION}));
}
