#include "fuzz_seeds.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

void SeedFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    std::ofstream out(m_dir / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write seed " + name);
}

void SeedFolder::Write(const std::string& name, std::string_view text) const
{
    Write(name, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string SourceFile(const std::string& relativePath)
{
    std::ifstream in(std::filesystem::path(QUIBO_SOURCE_DIR) / relativePath, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + relativePath);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// Usage: seeds_NAME DIR. DIR is emptied; the seeds go to DIR/seeds, the fuzzer's finds to DIR/corpus.
int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 1;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "seeds");
    std::filesystem::create_directories(dir / "corpus");
    WriteSeeds(SeedFolder(dir / "seeds"));
    return 0;
}
