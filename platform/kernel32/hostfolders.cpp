#include "hostfolders.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace {

std::string fromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value == '/' ? std::string(value) : std::string();
}

std::string ensureFolder(const std::string& path, std::filesystem::perms perms)
{
    std::error_code ignored;
    if (std::filesystem::create_directories(path, ignored))
        std::filesystem::permissions(path, perms, ignored);
    return path;
}

} // namespace

std::string HostDataFolder()
{
    std::string base = fromEnvironment("XDG_DATA_HOME");
    if (base.empty()) {
        std::string home = fromEnvironment("HOME");
        base = (home.empty() ? std::string("/tmp") : home) + "/.local/share";
    }
    return ensureFolder(base + "/quibo", std::filesystem::perms::owner_all | std::filesystem::perms::group_read
                                             | std::filesystem::perms::group_exec | std::filesystem::perms::others_read
                                             | std::filesystem::perms::others_exec);
}

std::string HostRuntimeFolder()
{
    std::string dir = fromEnvironment("XDG_RUNTIME_DIR");
    if (dir.empty())
        dir = "/tmp/quibo-runtime-" + std::to_string(getuid());
    return ensureFolder(dir, std::filesystem::perms::owner_all);
}

std::string HostDeviceRoot()
{
    return fromEnvironment("QUIBO_DEVICE_ROOT");
}
