// Whole-file reads and writes for the pack tool's commands.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A failure the tool reports as it is and exits 1 for.
struct CommandError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

Bytes ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const uint8_t* pb, size_t cb);
