#include "pack_run.h"

#include "test_env.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

ToolRun Pack(const std::string& args)
{
    const std::string command = "cd " + TestRoot().string() + " && " + QUIBO_PACK + " " + args + " >stdout 2>stderr";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp("stdout"), Slurp("stderr")};
}

std::string Slurp(const std::string& name)
{
    std::ifstream in(TestRoot() / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Spill(const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::ofstream(TestRoot() / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

bool Exists(const std::string& name)
{
    return std::filesystem::exists(TestRoot() / name);
}
