// Runs quibo-pack as other tools and checks call it, with files in the run's private folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

// Runs `quibo-pack ARGS`, capturing its exit status and both output streams.
ToolRun Pack(const std::string& args);

// The path of a file in the run's folder.
std::string P(const std::string& name);

std::string Slurp(const std::filesystem::path& path);
std::vector<uint8_t> SlurpBytes(const std::filesystem::path& path);
void Spill(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
