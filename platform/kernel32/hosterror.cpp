#include "hosterror.h"

#include <cerrno>
#include <sys/stat.h>

DWORD Win32ErrorFromErrno(int error)
{
    switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ELOOP: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY: return ERROR_ACCESS_DENIED;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    default: return ERROR_INVALID_FUNCTION;
    }
}

BOOL FailFromErrno()
{
    SetLastError(Win32ErrorFromErrno(errno));
    return FALSE;
}

BOOL FailOnPath(const std::string& hostPath)
{
    const int error = errno;
    DWORD code = Win32ErrorFromErrno(error);
    if (error == ENOENT) {
        const size_t slash = hostPath.find_last_of('/');
        const std::string parent = slash == std::string::npos ? "." : hostPath.substr(0, slash ? slash : 1);
        struct stat info;
        if (stat(parent.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            code = ERROR_PATH_NOT_FOUND;
    }
    SetLastError(code);
    return FALSE;
}
