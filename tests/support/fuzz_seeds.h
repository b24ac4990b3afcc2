// Seed programs of the fuzzers: each defines WriteSeeds, and the shared main calls it with a
// fresh folder (the one CTest names), so every fuzzing run starts from the same corpus.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class SeedFolder {
public:
    explicit SeedFolder(std::filesystem::path dir) : m_dir(std::move(dir)) { }
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    void Write(const std::string& name, std::string_view text) const;

private:
    std::filesystem::path m_dir;
};

void WriteSeeds(const SeedFolder& seeds);

// A file of the source tree (a shipped layout, a resource script) as text; throws when it
// cannot be read, so a moved file fails the seed program instead of shrinking the corpus.
std::string SourceFile(const std::string& relativePath);
