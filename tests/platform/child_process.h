// Runs a helper program of the test suites with pipes to its standard input and output.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class ChildProcess {
public:
    // Starts `program` (a file beside the test program) with the arguments.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // One line of its output without the line feed; "" once it has closed its output.
    std::string readLine();
    // Everything it writes until it closes its output.
    std::string readAll();
    // Waits for it to end; its exit status, or -1 when a signal ended it.
    int wait();

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
};

// The folder the test programs and their helpers are built into.
std::string TestProgramFolder();
