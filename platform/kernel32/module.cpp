#include "modules.h"
#include "utf.h"

#include "hostpath.h"

#include <dlfcn.h>
#include <unistd.h>

HMODULE ProgramModule()
{
    // The host's own handle of the program, so GetProcAddress can search it like a library.
    static const HMODULE program = static_cast<HMODULE>(dlopen(nullptr, RTLD_LAZY));
    return program;
}

std::string ProgramPath()
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    path.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return path;
}

std::string ProgramFolder()
{
    const std::string path = ProgramPath();
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash ? slash : 1);
}

HMODULE GetModuleHandleW(LPCWSTR moduleName)
{
    if (!moduleName)
        return ProgramModule();
    HMODULE module = LoadedLibraryNamed(moduleName);
    if (!module)
        SetLastError(ERROR_MOD_NOT_FOUND);
    return module;
}

HMODULE GetModuleHandleA(LPCSTR moduleName)
{
    return moduleName ? GetModuleHandleW(Utf8ToUtf16(moduleName).c_str()) : ProgramModule();
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size)
{
    std::optional<std::string> path;
    if (!module || module == ProgramModule())
        path = ProgramPath();
    else
        path = LoadedLibraryPath(module);
    if (!path) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (size == 0 || !fileName) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // On a handheld the program knows itself by its device path, which its own file calls map.
    const std::u16string wide = WindowsPath(*path);
    if (wide.size() < size) {
        wide.copy(fileName, wide.size());
        fileName[wide.size()] = 0;
        SetLastError(ERROR_SUCCESS);
        return static_cast<DWORD>(wide.size());
    }
    // Truncated, terminated, and said so, as Win32 does.
    wide.copy(fileName, size - 1);
    fileName[size - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}
