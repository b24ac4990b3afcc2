// The game program.
#include "frame.h"
#include "instance.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (StartUp(instance))
        Run();
    ReleaseSingleInstance();
    return 0;
}
