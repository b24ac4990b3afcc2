#include "last_error.h"
#include "test_env.h"

#include "windows.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string path(const char* name)
{
    return (TestRoot() / name).string();
}

SHELLEXECUTEINFOW openRequest(const char16_t* target, const char16_t* verb = u"open")
{
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.lpVerb = verb;
    info.lpFile = target;
    info.nShow = SW_SHOWNORMAL;
    return info;
}

// Opens the target with a browser that writes down what it was asked to open and then lingers
// until the test lets it go: a ShellExecute that waited for it would never return.
std::string openedBy(SHELLEXECUTEINFOW info)
{
    for (const char* name : {"release", "opened.txt"})
        fs::remove(path(name));
    mkfifo(path("release").c_str(), 0600);
    std::ofstream(path("browser.sh")) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << path("opened.txt") << "'\ncat '" << path("release")
                                      << "' >/dev/null\n";
    fs::permissions(path("browser.sh"), fs::perms::owner_all);
    setenv("BROWSER", path("browser.sh").c_str(), 1);
    if (!ShellExecuteExW(&info) || reinterpret_cast<intptr_t>(info.hInstApp) <= 32)
        return "failed";
    for (int i = 0; i < 500 && !fs::exists(path("opened.txt")); ++i)
        Sleep(10);
    if (fs::exists(path("opened.txt")))
        close(open(path("release").c_str(), O_WRONLY)); // lets the browser go once it waits, so the target is written down
    std::stringstream text;
    text << std::ifstream(path("opened.txt")).rdbuf();
    return text.str();
}

} // namespace

TEST(ShellExecute, OpensAddressesAndFilesInTheBrowserWithoutWaitingForItAndRefusesOtherVerbsAndMalformedRequests)
{
    // The default verb is open.
    const char16_t* address = u"http://scores.example.org/cgi-bin/score.cgi?post&game&1&lang&eo&x=$(touch pwned)`id`";
    EXPECT_EQ(openedBy(openRequest(address, u"")), "http://scores.example.org/cgi-bin/score.cgi?post&game&1&lang&eo&x=$(touch pwned)`id`");
    EXPECT_EQ(openedBy(openRequest(u"C:\\Quibo\\readme.html", u"OPEN")), (TestRoot() / "data/quibo/drive_c/Quibo/readme.html").string());
    EXPECT_FALSE(fs::exists("pwned"));
    SHELLEXECUTEINFOW print = openRequest(u"http://example.org/", u"print"), small = openRequest(u"http://example.org/"),
                      nothing = openRequest(nullptr), open = openRequest(u"http://example.org/");
    small.cbSize = sizeof small - 4;
    setenv("BROWSER", "true", 1); // a browser that would take anything
    const auto noBrowser = [&] {
        setenv("BROWSER", "/nonexistent/browser --new-window", 1);
        return ErrorOf(ShellExecuteExW(&open));
    };
    EXPECT_EQ(std::vector<DWORD>({ErrorOf(ShellExecuteExW(&print)), reinterpret_cast<intptr_t>(print.hInstApp) <= 32,
                                  ErrorOf(ShellExecuteExW(&small)), DWORD(ShellExecuteExW(&nothing)), DWORD(ShellExecuteExW(nullptr)),
                                  noBrowser()}),
              std::vector<DWORD>({ERROR_NO_ASSOCIATION, 1, ERROR_INVALID_PARAMETER, FALSE, FALSE, ERROR_NO_ASSOCIATION}));
    unsetenv("BROWSER");
}
