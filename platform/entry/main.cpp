#include "utf.h"

#include "windows.h"

#include <string>

namespace {

// The command line without the program's name, as Win32 hands it to WinMain.
std::string argumentsOf(std::u16string_view line)
{
    size_t i = 0;
    if (i < line.size() && line[i] == u'"') {
        const size_t close = line.find(u'"', 1);
        i = close == std::u16string_view::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && line[i] != u' ' && line[i] != u'\t')
            ++i;
    }
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t'))
        ++i;
    return Utf16ToUtf8(line.substr(i));
}

} // namespace

int main()
{
    std::string arguments = argumentsOf(GetCommandLineW());
    return WinMain(GetModuleHandleW(nullptr), nullptr, arguments.data(), SW_SHOW);
}
