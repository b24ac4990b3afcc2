// Runs quibo-pack as other tools and checks call it, with files in the run's private folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

// Runs `quibo-pack ARGS` in the run's folder, capturing its exit status and both output streams.
ToolRun Pack(const std::string& args);

// Whole files of the run's folder.
std::string Slurp(const std::string& name);
void Spill(const std::string& name, const std::vector<uint8_t>& bytes);
bool Exists(const std::string& name);
