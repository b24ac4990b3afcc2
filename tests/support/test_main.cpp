// Every test program starts here: it gives the run a private data folder and headless SDL
// drivers, so no test touches the user's real store, display or speakers.
#include "private_folders.h"
#include "test_env.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

std::filesystem::path g_root;

} // namespace

const std::filesystem::path& TestRoot()
{
    return g_root;
}

int main(int argc, char** argv)
{
    g_root = MakePrivateFolders("/tmp/quibo-test-XXXXXX");
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    if (!std::getenv("QUIBO_KEEP_TEST_FILES"))
        std::filesystem::remove_all(g_root);
    return result;
}
