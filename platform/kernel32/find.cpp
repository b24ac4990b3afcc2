#include "fileattributes.h"
#include "handles.h"
#include "hosterror.h"
#include "utf.h"

#include "hostpath.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <mutex>
#include <sys/stat.h>
#include <vector>

namespace {

// The search takes its snapshot of the folder at FindFirstFileW and hands it out in name order.
struct FindObject : KernelObject {
    std::mutex lock;
    std::vector<WIN32_FIND_DATAW> entries;
    size_t next = 0;
    bool closedByCloseHandle() const override { return false; }
};

FILETIME fileTimeOf(const timespec& time)
{
    constexpr int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    const uint64_t ticks
        = static_cast<uint64_t>(time.tv_sec + kSecondsFrom1601To1970) * 10'000'000 + static_cast<uint64_t>(time.tv_nsec) / 100;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

bool describe(const std::string& folder, const char* hostName, const std::u16string& name, WIN32_FIND_DATAW& data)
{
    if (name.size() >= MAX_PATH)
        return false; // a name Win32 could not hand back
    const std::string path = folder + "/" + hostName;
    struct stat info;
    if (stat(path.c_str(), &info) != 0 && lstat(path.c_str(), &info) != 0)
        return false; // vanished since the folder was read
    data = {};
    data.dwFileAttributes = AttributesOf(info, hostName);
    data.ftCreationTime = fileTimeOf(info.st_ctim);
    data.ftLastAccessTime = fileTimeOf(info.st_atim);
    data.ftLastWriteTime = fileTimeOf(info.st_mtim);
    if (!S_ISDIR(info.st_mode)) {
        data.nFileSizeHigh = static_cast<DWORD>(static_cast<uint64_t>(info.st_size) >> 32);
        data.nFileSizeLow = static_cast<DWORD>(info.st_size);
    }
    name.copy(data.cFileName, name.size());
    return true;
}

bool lessIgnoringCase(const WIN32_FIND_DATAW& a, const WIN32_FIND_DATAW& b)
{
    const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; };
    const std::u16string_view x(a.cFileName), y(b.cFileName);
    return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), [&](char16_t l, char16_t r) { return fold(l) < fold(r); });
}

BOOL failWith(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

} // namespace

HANDLE FindFirstFileW(LPCWSTR fileName, LPWIN32_FIND_DATAW findData)
{
    if (!fileName || !findData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const std::u16string_view path(fileName);
    size_t split = path.find_last_of(u"\\/");
    if (split == std::u16string_view::npos && path.size() >= 2 && path[1] == u':')
        split = 1; // "C:*.res": a pattern right after the drive
    const std::u16string folderPart(split == std::u16string_view::npos ? u"." : path.substr(0, split + 1));
    const std::u16string_view pattern = split == std::u16string_view::npos ? path : path.substr(split + 1);
    if (pattern.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const std::string folder = HostPath(folderPart.c_str());
    if (folder.empty())
        return INVALID_HANDLE_VALUE;

    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : Win32ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    auto search = std::make_shared<FindObject>();
    while (dirent* entry = readdir(dir)) {
        const std::u16string name = Utf8ToUtf16(entry->d_name);
        WIN32_FIND_DATAW data;
        if (MatchesFilePattern(name, pattern) && describe(folder, entry->d_name, name, data))
            search->entries.push_back(data);
    }
    closedir(dir);
    if (search->entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::sort(search->entries.begin(), search->entries.end(), lessIgnoringCase);
    *findData = search->entries[0];
    search->next = 1;
    return AddHandle(search);
}

BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW findData)
{
    std::shared_ptr<FindObject> search = FindHandleOf<FindObject>(find);
    if (!search)
        return FALSE;
    if (!findData)
        return failWith(ERROR_INVALID_PARAMETER);
    std::lock_guard guard(search->lock);
    if (search->next >= search->entries.size())
        return failWith(ERROR_NO_MORE_FILES);
    *findData = search->entries[search->next++];
    return TRUE;
}

BOOL FindClose(HANDLE find)
{
    return RemoveHandle(find, false);
}
