// Answering other processes: the listening thread of a process with published windows.
#include "../published.h"
#include "../window.h"
#include "protocol.h"
#include "trace.h"

#include <algorithm>
#include <cstdlib>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace published {

namespace {

HWND Named(uint32_t value)
{
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

// Only top-level windows take posts and raises; only published ones tell their class and words.
Window* TopLevel(uint32_t value, bool mustBePublished)
{
    HWND hwnd = Named(value);
    if (!IsLocalHandle(hwnd))
        return nullptr;
    Window* window = FindWindowData(hwnd);
    if (!window || window->isChild() || window->destroying)
        return nullptr;
    if (mustBePublished && !(window->cls->style & CS_PUBLISHED))
        return nullptr;
    return window;
}

void Answer(const Request& request, Reply& reply)
{
    UserGuard guard(UserLock());
    switch (static_cast<Op>(request.op)) {
    case Op::List:
        for (HWND hwnd : TopLevelWindows())
            if (TopLevel(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(hwnd)), true) && reply.count < kMaxWindows)
                reply.windows[reply.count++] = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(hwnd));
        reply.ok = 1;
        break;
    case Op::IsWindow: reply.ok = TopLevel(request.hwnd, false) != nullptr; break;
    case Op::ClassName:
        if (Window* window = TopLevel(request.hwnd, true)) {
            const size_t count = std::min<size_t>(window->cls->name.size(), kMaxText - 1);
            std::copy_n(window->cls->name.data(), count, reply.text);
            reply.ok = 1;
        }
        break;
    case Op::WindowLong:
        if (Window* window = TopLevel(request.hwnd, true);
            window && request.index >= 0 && static_cast<size_t>(request.index) + sizeof(LONG) <= window->extra.size()) {
            reply.value = GetWindowLongW(window->handle, request.index);
            reply.ok = 1;
        }
        break;
    case Op::Post:
        if (TopLevel(request.hwnd, false) && request.msg == WM_COMMAND && request.lParam == 0)
            reply.ok = PostMessageW(Named(request.hwnd), WM_COMMAND, static_cast<WPARAM>(request.wParam), 0);
        break;
    case Op::Raise:
        if (TopLevel(request.hwnd, false))
            reply.ok = PostMessageW(Named(request.hwnd), kRaiseMessage, 0, 0);
        break;
    }
}

void Listen(int fd)
{
    for (;;) {
        const int connection = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        Serve(connection);
        close(connection);
    }
}

std::string g_path; // removed at exit

} // namespace

void Serve(int connection)
{
    timeval timeout{2, 0};
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    Request request;
    if (recv(connection, &request, sizeof request, MSG_WAITALL) != static_cast<ssize_t>(sizeof request) || request.magic != kMagic)
        return;
    Reply reply;
    Answer(request, reply);
    send(connection, &reply, sizeof reply, MSG_NOSIGNAL);
}

} // namespace published

using namespace published;

void StartPublishing()
{
    static bool started = false;
    UserGuard guard(UserLock());
    if (started)
        return;
    started = true;
    g_path = SocketPath(getpid());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (g_path.empty() || g_path.size() >= sizeof address.sun_path) {
        Trace("user32: no folder for published windows (XDG_RUNTIME_DIR)");
        return;
    }
    g_path.copy(address.sun_path, g_path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    unlink(g_path.c_str()); // left by an earlier process that had our id
    if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(fd, 8) != 0) {
        Trace("user32: cannot publish windows at %s", g_path.c_str());
        if (fd >= 0)
            close(fd);
        return;
    }
    std::atexit([] { unlink(g_path.c_str()); });
    std::thread(Listen, fd).detach();
}
