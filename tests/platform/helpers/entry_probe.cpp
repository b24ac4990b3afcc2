// A program on the layer's entry: reports what its WinMain was given, for the entry tests.
#include "utf.h"

#include "windows.h"

#include <cstdio>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand)
{
    std::printf("arguments=[%s]\n", commandLine);
    std::printf("show=%d previous=%d instance=%d\n", showCommand, previousInstance != nullptr, instance == GetModuleHandleW(nullptr));
    std::printf("line=[%s]\n", Utf16ToUtf8(GetCommandLineW()).c_str());
    return 7;
}
