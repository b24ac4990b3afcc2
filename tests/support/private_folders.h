// A run's own folders, so no test or fuzzer touches the user's real store.
#pragma once

#include <filesystem>
#include <string>

// Makes a fresh folder from the mkdtemp pattern, with "data" and "runtime" below it, and points
// XDG_DATA_HOME and XDG_RUNTIME_DIR at them. Throws when the folder cannot be made.
std::filesystem::path MakePrivateFolders(std::string pattern);
