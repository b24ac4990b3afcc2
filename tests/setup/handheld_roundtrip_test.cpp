// The setup library against a running quibo-handheld, through the real "rapi.dll": install
// as the installer does, read the journal back from the device, run the uninstaller there,
// and check that the device's folder and registry hold nothing of the product.
#include "device_support.h"
#include "install_support.h"
#include "sl_main.h"
#include "unzipper.h"

#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace fs = std::filesystem;

TEST(HandheldRoundTrip, InstallReadBackAndUninstallOnTheDevice)
{
    const Bytes payload = QuiboPayload("shx");
    ZIPFILE archive(payload.data(), DWORD(payload.size()), false);
    RunningDevice device({"--processor", "4"});
    ASSERT_TRUE(device.started());
    const fs::path root = device.root();
    // The device-side unpacker, where the installer's helper set puts it.
    fs::create_directories(root / "Program Files/Zelnor Software");
    fs::copy_file(BuildFolder() + "/libzzrapi.so", root / "Program Files/Zelnor Software/zzrapi.dll");
    const std::set<std::string> before = FilesBelow(root);
    SetRegText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Lang-Quibo", u"EO");
    SetRegText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Opt-Quibo", u"EN,EO");

    {
        SETUPLIB first; // "rapi.dll" is loaded for each connection and unloaded after it
        ASSERT_NE(first.handheld(), nullptr);
    }
    SETUPLIB library;
    SETUPTOOLKIT* handheld = library.handheld();
    ASSERT_NE(handheld, nullptr);
    RAPI* rapi = library.findhandheld(0);
    ASSERT_EQ((std::tuple{std::string(handheld->getcpudir().View()), handheld->devicehelperversion()}), (std::tuple{"shx", 1}));
    ASSERT_NO_FATAL_FAILURE(InstallQuibo(*handheld, &archive));

    // What is on the device now; the program and the pack travelled packed.
    EXPECT_EQ((std::tuple{FileBytes(root / "Program Files/Quibo/quibo.exe") == Pattern(70000, 1),
                          FileBytes(root / "Program Files/Quibo/quibo-p-lo.res") == Pattern(9000, 6),
                          fs::exists(root / "Windows/Start Menu/Programs/Games/Quibo.lnk"),
                          RegText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Lang-Quibo", rapi),
                          RegText(HKEY_LOCAL_MACHINE, u"Software\\Apps\\Quibo", u"IsvFile", rapi)}),
              (std::tuple{true, true, true, u"EO", u"\\Program Files\\Zelnor Software\\uninstaller.dll"}));

    // The journal reads back from the device as it was kept.
    SETUPTOOLKIT again(nullptr, TARGET_HANDHELD, rapi);
    EXPECT_TRUE(again.openjournal("Quibo") && again.journal().size() >= 10);
    EXPECT_EQ(again.journal(), handheld->journal());

    // The uninstaller runs on the device, against the device's folder and registry.
    BYTE* request = static_cast<BYTE*>(LocalAlloc(LPTR, sizeof u"Quibo"));
    std::memcpy(request, u"Quibo", sizeof u"Quibo");
    DWORD cbReply = 0;
    BYTE* reply = nullptr;
    EXPECT_EQ(RapiCeRapiInvoke(rapi, u"\\Program Files\\Zelnor Software\\uninstaller.dll", u"Uninstall", sizeof u"Quibo", request, &cbReply,
                               &reply, nullptr, 0),
              S_OK);
    LocalFree(reply);

    std::set<std::string> after = FilesBelow(root);
    after.erase("Program Files/Zelnor Software/uninstaller.dll"); // shared by every product
    EXPECT_EQ(after, before);
    // NLS held only our values; the desktop's own choice is the desktop's.
    EXPECT_EQ((std::vector{RegText(HKEY_LOCAL_MACHINE, u"Software\\Apps\\Quibo", u"", rapi),
                           RegText(HKEY_LOCAL_MACHINE, u"Software\\Zelnor\\Quibo Extras", u"", rapi),
                           RegText(HKEY_CURRENT_USER, u"Software\\Zelnor\\Quibo", u"", rapi),
                           RegText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"", rapi),
                           RegText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Zelnor\\NLS", u"Lang-Quibo")}),
              (std::vector<std::u16string>{u"<no key>", u"<no key>", u"<no key>", u"<no key>", u"EO"}));
}

TEST(HandheldRoundTrip, NoHandheldRunningGivesTheDesktopOnly)
{
    SETUPLIB library;
    EXPECT_EQ((std::tuple{library.handheld(), library.desktop() != nullptr}), (std::tuple{static_cast<SETUPTOOLKIT*>(nullptr), true}));
}
