#include "modules.h"
#include "trace.h"
#include "utf.h"

#include "hostpath.h"

#include <dlfcn.h>
#include <link.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <vector>

namespace {

struct Library {
    std::u16string requestedName; // the file name asked for, folded to lower case
    unsigned references = 0;
};

struct LibraryTable {
    std::mutex lock;
    std::map<void*, Library> libraries; // by host handle
};

LibraryTable& table()
{
    static LibraryTable* instance = new LibraryTable; // threads may free libraries during exit
    return *instance;
}

std::u16string lowerAscii(std::u16string_view text)
{
    std::u16string lower(text);
    for (char16_t& c : lower)
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
    return lower;
}

// "name.dll" is the host's "libname.so"; a name without extension means "name.dll".
std::string hostFileName(std::u16string_view fileName)
{
    const std::u16string lower = lowerAscii(fileName);
    if (lower.size() > 4 && lower.ends_with(u".dll"))
        return "lib" + Utf16ToUtf8(fileName.substr(0, fileName.size() - 4)) + ".so";
    if (lower.find(u'.') == std::u16string::npos)
        return "lib" + Utf16ToUtf8(fileName) + ".so";
    return Utf16ToUtf8(fileName);
}

bool isFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

std::optional<std::string> LoadedLibraryPath(HMODULE module)
{
    LibraryTable& t = table();
    std::lock_guard guard(t.lock);
    if (!t.libraries.count(module))
        return std::nullopt;
    link_map* map = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name)
        return std::string();
    return std::string(map->l_name);
}

HMODULE LoadedLibraryNamed(std::u16string_view fileName)
{
    const std::u16string wanted = lowerAscii(fileName.substr(fileName.find_last_of(u"\\/") + 1));
    LibraryTable& t = table();
    std::lock_guard guard(t.lock);
    for (const auto& [handle, library] : t.libraries)
        if (library.requestedName == wanted)
            return static_cast<HMODULE>(handle);
    return nullptr;
}

HMODULE LoadLibraryW(LPCWSTR fileName)
{
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::u16string_view path(fileName);
    const size_t split = path.find_last_of(u"\\/");
    const std::u16string_view name = split == std::u16string_view::npos ? path : path.substr(split + 1);
    const std::string hostName = hostFileName(name);

    // The file is looked up like any Windows path, so its name may differ in case too.
    const std::u16string folder
        = split == std::u16string_view::npos ? WindowsPath(ProgramFolder() + "/") : std::u16string(path.substr(0, split + 1));
    const std::string besideOrInFolder = HostPath((folder + Utf8ToUtf16(hostName)).c_str());
    if (besideOrInFolder.empty())
        return nullptr;
    std::vector<std::string> candidates;
    if (split != std::u16string_view::npos) {
        // A library installed under its Windows name ("...\uninstaller.dll") loads as named.
        const std::string asNamed = HostPath(fileName);
        if (!asNamed.empty() && asNamed != besideOrInFolder && isFile(asNamed))
            candidates.push_back(asNamed);
    }
    candidates.push_back(besideOrInFolder);
    if (split == std::u16string_view::npos)
        candidates.push_back(hostName); // after the program's folder, the host's library path

    bool presentButUnloadable = false;
    for (const std::string& candidate : candidates) {
        void* handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle) {
            LibraryTable& t = table();
            std::lock_guard guard(t.lock);
            Library& library = t.libraries[handle];
            library.requestedName = lowerAscii(name);
            ++library.references;
            SetLastError(ERROR_SUCCESS);
            return static_cast<HMODULE>(handle);
        }
        const char* reason = dlerror();
        if (candidate.find('/') != std::string::npos && isFile(candidate)) {
            presentButUnloadable = true;
            Trace("LoadLibraryW: %s", reason ? reason : candidate.c_str());
        }
    }
    SetLastError(presentButUnloadable ? ERROR_BAD_EXE_FORMAT : ERROR_MOD_NOT_FOUND);
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName)
{
    LibraryTable& t = table();
    std::lock_guard guard(t.lock); // keeps the library loaded while it is searched
    if (module != ProgramModule() && !t.libraries.count(module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // Exports are found by name only; a small number in place of the name is an ordinal.
    void* symbol = reinterpret_cast<uintptr_t>(procName) < 0x10000 ? nullptr : dlsym(module, procName);
    if (!symbol) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module)
{
    LibraryTable& t = table();
    std::lock_guard guard(t.lock);
    auto it = t.libraries.find(module);
    if (it == t.libraries.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (--it->second.references == 0)
        t.libraries.erase(it);
    dlclose(module);
    return TRUE;
}
