// Opens a named mutex from a second process for the named-mutex tests: `mutex_helper NAME` asks
// for it as initial owner, says whether it existed and whether it could be taken at once, and
// keeps what it took until its input closes; it then ends without releasing it.
#include "utf.h"

#include "windows.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    HANDLE mutex = CreateMutexW(nullptr, TRUE, Utf8ToUtf16(argv[1]).c_str());
    if (!mutex)
        return 1;
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    std::printf("existed=%d taken=%d\n", existed, WaitForSingleObject(mutex, 0) == WAIT_OBJECT_0);
    std::fflush(stdout);
    while (std::getchar() != EOF) { }
    return 0;
}
