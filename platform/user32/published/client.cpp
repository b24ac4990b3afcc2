// Asking other processes about their published windows.
#include "../published.h"
#include "../window.h"
#include "protocol.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace published {

namespace {

constexpr int kTimeoutSeconds = 2;

bool FillAddress(sockaddr_un& address, const std::string& path)
{
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    path.copy(address.sun_path, path.size());
    return true;
}

void SetTimeouts(int fd)
{
    timeval timeout{kTimeoutSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

bool Exchange(int fd, const Request& request, Reply& reply)
{
    if (send(fd, &request, sizeof request, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof request))
        return false;
    if (recv(fd, &reply, sizeof reply, MSG_WAITALL) != static_cast<ssize_t>(sizeof reply))
        return false;
    return reply.magic == kMagic && reply.count <= kMaxWindows;
}

void RemoveIfStale(pid_t pid, const std::string& path)
{
    if (kill(pid, 0) != 0 && errno == ESRCH)
        unlink(path.c_str());
}

} // namespace

std::string SocketFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime)
        return {};
    std::string folder = std::string(runtime) + "/quibo-windows";
    mkdir(folder.c_str(), 0700);
    return folder;
}

std::string SocketPath(pid_t pid)
{
    const std::string folder = SocketFolder();
    return folder.empty() ? folder : folder + "/" + std::to_string(pid) + ".sock";
}

bool Ask(pid_t pid, const Request& request, Reply& reply)
{
    const std::string path = SocketPath(pid);
    sockaddr_un address;
    if (pid <= 0 || !FillAddress(address, path))
        return false;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    SetTimeouts(fd);
    bool ok = false;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        ok = Exchange(fd, request, reply);
    else if (errno == ECONNREFUSED || errno == ENOENT)
        RemoveIfStale(pid, path);
    close(fd);
    return ok;
}

} // namespace published

using namespace published;

namespace {

bool AskAbout(HWND hwnd, Op op, Reply& reply, UINT msg = 0, WPARAM wParam = 0, LPARAM lParam = 0, int index = 0)
{
    Request request;
    request.op = static_cast<uint32_t>(op);
    request.hwnd = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(hwnd));
    request.msg = msg;
    request.wParam = wParam;
    request.lParam = lParam;
    request.index = index;
    if (!Ask(ProcessOfHandle(hwnd), request, reply) || !reply.ok) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    return true;
}

} // namespace

std::vector<HWND> PublishedWindows()
{
    std::vector<HWND> windows;
    const std::string folder = SocketFolder();
    DIR* dir = folder.empty() ? nullptr : opendir(folder.c_str());
    if (!dir)
        return windows;
    std::vector<pid_t> pids;
    while (dirent* entry = readdir(dir)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid > 0 && end && std::string(end) == ".sock" && pid != getpid())
            pids.push_back(static_cast<pid_t>(pid));
    }
    closedir(dir);
    for (pid_t pid : pids) {
        Request request;
        request.op = static_cast<uint32_t>(Op::List);
        Reply reply;
        if (!Ask(pid, request, reply) || !reply.ok)
            continue;
        for (uint32_t i = 0; i < reply.count; ++i) {
            HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(reply.windows[i]));
            if (ProcessOfHandle(hwnd) == pid) // a process answers only for its own windows
                windows.push_back(hwnd);
        }
    }
    return windows;
}

bool PostToPublished(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_COMMAND || lParam != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    Reply reply;
    return AskAbout(hwnd, Op::Post, reply, msg, wParam, lParam);
}

bool RaisePublished(HWND hwnd)
{
    Reply reply;
    return AskAbout(hwnd, Op::Raise, reply);
}

bool IsPublishedWindow(HWND hwnd)
{
    Reply reply;
    return AskAbout(hwnd, Op::IsWindow, reply);
}

bool PublishedClassName(HWND hwnd, std::u16string& name)
{
    Reply reply;
    if (!AskAbout(hwnd, Op::ClassName, reply))
        return false;
    size_t length = 0;
    while (length < kMaxText && reply.text[length])
        ++length;
    if (length == kMaxText)
        return false;
    name.assign(reply.text, length);
    return true;
}

bool PublishedWindowLong(HWND hwnd, int index, LONG& value)
{
    Reply reply;
    if (!AskAbout(hwnd, Op::WindowLong, reply, 0, 0, 0, index))
        return false;
    value = static_cast<LONG>(reply.value);
    return true;
}
