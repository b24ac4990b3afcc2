#include "hosterror.h"

#include "hostpath.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

BOOL CreateDirectoryW(LPCWSTR pathName, LPSECURITY_ATTRIBUTES)
{
    const std::string path = HostPath(pathName);
    if (path.empty())
        return FALSE;
    if (mkdir(path.c_str(), 0777) != 0) {
        if (errno == ENOENT) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return FALSE;
        }
        return FailOnPath(path);
    }
    return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR pathName)
{
    const std::string path = HostPath(pathName);
    if (path.empty())
        return FALSE;
    if (rmdir(path.c_str()) != 0) {
        if (errno == ENOTDIR) {
            SetLastError(ERROR_DIRECTORY);
            return FALSE;
        }
        return FailOnPath(path);
    }
    return TRUE;
}
