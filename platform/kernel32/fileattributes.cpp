#include "fileattributes.h"

#include "hosterror.h"

#include "hostpath.h"

#include <string>

namespace {

std::string_view lastComponent(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    const size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

DWORD AttributesOf(const struct stat& info, std::string_view name)
{
    DWORD attributes = 0;
    if (S_ISDIR(info.st_mode))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (IsReadOnly(info))
        attributes |= FILE_ATTRIBUTE_READONLY;
    if (name.size() > 1 && name[0] == '.' && name != "..")
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

bool IsReadOnly(const struct stat& info)
{
    return !(info.st_mode & S_IWUSR);
}

DWORD GetFileAttributesW(LPCWSTR fileName)
{
    const std::string path = HostPath(fileName);
    struct stat info;
    if (path.empty())
        return INVALID_FILE_ATTRIBUTES;
    if (stat(path.c_str(), &info) != 0) {
        FailOnPath(path);
        return INVALID_FILE_ATTRIBUTES;
    }
    return AttributesOf(info, lastComponent(path));
}

BOOL SetFileAttributesW(LPCWSTR fileName, DWORD attributes)
{
    const std::string path = HostPath(fileName);
    struct stat info;
    if (path.empty())
        return FALSE;
    if (stat(path.c_str(), &info) != 0)
        return FailOnPath(path);
    // Only read-only maps onto the host; the other attributes are accepted and forgotten.
    mode_t mode = info.st_mode & 07777;
    mode = (attributes & FILE_ATTRIBUTE_READONLY) ? mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH) : mode | S_IWUSR;
    if (chmod(path.c_str(), mode) != 0)
        return FailOnPath(path);
    return TRUE;
}
