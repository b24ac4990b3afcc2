#include "tl_string.h"
#include "utf.h"

#include "hostfolders.h"
#include "hostpath.h"
#include "windows.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>

namespace {

bool exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// The entry of `folder` whose name equals `name` without regard to case, else `name`.
std::string caseFoldedEntry(const std::string& folder, const std::string& name)
{
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return name;
    std::string found = name;
    while (dirent* entry = readdir(dir)) {
        if (EqualsIgnoringAsciiCase(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

// Appends each component of `rest` to `base`, matching missing ones without regard to case.
// In absolute paths "." and ".." are resolved by name, as Windows does, never above `base`.
std::string appendComponents(std::string base, std::string_view rest)
{
    const size_t rootLength = base.size();
    size_t start = 0;
    while (start < rest.size()) {
        size_t end = rest.find('/', start);
        if (end == std::string_view::npos)
            end = rest.size();
        std::string name(rest.substr(start, end - start));
        start = end + 1;
        if (name.empty() || name == ".")
            continue;
        if (name == ".." && rootLength > 0) {
            const size_t slash = base.find_last_of('/');
            const size_t cut = slash == std::string::npos || slash < rootLength ? rootLength : slash;
            base.resize(std::max(cut, rootLength));
            continue;
        }
        const std::string folder = base.empty() ? "." : base;
        if (!base.empty() && base.back() != '/')
            base += '/';
        if (name != ".." && !exists(base + name))
            name = caseFoldedEntry(folder, name);
        base += name;
    }
    if (!rest.empty() && rest.back() == '/' && !base.empty() && base.back() != '/')
        base += '/'; // a trailing separator matters to FindFirstFileW
    return base;
}

char16_t foldAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

bool matchFrom(std::u16string_view name, std::u16string_view pattern)
{
    // Iterative glob with one backtrack point: linear enough for file names, no recursion.
    size_t n = 0, p = 0, starP = std::u16string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || foldAscii(pattern[p]) == foldAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

} // namespace

std::string HostPath(LPCWSTR windowsPath)
{
    if (!windowsPath || !*windowsPath) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return {};
    }
    std::string path = Utf16ToUtf8(windowsPath);
    for (char& c : path)
        if (c == '\\')
            c = '/';

    const bool hasDrive = path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
    const std::string deviceRoot = HostDeviceRoot();
    if (!deviceRoot.empty() && (path[0] == '/' || (hasDrive && std::tolower(static_cast<unsigned char>(path[0])) == 'c')))
        return appendComponents(deviceRoot, path.substr(hasDrive ? 2 : 0));
    if (!hasDrive) {
        if (path[0] == '/')
            return appendComponents("/", path.substr(1));
        return appendComponents("", path);
    }
    if (std::tolower(static_cast<unsigned char>(path[0])) != 'c') {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return {};
    }
    const std::string driveC = HostDataFolder() + "/drive_c";
    mkdir(driveC.c_str(), 0755); // the drive is always there, like a real C:
    const size_t start = path.size() > 2 && path[2] == '/' ? 3 : 2;
    return appendComponents(driveC, path.substr(start));
}

std::u16string WindowsPath(const std::string& hostPath)
{
    const std::string deviceRoot = HostDeviceRoot();
    std::error_code error;
    const std::string canonicalRoot = deviceRoot.empty() ? deviceRoot : std::filesystem::weakly_canonical(deviceRoot, error).string();
    for (std::string root : {deviceRoot, canonicalRoot}) {
        if (root.empty())
            continue;
        if (root.back() == '/')
            root.pop_back();
        if (!hostPath.starts_with(root) || (hostPath.size() > root.size() && hostPath[root.size()] != '/'))
            continue;
        std::string inside = hostPath.substr(root.size());
        std::replace(inside.begin(), inside.end(), '/', '\\');
        return Utf8ToUtf16(inside.empty() ? "\\" : inside);
    }
    return Utf8ToUtf16(hostPath);
}

bool MatchesFilePattern(std::u16string_view name, std::u16string_view pattern)
{
    if (pattern == u"*.*")
        return true;
    return matchFrom(name, pattern);
}
