// Writes test screenshots as PNG files, so a drawing test leaves a picture a person can look at.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// pixels: width * height colours 0x00RRGGBB, rows top-down.
bool WritePng(const std::filesystem::path& file, int width, int height, const std::vector<uint32_t>& pixels);

// The folder screenshots go to; it survives the run (build/<config>/test-output).
std::filesystem::path TestOutputDir();
