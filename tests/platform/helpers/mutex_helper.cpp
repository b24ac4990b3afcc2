// Holds or probes a named mutex from a second process for the named-mutex tests.
//   mutex_helper hold NAME   takes the mutex, says "held", keeps it until its input closes
//   mutex_helper probe NAME  says whether the mutex existed and whether it could be taken at once
#include "utf.h"

#include "windows.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const std::u16string name = Utf8ToUtf16(argv[2]);
    if (std::strcmp(argv[1], "hold") == 0) {
        HANDLE mutex = CreateMutexW(nullptr, TRUE, name.c_str());
        if (!mutex || WaitForSingleObject(mutex, 0) != WAIT_OBJECT_0)
            return 1;
        std::printf("held\n");
        std::fflush(stdout);
        while (std::getchar() != EOF) { }
        return 0; // ends still owning it: the process's end must free it
    }
    if (std::strcmp(argv[1], "probe") == 0) {
        HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
        if (!mutex)
            return 1;
        const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
        const DWORD wait = WaitForSingleObject(mutex, 0);
        std::printf("existed=%d taken=%d\n", existed ? 1 : 0, wait == WAIT_OBJECT_0 ? 1 : 0);
        return 0;
    }
    return 2;
}
