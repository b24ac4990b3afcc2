// A private folder for fuzz targets that need files or a data store of their own.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Made on first call, in memory (/dev/shm) where there is one so that a million inputs do
// not wear the disk, else under /tmp. XDG_DATA_HOME and XDG_RUNTIME_DIR point below it, so
// call this before anything opens the registry; the folder is removed when the fuzzer exits.
const std::filesystem::path& FuzzScratch();

// Replaces a file under FuzzScratch() with these bytes and returns its path.
std::filesystem::path WriteScratchFile(const std::string& name, const uint8_t* data, size_t size);

// The whole contents of a file; empty when it cannot be read.
std::vector<uint8_t> ReadScratchFile(const std::filesystem::path& path);
