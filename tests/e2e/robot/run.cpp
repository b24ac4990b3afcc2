#include "run.h"

#include <cerrno>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

int Run(const std::vector<std::string>& argv, std::vector<uint8_t>* output)
{
    if (argv.empty())
        throw std::runtime_error("robot: nothing to run");
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        throw std::runtime_error("robot: no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (error != 0) {
        close(pipeFds[0]);
        throw std::runtime_error("robot: cannot start " + argv[0]);
    }
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    for (;;) {
        const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    if (output)
        *output = std::move(bytes);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

std::vector<uint8_t> Capture(const std::vector<std::string>& argv)
{
    std::vector<uint8_t> output;
    if (Run(argv, &output) != 0)
        throw std::runtime_error("robot: " + argv[0] + " failed");
    return output;
}
