// Runs an export of a library the way a registered uninstall command names it:
//   rundll32 "C:\Program Files\Zelnor Software\uninstaller.dll",Uninstall Quibo
// The export is called with the device-library shape: the text after its name is the
// request, as wide text, and a reply text is printed when the call fails.
#include "utf.h"

#include <rapi.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Command {
    std::string library;
    std::string function;
    std::string arguments;
};

// `"LIBRARY",EXPORT ARGUMENTS` or `LIBRARY,EXPORT ARGUMENTS`, as one text.
bool parse(const std::string& text, Command* command)
{
    size_t i = 0;
    if (!text.empty() && text[0] == '"') {
        const size_t close = text.find('"', 1);
        if (close == std::string::npos)
            return false;
        command->library = text.substr(1, close - 1);
        i = close + 1;
    } else {
        i = text.find(',');
        if (i == std::string::npos)
            return false;
        command->library = text.substr(0, i);
    }
    if (i >= text.size() || text[i] != ',')
        return false;
    const size_t space = text.find(' ', i + 1);
    command->function = text.substr(i + 1, space == std::string::npos ? std::string::npos : space - i - 1);
    command->arguments = space == std::string::npos ? "" : text.substr(space + 1);
    while (!command->arguments.empty() && command->arguments.front() == ' ')
        command->arguments.erase(0, 1);
    return !command->library.empty() && !command->function.empty();
}

} // namespace

// Sanitizer builds: the leak checker's tracking of the thread storage of loaded libraries
// misreads this program's state once the uninstaller has run and crashes at exit. Leaks are
// still checked; only that tracking is left out. Other builds never call this.
extern "C" const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}

int main(int argc, char** argv)
{
    std::string text;
    for (int i = 1; i < argc; ++i)
        text += (i > 1 ? " " : "") + std::string(argv[i]);
    Command command;
    if (!parse(text, &command)) {
        std::fprintf(stderr, "usage: rundll32 \"LIBRARY\",EXPORT [ARGUMENTS]\n");
        return 2;
    }
    HMODULE library = LoadLibraryW(Utf8ToUtf16(command.library).c_str());
    if (!library) {
        std::fprintf(stderr, "rundll32: cannot load %s (error %lu)\n", command.library.c_str(), static_cast<unsigned long>(GetLastError()));
        return 1;
    }
    auto function = reinterpret_cast<PFNRAPIEXTENSION>(GetProcAddress(library, command.function.c_str()));
    if (!function) {
        std::fprintf(stderr, "rundll32: %s has no export %s\n", command.library.c_str(), command.function.c_str());
        FreeLibrary(library);
        return 1;
    }
    const std::u16string request = Utf8ToUtf16(command.arguments);
    const DWORD cb = DWORD((request.size() + 1) * sizeof(char16_t));
    BYTE* block = static_cast<BYTE*>(LocalAlloc(LPTR, cb));
    if (block)
        std::memcpy(block, request.c_str(), cb);
    DWORD cbReply = 0;
    BYTE* pbReply = nullptr;
    const HRESULT hr = function(block ? cb : 0, block, &cbReply, &pbReply, nullptr);
    if (pbReply) {
        const std::u16string_view reply(reinterpret_cast<const char16_t*>(pbReply), cbReply / sizeof(char16_t));
        const std::string narrow = Utf16ToUtf8(reply.substr(0, reply.find(u'\0')));
        if (hr != S_OK && !narrow.empty())
            std::fprintf(stderr, "rundll32: %s failed: %s\n", command.function.c_str(), narrow.c_str());
        LocalFree(pbReply);
    }
    // The library stays loaded until the process ends: unloading one that carries thread
    // storage just before exit gains nothing.
    return hr == S_OK ? 0 : 1;
}
