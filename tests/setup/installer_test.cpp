#include "install_support.h"
#include "installer/install.h"
#include "unzipper.h"
#include "utf.h"

#include "hostfolders.h"
#include "hostpath.h"

#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// The names of the files the journal on the drive lists for removal, in its order, each marked
// "!" when it is not there.
std::string journalledFiles()
{
    std::ifstream in(HostDataFolder() + "/drive_c/Program Files/Zelnor Software/Uninstall Log for Quibo.txt");
    const std::string start = "deletefile { \"";
    std::string files;
    for (std::string line; std::getline(in, line);) {
        const std::string path = line.starts_with(start) ? line.substr(start.size(), line.size() - start.size() - 3) : "";
        if (!path.empty())
            files
                += " " + path.substr(path.find_last_of("\\/") + 1) + (fs::is_regular_file(HostPath(Utf8ToUtf16(path).c_str())) ? "" : "!");
    }
    return files;
}

} // namespace

// A payload without one of its entries stops the installation there with the message naming
// the path; what was installed before stays, and the journal lists exactly that.
TEST(InstallTarget, APayloadWithoutOneEntryStopsThereAndKeepsWhatWasInstalled)
{
    const std::string folder = "C:\\Program Files\\Quibo\\";
    const struct {
        const char* missing;
        UINT message;
        std::string path;
        const char* journalled;
    } cases[] = {
        {"native/quibo.exe", kCannotInstallFile, folder + "quibo.exe", ""},
        {"common/quibo-l-lo.res", kCannotInstallFile, folder + "quibo-l-lo.res", " quibo.exe quibo-s-lo.res quibo-s-hi.res"},
        {"native/uninstaller.dll", kCannotSaveUninstall, "",
         " quibo.exe quibo-s-lo.res quibo-s-hi.res quibo-l-lo.res quibo-l-hi.res Quibo.lnk zelnor-quibo.desktop"},
    };
    for (const auto& c : cases) {
        fs::remove_all(HostDataFolder() + "/drive_c");
        const Bytes payload = QuiboPayload("native", c.missing);
        ZIPFILE archive(payload.data(), DWORD(payload.size()), false);
        SETUPTOOLKIT desktop(nullptr, TARGET_DESKTOP, nullptr);
        INSTALLFAILURE failure;
        EXPECT_EQ((std::tuple{InstallTarget(&desktop, &archive, failure), failure.message, failure.path, journalledFiles()}),
                  (std::tuple{false, c.message, c.path, std::string(c.journalled)}))
            << c.missing;
    }
}
