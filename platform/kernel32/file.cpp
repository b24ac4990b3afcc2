#include "fileattributes.h"
#include "handles.h"
#include "hosterror.h"
#include "tl_string.h"

#include "hostpath.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct FileObject : KernelObject {
    int fd = -1;
    bool canRead = false;
    bool canWrite = false;
    ~FileObject() override { close(fd); }
};

bool endsWithExe(const std::string& path)
{
    return path.size() >= 4 && EqualsIgnoringAsciiCase(std::string_view(path).substr(path.size() - 4), ".exe");
}

int openFlags(DWORD disposition)
{
    switch (disposition) {
    case CREATE_NEW: return O_CREAT | O_EXCL;
    case CREATE_ALWAYS: return O_CREAT | O_TRUNC;
    case OPEN_EXISTING: return 0;
    case OPEN_ALWAYS: return O_CREAT;
    case TRUNCATE_EXISTING: return O_TRUNC;
    default: return -1;
    }
}

std::shared_ptr<FileObject> fileFor(HANDLE handle, bool forWriting)
{
    std::shared_ptr<FileObject> file = FindHandleOf<FileObject>(handle);
    if (file && (forWriting ? !file->canWrite : !file->canRead)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return file;
}

BOOL failWith(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

} // namespace

HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD, LPSECURITY_ATTRIBUTES, DWORD creationDisposition, DWORD flagsAndAttributes,
                   HANDLE)
{
    // The share mode is not enforced: the host has no mandatory file sharing.
    const int disposition = openFlags(creationDisposition);
    const bool canRead = desiredAccess & (GENERIC_READ | GENERIC_ALL);
    const bool canWrite = desiredAccess & (GENERIC_WRITE | GENERIC_ALL);
    if (disposition < 0 || (creationDisposition == TRUNCATE_EXISTING && !canWrite)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const std::string path = HostPath(fileName);
    if (path.empty())
        return INVALID_HANDLE_VALUE;

    struct stat info;
    const bool existed = stat(path.c_str(), &info) == 0;
    if (existed && (S_ISDIR(info.st_mode) || (IsReadOnly(info) && (canWrite || (disposition & O_TRUNC))))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (existed && creationDisposition == CREATE_NEW) {
        SetLastError(ERROR_FILE_EXISTS);
        return INVALID_HANDLE_VALUE;
    }

    const int access = canWrite ? (canRead ? O_RDWR : O_WRONLY) : O_RDONLY;
    mode_t mode = endsWithExe(path) ? 0777 : 0666; // less the user's umask
    if (flagsAndAttributes & FILE_ATTRIBUTE_READONLY)
        mode &= ~mode_t(0222);
    auto file = std::make_shared<FileObject>();
    file->fd = open(path.c_str(), access | disposition | O_CLOEXEC, mode);
    if (file->fd < 0) {
        if (errno == EEXIST)
            SetLastError(ERROR_FILE_EXISTS);
        else
            FailOnPath(path);
        return INVALID_HANDLE_VALUE;
    }
    file->canRead = canRead;
    file->canWrite = canWrite;
    const bool reportsExisting = creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS;
    SetLastError(existed && reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return AddHandle(file);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped)
{
    if (bytesRead)
        *bytesRead = 0;
    std::shared_ptr<FileObject> object = fileFor(file, false);
    if (!object)
        return FALSE;
    if (overlapped || (!buffer && bytesToRead > 0))
        return failWith(ERROR_INVALID_PARAMETER);
    DWORD total = 0;
    while (total < bytesToRead) {
        const ssize_t got = read(object->fd, static_cast<char*>(buffer) + total, bytesToRead - total);
        if (got == 0)
            break; // end of file: a short count, still a success
        if (got < 0) {
            if (errno == EINTR)
                continue;
            if (bytesRead)
                *bytesRead = total;
            return failWith(errno == EISDIR ? ERROR_ACCESS_DENIED : ERROR_READ_FAULT);
        }
        total += static_cast<DWORD>(got);
    }
    if (bytesRead)
        *bytesRead = total;
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped)
{
    if (bytesWritten)
        *bytesWritten = 0;
    std::shared_ptr<FileObject> object = fileFor(file, true);
    if (!object)
        return FALSE;
    if (overlapped || (!buffer && bytesToWrite > 0))
        return failWith(ERROR_INVALID_PARAMETER);
    DWORD total = 0;
    while (total < bytesToWrite) {
        const ssize_t put = write(object->fd, static_cast<const char*>(buffer) + total, bytesToWrite - total);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            if (bytesWritten)
                *bytesWritten = total;
            return failWith(errno == ENOSPC || errno == EDQUOT ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
        }
        total += static_cast<DWORD>(put);
    }
    if (bytesWritten)
        *bytesWritten = total;
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod)
{
    std::shared_ptr<FileObject> object = FindHandleOf<FileObject>(file);
    if (!object)
        return INVALID_SET_FILE_POINTER;
    const int64_t move
        = distanceHigh
              ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) | static_cast<uint32_t>(distance))
              : static_cast<int64_t>(distance);
    int64_t base = 0;
    if (moveMethod == FILE_CURRENT) {
        base = lseek(object->fd, 0, SEEK_CUR);
    } else if (moveMethod == FILE_END) {
        struct stat info;
        base = fstat(object->fd, &info) == 0 ? info.st_size : -1;
    } else if (moveMethod != FILE_BEGIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    int64_t position;
    if (base < 0 || __builtin_add_overflow(base, move, &position)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (position < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK); // the position stays where it was
        return INVALID_SET_FILE_POINTER;
    }
    if (!distanceHigh && position > 0xFFFFFFFE) {
        SetLastError(ERROR_INVALID_PARAMETER); // not expressible without the high half
        return INVALID_SET_FILE_POINTER;
    }
    if (lseek(object->fd, position, SEEK_SET) < 0) {
        FailFromErrno();
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh)
        *distanceHigh = static_cast<LONG>(position >> 32);
    const DWORD low = static_cast<DWORD>(position);
    if (low == INVALID_SET_FILE_POINTER)
        SetLastError(NO_ERROR); // tells this success from a failure
    return low;
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh)
{
    std::shared_ptr<FileObject> object = FindHandleOf<FileObject>(file);
    struct stat info;
    if (!object)
        return INVALID_FILE_SIZE;
    if (fstat(object->fd, &info) != 0) {
        FailFromErrno();
        return INVALID_FILE_SIZE;
    }
    const uint64_t size = static_cast<uint64_t>(info.st_size);
    if (fileSizeHigh)
        *fileSizeHigh = static_cast<DWORD>(size >> 32);
    const DWORD low = static_cast<DWORD>(size);
    if (low == INVALID_FILE_SIZE)
        SetLastError(NO_ERROR);
    return low;
}

BOOL DeleteFileW(LPCWSTR fileName)
{
    const std::string path = HostPath(fileName);
    struct stat info;
    if (path.empty())
        return FALSE;
    if (lstat(path.c_str(), &info) != 0)
        return FailOnPath(path);
    if (S_ISDIR(info.st_mode) || (!S_ISLNK(info.st_mode) && IsReadOnly(info))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (unlink(path.c_str()) != 0)
        return FailOnPath(path);
    return TRUE;
}
