#include "utf.h"

#include "windows.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::string> hostArguments()
{
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> arguments;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos)
            end = all.size();
        arguments.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

// Quotes one argument so that the Windows command-line rules read it back unchanged.
std::string quoted(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    std::string text = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        text.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        text += c;
    }
    text.append(backslashes * 2, '\\');
    return text + "\"";
}

std::u16string commandLine()
{
    std::string line;
    for (const std::string& argument : hostArguments()) {
        if (!line.empty())
            line += ' ';
        line += quoted(argument);
    }
    return Utf8ToUtf16(line);
}

} // namespace

LPWSTR GetCommandLineW()
{
    static std::u16string line = commandLine();
    return line.data();
}
