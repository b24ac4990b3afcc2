#include "serverprocess.h"

#include "test_env.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

ServerProcess::~ServerProcess()
{
    Kill();
}

bool ServerProcess::Start(const std::vector<std::string>& storeArgs)
{
    static int count = 0;
    m_log = TestRoot() / ("server" + std::to_string(++count) + ".log");
    const std::string program = (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "quibo-scores").string();
    std::vector<const char*> argv = {program.c_str(), "--listen", "127.0.0.1:0"};
    for (const std::string& arg : storeArgs)
        argv.push_back(arg.c_str());
    argv.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0) { // only calls safe after a fork
        dup2(open(m_log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        execv(program.c_str(), const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    if (m_pid < 0)
        return false;

    // The first line tells the port: "quibo-scores: listening on http://127.0.0.1:PORT, ...".
    const std::string marker = "listening on http://127.0.0.1:";
    for (int i = 0; i < 300; ++i) {
        const std::string log = Log();
        if (const size_t at = log.find(marker); at != std::string::npos && log.find(',', at) != std::string::npos) {
            m_port = std::stoi(log.substr(at + marker.size()));
            return true;
        }
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    Kill();
    return false;
}

int ServerProcess::Stop()
{
    if (m_pid > 0)
        kill(m_pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 600 && m_pid > 0; ++i) {
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    Kill();
    return -1;
}

void ServerProcess::Kill()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

std::string ServerProcess::Log() const
{
    std::ifstream in(m_log);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
