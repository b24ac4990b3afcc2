#include "install_support.h"
#include "installer/install.h"
#include "launcher.h"
#include "unzipper.h"
#include "utf.h"

#include "hostfolders.h"
#include "hostpath.h"

#include <fstream>
#include <gtest/gtest.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The files the journal on the drive lists for removal, in its order.
std::vector<std::string> journalledFiles()
{
    std::ifstream in(HostDataFolder() + "/drive_c/Program Files/Zelnor Software/Uninstall Log for Quibo.txt");
    const std::string start = "deletefile { \"";
    std::vector<std::string> files;
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(start) && line.ends_with("\" }"))
            files.push_back(line.substr(start.size(), line.size() - start.size() - 3));
    return files;
}

} // namespace

// A payload without one of its entries stops the installation there with the message naming
// the path; what was installed before stays, and the journal lists exactly that.
TEST(InstallTarget, APayloadWithoutOneEntryStopsThereAndKeepsWhatWasInstalled)
{
    const std::string folder = "C:\\Program Files\\Quibo\\";
    // The program and the packs, in the order they are installed.
    const char* const files[] = {"quibo.exe", "quibo-s-lo.res", "quibo-s-hi.res", "quibo-l-lo.res", "quibo-l-hi.res"};
    const struct {
        const char* missing;
        UINT message;
        std::string path;
        size_t installed; // of files
    } cases[] = {
        {"native/quibo.exe", kCannotInstallFile, folder + "quibo.exe", 0},
        {"common/quibo-l-lo.res", kCannotInstallFile, folder + "quibo-l-lo.res", 3},
        {"native/uninstaller.dll", kCannotSaveUninstall, "", std::size(files)},
    };
    for (const auto& c : cases) {
        fs::remove_all(HostDataFolder() + "/drive_c");
        const Bytes payload = QuiboPayload("native", c.missing);
        ZIPFILE archive(payload.data(), DWORD(payload.size()), false);
        SETUPTOOLKIT desktop(nullptr, TARGET_DESKTOP, nullptr);
        INSTALLFAILURE failure;
        std::vector<std::string> installed;
        for (size_t i = 0; i < c.installed; ++i)
            installed.push_back(folder + files[i]);
        if (c.installed == std::size(files))
            installed.insert(installed.end(), {"C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Games\\Quibo.lnk",
                                               LauncherFolder() + "/zelnor-quibo.desktop"});
        EXPECT_EQ((std::tuple{InstallTarget(&desktop, &archive, failure), failure.message, failure.path, journalledFiles()}),
                  (std::tuple{false, c.message, c.path, installed}))
            << c.missing;
        for (const std::string& file : installed)
            EXPECT_TRUE(fs::is_regular_file(HostPath(Utf8ToUtf16(file).c_str()))) << file;
    }
}
