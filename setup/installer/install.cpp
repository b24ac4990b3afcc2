#include "install.h"

namespace {

bool Failed(INSTALLFAILURE& failure, UINT message, const std::string& path)
{
    failure = {message, path};
    return false;
}

bool InstallSteps(SETUPTOOLKIT* t, ZIPFILE* payload, INSTALLFAILURE& failure)
{
    if (!t->openjournal("Quibo"))
        return Failed(failure, kCannotSaveUninstall, "");
    static const char* const kDesktopPacks[] = {"quibo-s-lo.res", "quibo-s-hi.res", "quibo-l-lo.res", "quibo-l-hi.res"};
    static const char* const kHandheldPacks[] = {"quibo-p-lo.res"};
    const bool desktop = t->kind() == TARGET_DESKTOP;
    const int n = desktop ? 4 : 1;
    const char* const* packs = desktop ? kDesktopPacks : kHandheldPacks;
    int p = 95 - 5 * n;
    t->journalvalue(HKEY_CURRENT_USER, "Software\\Zelnor\\Quibo", "Settings");
    t->journalvalue(HKEY_CURRENT_USER, "Software\\Zelnor\\Quibo", "HighScores");
    t->copylanguage("Quibo");
    t->savejournal();
    const std::string folder = std::string(t->getfolder(1).View()) + "\\Quibo";
    const std::string program = folder + "\\quibo.exe";
    const std::string cpu(t->getcpudir().View());
    if (!t->installfile(program.c_str(), payload, (cpu + "\\quibo.exe").c_str(), 5, p))
        return Failed(failure, kCannotInstallFile, program);
    for (int i = 0; i < n; ++i, p += 5) {
        const std::string target = folder + "\\" + packs[i];
        if (!t->installfile(target.c_str(), payload, (std::string("common\\") + packs[i]).c_str(), p, p + 5))
            return Failed(failure, kCannotInstallFile, target);
    }
    const std::string link = std::string(t->getfolder(3).View()) + "\\Games\\Quibo.lnk";
    if (!t->linkfile(link.c_str(), program.c_str()))
        return Failed(failure, kCannotInstallFile, program);
    if (!t->finalize(payload, (cpu + "\\uninstaller.dll").c_str(), 95, 100))
        return Failed(failure, kCannotSaveUninstall, "");
    return true;
}

} // namespace

bool InstallTarget(SETUPTOOLKIT* target, ZIPFILE* payload, INSTALLFAILURE& failure)
{
    const bool ok = InstallSteps(target, payload, failure);
    if (!ok)
        target->closejournal();
    return ok;
}
