#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "hostfolders.h"
#include "hostpath.h"
#include "windows.h"

namespace fs = std::filesystem;

TEST(PathMapping, DriveCIsTheDataFoldersDriveC)
{
    const std::string driveC = HostDataFolder() + "/drive_c";
    EXPECT_EQ(HostPath(u"C:\\Program Files\\Quibo\\quibo.exe"), driveC + "/Program Files/Quibo/quibo.exe");
    EXPECT_EQ(HostPath(u"c:/Program Files/Quibo"), driveC + "/Program Files/Quibo");
    EXPECT_EQ(HostPath(u"C:"), driveC);
    EXPECT_EQ(HostPath(u"C:\\"), driveC);
    EXPECT_EQ(HostPath(u"C:\\a\\\\b\\.\\c\\..\\d\\"), driveC + "/a/b/d/");
    EXPECT_TRUE(fs::is_directory(driveC));
}

TEST(PathMapping, DotDotNeverLeavesTheDrive)
{
    const std::string driveC = HostDataFolder() + "/drive_c";
    EXPECT_EQ(HostPath(u"C:\\..\\..\\etc\\passwd"), driveC + "/etc/passwd");
    EXPECT_EQ(HostPath(u"\\..\\tmp"), "/tmp");
}

TEST(PathMapping, OtherAbsolutePathsPassThroughAndRelativeOnesStay)
{
    EXPECT_EQ(HostPath(u"/usr/share\\fonts"), "/usr/share/fonts");
    EXPECT_EQ(HostPath(u"\\usr\\share"), "/usr/share");
    EXPECT_EQ(HostPath(u"quibo-l-hi.res"), "quibo-l-hi.res");
    EXPECT_EQ(HostPath(u"..\\packs\\x.res"), "../packs/x.res");
}

TEST(PathMapping, UnmappablePathsFail)
{
    SetLastError(0);
    EXPECT_EQ(HostPath(u"D:\\data"), "");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(HostPath(u""), "");
    EXPECT_EQ(HostPath(nullptr), "");
}

TEST(PathMapping, ExistingNamesAreFoundWithoutRegardToCase)
{
    const std::string driveC = HostDataFolder() + "/drive_c";
    fs::create_directories(driveC + "/Program Files/Zelnor Software");
    EXPECT_EQ(HostPath(u"C:\\PROGRAM FILES\\zelnor software\\New File.txt"),
              driveC + "/Program Files/Zelnor Software/New File.txt");
    fs::create_directories(driveC + "/program files");
    EXPECT_EQ(HostPath(u"C:\\program files"), driveC + "/program files"); // an exact match wins
}

TEST(FilePatterns, StarAndQuestionMarkIgnoringCase)
{
    EXPECT_TRUE(MatchesFilePattern(u"quibo-l-hi.RES", u"*.res"));
    EXPECT_FALSE(MatchesFilePattern(u"quibo.res.bak", u"*.res"));
    EXPECT_TRUE(MatchesFilePattern(u"a.txt", u"?.txt"));
    EXPECT_FALSE(MatchesFilePattern(u"ab.txt", u"?.txt"));
    EXPECT_FALSE(MatchesFilePattern(u".txt", u"?.txt"));
    EXPECT_TRUE(MatchesFilePattern(u"README", u"*.*"));
    EXPECT_TRUE(MatchesFilePattern(u"..", u"*"));
    EXPECT_TRUE(MatchesFilePattern(u"aXbYc", u"a*b*c"));
    EXPECT_FALSE(MatchesFilePattern(u"aXbY", u"a*b*c"));
    EXPECT_TRUE(MatchesFilePattern(u"", u"*"));
    EXPECT_FALSE(MatchesFilePattern(u"x", u""));
    EXPECT_TRUE(MatchesFilePattern(u"\u0109evalo.txt", u"?evalo.*"));
}

TEST(FilePatterns, ManyStarsStayFast)
{
    const std::u16string name(250, u'a');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(MatchesFilePattern(name, u"*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(PathMapping, OnAHandheldRootedPathsStayInsideTheDeviceFolder)
{
    const std::string device = (fs::temp_directory_path() / "quibo-path-device").string();
    fs::create_directories(device + "/Windows");
    setenv("QUIBO_DEVICE_ROOT", device.c_str(), 1);
    const struct {
        const char16_t* windowsPath;
        std::string hostPath;
    } cases[] = {
        {u"\\Program Files\\Quibo\\quibo.exe", device + "/Program Files/Quibo/quibo.exe"},
        {u"C:\\Program Files", device + "/Program Files"},
        {u"\\", device + "/"},
        {u"\\..\\..\\etc\\passwd", device + "/etc/passwd"},
        {u"\\windows\\x", device + "/Windows/x"},
        {u"relative\\x", "relative/x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HostPath(c.windowsPath), c.hostPath);
    EXPECT_EQ(HostPath(u"D:\\x"), "");
    unsetenv("QUIBO_DEVICE_ROOT");
    fs::remove_all(device);
}
