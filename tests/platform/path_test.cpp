#include "utf.h"

#include "hostfolders.h"
#include "hostpath.h"
#include "windows.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace fs = std::filesystem;

TEST(PathMapping, DriveCIsTheDataFoldersDriveCAndOtherPathsPassThrough)
{
    const std::string c = HostDataFolder() + "/drive_c";
    fs::create_directories(c + "/Program Files/Zelnor Software");
    const std::pair<const char16_t*, std::string> cases[] = {
        {u"C:\\Program Files\\Quibo\\quibo.exe", c + "/Program Files/Quibo/quibo.exe"},
        {u"c:/Program Files/Quibo", c + "/Program Files/Quibo"},
        {u"C:", c},
        {u"C:\\", c},
        {u"C:\\a\\\\b\\.\\c\\..\\d\\", c + "/a/b/d/"},
        {u"C:\\..\\..\\etc\\passwd", c + "/etc/passwd"}, // never above the drive
        {u"\\..\\tmp", "/tmp"},
        {u"/usr/share\\fonts", "/usr/share/fonts"},
        {u"quibo-l-hi.res", "quibo-l-hi.res"},
        {u"..\\packs\\x.res", "../packs/x.res"},
        // Existing names are found without regard to case.
        {u"C:\\PROGRAM FILES\\zelnor software\\New File.txt", c + "/Program Files/Zelnor Software/New File.txt"},
    };
    for (const auto& [windowsPath, hostPath] : cases)
        EXPECT_EQ(HostPath(windowsPath), hostPath);
    fs::create_directories(c + "/program files");
    EXPECT_EQ(HostPath(u"C:\\program files"), c + "/program files"); // an exact match wins

    SetLastError(0);
    EXPECT_EQ(HostPath(u"D:\\data"), "");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(HostPath(u"") + HostPath(nullptr), "");
}

TEST(PathMapping, OnAHandheldRootedPathsStayInsideTheDeviceFolder)
{
    const std::string device = (fs::temp_directory_path() / "quibo-path-device").string();
    fs::create_directories(device + "/Windows");
    setenv("QUIBO_DEVICE_ROOT", device.c_str(), 1);
    const std::pair<const char16_t*, std::string> cases[] = {
        {u"\\Program Files\\Quibo\\quibo.exe", device + "/Program Files/Quibo/quibo.exe"},
        {u"C:\\Program Files", device + "/Program Files"},
        {u"\\", device + "/"},
        {u"\\..\\..\\etc\\passwd", device + "/etc/passwd"},
        {u"\\windows\\x", device + "/Windows/x"},
        {u"relative\\x", "relative/x"},
        {u"D:\\x", ""},
    };
    for (const auto& [windowsPath, hostPath] : cases)
        EXPECT_EQ(HostPath(windowsPath), hostPath);
    // And back: what lies inside the device folder is named by its device path.
    const std::pair<std::string, const char16_t*> files[] = {
        {device + "/Program Files/Quibo/quibo.exe", u"\\Program Files\\Quibo\\quibo.exe"},
        {device, u"\\"},
        {device + "-other/x", nullptr},
        {"/usr/bin/x", nullptr},
    };
    for (const auto& [hostPath, windowsPath] : files)
        EXPECT_EQ(WindowsPath(hostPath), windowsPath ? windowsPath : Utf8ToUtf16(hostPath)) << hostPath;
    unsetenv("QUIBO_DEVICE_ROOT");
    fs::remove_all(device);
}

TEST(FilePatterns, StarAndQuestionMarkIgnoringCase)
{
    const std::tuple<const char16_t*, const char16_t*, bool> cases[] = {
        {u"quibo-l-hi.RES", u"*.res", true},
        {u"quibo.res.bak", u"*.res", false},
        {u"a.txt", u"?.txt", true},
        {u"ab.txt", u"?.txt", false},
        {u".txt", u"?.txt", false},
        {u"README", u"*.*", true},
        {u"..", u"*", true},
        {u"aXbYc", u"a*b*c", true},
        {u"aXbY", u"a*b*c", false},
        {u"", u"*", true},
        {u"x", u"", false},
        {u"\u0109evalo.txt", u"?evalo.*", true},
        {u"abcbcd", u"a*bcd", true},
        // Many stars over a long name that does not match: one backtrack point keeps this quick.
        {u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", u"*a*a*a*a*a*a*a*a*a*a*b", false},
    };
    for (const auto& [name, pattern, matches] : cases)
        EXPECT_EQ(MatchesFilePattern(name, pattern), matches) << static_cast<int>(name[0]);
}
