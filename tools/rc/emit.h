// What the resource compiler writes: a C++ source that registers the resources with the
// platform layer when the program starts, and a depfile naming every input it read.
#pragma once

#include "resource.h"

#include <string>
#include <vector>

std::string GenerateSource(const std::vector<Resource>& resources, const std::string& scriptPath);
std::string GenerateDepfile(const std::string& output, const std::vector<std::string>& inputs);
