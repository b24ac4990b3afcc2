// Every test program starts here: it gives the run a private data folder and headless SDL
// drivers, so no test touches the user's real store, display or speakers.
#include "test_env.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

std::filesystem::path g_root;

void makePrivateFolders()
{
    char pattern[] = "/tmp/quibo-test-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (!dir)
        std::abort();
    g_root = dir;
    std::filesystem::create_directories(g_root / "data");
    std::filesystem::create_directories(g_root / "runtime");
    std::filesystem::permissions(g_root / "runtime", std::filesystem::perms::owner_all);
    setenv("XDG_DATA_HOME", (g_root / "data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (g_root / "runtime").c_str(), 1);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
}

} // namespace

const std::filesystem::path& TestRoot()
{
    return g_root;
}

int main(int argc, char** argv)
{
    makePrivateFolders();
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    if (!std::getenv("QUIBO_KEEP_TEST_FILES"))
        std::filesystem::remove_all(g_root);
    return result;
}
