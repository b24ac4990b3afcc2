// The game program.
#include <windows.h>

#include "frame.h"
#include "instance.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (StartUp(instance))
        Run();
    ReleaseSingleInstance();
    return 0;
}
