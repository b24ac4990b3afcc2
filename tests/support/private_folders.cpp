#include "private_folders.h"

#include <cstdlib>
#include <stdexcept>

std::filesystem::path MakePrivateFolders(std::string pattern)
{
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a private folder from " + pattern);
    const std::filesystem::path root = pattern;
    std::filesystem::create_directories(root / "data");
    std::filesystem::create_directories(root / "runtime");
    std::filesystem::permissions(root / "runtime", std::filesystem::perms::owner_all);
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
    return root;
}
