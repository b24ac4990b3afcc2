// quibo-scores run as its own process on a loopback port chosen by the system, its log in a
// file of the test's folder.
#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

class ServerProcess {
public:
    ServerProcess() = default;
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    ~ServerProcess();

    // Starts the server with `storeArgs` and waits (bounded) until it listens; false when it
    // ended or did not listen in time.
    bool Start(const std::vector<std::string>& storeArgs);
    // SIGTERM, then waits (bounded) for the end; the exit status, or -1 when it did not end
    // normally in time.
    int Stop();
    // SIGKILL, as a crash would.
    void Kill();

    int Port() const { return m_port; }
    std::string BaseAddress() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    std::string Log() const;

private:
    pid_t m_pid = -1;
    int m_port = 0;
    std::filesystem::path m_log;
};
