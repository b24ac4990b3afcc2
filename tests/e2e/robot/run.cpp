#include "run.h"

#include <cstdio>
#include <stdexcept>
#include <sys/wait.h>

int Run(const std::vector<std::string>& argv, std::vector<uint8_t>* output)
{
    std::string command; // every argument quoted for the shell, as it is
    for (const std::string& arg : argv) {
        command += " '";
        for (char c : arg)
            command += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += "'";
    }
    FILE* pipe = argv.empty() ? nullptr : popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("robot: cannot run" + command);
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + got);
    const int status = pclose(pipe);
    if (output)
        *output = std::move(bytes);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

std::vector<uint8_t> Capture(const std::vector<std::string>& argv)
{
    std::vector<uint8_t> output;
    if (Run(argv, &output) != 0)
        throw std::runtime_error("robot: " + argv[0] + " failed");
    return output;
}
