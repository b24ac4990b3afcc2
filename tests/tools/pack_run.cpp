#include "pack_run.h"

#include "test_env.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

namespace fs = std::filesystem;

ToolRun Pack(const std::string& args)
{
    const fs::path out = TestRoot() / "stdout", err = TestRoot() / "stderr";
    std::string command = std::string(QUIBO_PACK) + " " + args + " >" + out.string() + " 2>" + err.string();
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
}

std::string P(const std::string& name)
{
    return (TestRoot() / name).string();
}

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> SlurpBytes(const fs::path& path)
{
    std::string s = Slurp(path);
    return std::vector<uint8_t>(s.begin(), s.end());
}

void Spill(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
