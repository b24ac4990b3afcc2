#include "child_process.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

std::string TestProgramFolder()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments)
{
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);

    const std::string path = TestProgramFolder() + "/" + program;
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int error = posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    input_ = toChild[1];
    output_ = fromChild[0];
    if (error != 0)
        throw std::runtime_error("cannot start " + path);
}

// Closing its standard input is the helpers' cue to finish.
ChildProcess::~ChildProcess()
{
    close(input_);
    close(output_);
    wait();
}

std::string ChildProcess::readLine()
{
    std::string line;
    char c;
    while (read(output_, &c, 1) == 1 && c != '\n')
        line += c;
    return line;
}

std::string ChildProcess::readAll()
{
    std::string text;
    char buffer[256];
    ssize_t got;
    while ((got = read(output_, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(got));
    return text;
}

int ChildProcess::wait()
{
    if (pid_ < 0)
        return -1;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) { }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
