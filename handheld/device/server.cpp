#include "server.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace handheld {

namespace {

int wakePipe[2] = {-1, -1};
std::atomic<int> answeredSessions{0};
std::atomic<int> openSessions{0};
constexpr int kMaxSessions = 64;

void wake(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(wakePipe[1], &byte, 1);
}

} // namespace

bool Server::Listen(const std::string& runtimeFolder, std::string& error)
{
    runtimeFolder_ = runtimeFolder;
    lockFile_ = open(LockPath(runtimeFolder).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFile_ < 0 || flock(lockFile_, LOCK_EX | LOCK_NB) != 0) {
        error = "a handheld is already running in " + runtimeFolder;
        return false;
    }
    const std::string path = SocketPath(runtimeFolder);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        error = "the runtime folder's path is too long for a socket: " + path;
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    unlink(path.c_str()); // left by a device that did not stop; the lock says it is gone
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(listener_, 16) != 0) {
        error = "cannot listen on " + path + ": " + std::strerror(errno);
        return false;
    }
    const DeviceConfig& c = device_.Config();
    std::ofstream(StatePath(runtimeFolder)) << "root=" << c.root << "\nscreen=" << c.screenWidth << "x" << c.screenHeight << "x"
                                            << c.screenBits << "\n";
    return true;
}

void Server::Run()
{
    if (pipe2(wakePipe, O_CLOEXEC) != 0)
        return;
    signal(SIGTERM, wake);
    signal(SIGINT, wake);
    signal(SIGPIPE, SIG_IGN);
    struct stat bound;
    const bool knowsSocket = stat(SocketPath(runtimeFolder_).c_str(), &bound) == 0;
    for (;;) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
        const int ready = poll(fds, 2, 1000);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (ready == 0) {
            // Nobody can reach a device whose socket is gone (its runtime folder was removed,
            // say, by a test that did not stop it): it ends rather than linger.
            struct stat now;
            if (!knowsSocket || stat(SocketPath(runtimeFolder_).c_str(), &now) != 0 || now.st_ino != bound.st_ino)
                break;
            continue;
        }
        if (fds[1].revents)
            break;
        const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        if (openSessions >= kMaxSessions) {
            close(client); // a flood of clients must not exhaust the device's threads
            continue;
        }
        ++openSessions;
        std::thread([this, client] {
            serve(client);
            --openSessions;
        }).detach();
    }
    // Sessions still running are cut off where they stand; each remote call is whole, since
    // the device answers one at a time and this waits for the one in progress.
    unlink(SocketPath(runtimeFolder_).c_str());
    unlink(StatePath(runtimeFolder_).c_str());
    close(listener_);
    device_.Stop();
}

void Server::serve(int fd)
{
    Session session;
    std::vector<uint8_t> payload;
    while (ReceiveMessage(fd, payload) == ReceiveResult::Ok) {
        MessageReader request(payload);
        const Op op = Op(request.u32());
        if (!request.ok())
            break;
        std::vector<uint8_t> answer;
        if (op == Op::Hello) {
            const uint32_t version = request.u32();
            std::this_thread::sleep_for(std::chrono::milliseconds(device_.Config().answerDelayMs));
            if (!request.complete() || version != kProtocolVersion) {
                SendMessage(fd, Reply(ERROR_NOT_SUPPORTED).payload());
                break;
            }
            if (!session.answered)
                ++answeredSessions;
            session.answered = true;
            answer = Reply(ERROR_SUCCESS).payload();
        } else if (op == Op::Status) {
            answer = Reply(ERROR_SUCCESS).u32(uint32_t(answeredSessions.load())).payload();
        } else if (op == Op::Stop) {
            SendMessage(fd, Reply(ERROR_SUCCESS).payload());
            wake(0);
            break;
        } else if (!session.answered) {
            answer = Reply(ERROR_NOT_CONNECTED).payload(); // a client says hello first
        } else {
            answer = device_.Handle(session, op, request);
        }
        if (!SendMessage(fd, answer))
            break;
    }
    // Oversized, truncated or broken input ends only this client; its handles close with it.
    if (session.answered)
        --answeredSessions;
    close(fd);
}

} // namespace handheld
