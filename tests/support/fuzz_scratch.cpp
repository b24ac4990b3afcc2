#include "fuzz_scratch.h"

#include "private_folders.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace {

std::filesystem::path g_root;

void removeRoot()
{
    std::error_code ignored;
    std::filesystem::remove_all(g_root, ignored);
}

} // namespace

const std::filesystem::path& FuzzScratch()
{
    if (!g_root.empty())
        return g_root;
    g_root = MakePrivateFolders(std::filesystem::is_directory("/dev/shm") ? "/dev/shm/quibo-fuzz-XXXXXX" : "/tmp/quibo-fuzz-XXXXXX");
    std::atexit(removeRoot);
    return g_root;
}

std::filesystem::path WriteScratchFile(const std::string& name, const uint8_t* data, size_t size)
{
    const std::filesystem::path path = FuzzScratch() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
    return path;
}

std::vector<uint8_t> ReadScratchFile(const std::filesystem::path& path)
{
    // In one read: a byte at a time was a fifth of some targets' time.
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return {};
    std::vector<uint8_t> bytes(size_t(in.tellg()));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size())))
        return {};
    return bytes;
}
