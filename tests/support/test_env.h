// What the shared test main sets up for every test program.
#pragma once

#include <filesystem>

// The run's private folder; XDG_DATA_HOME and XDG_RUNTIME_DIR point below it.
const std::filesystem::path& TestRoot();
