// Waits until a thread sleeps in the kernel, so a test knows it has entered a blocking wait
// however loaded the machine is.
#pragma once

#include <atomic>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <unistd.h>

// tid is 0 until the thread stores its gettid().
inline void AwaitBlocked(const std::atomic<pid_t>& tid)
{
    while (tid.load() == 0)
        std::this_thread::yield();
    const std::string path = "/proc/self/task/" + std::to_string(tid.load()) + "/stat";
    for (;;) {
        std::ifstream stat(path);
        const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const size_t close = text.rfind(')');
        if (close == std::string::npos || (close + 2 < text.size() && text[close + 2] == 'S'))
            return;
        std::this_thread::yield();
    }
}
