// The handheld shell's full-screen and input-panel calls. A desktop window has no input panel
// and no shell-managed task bar, so each succeeds and changes nothing.
#include "aygshell.h"

BOOL SHInitDialog(PSHINITDLGINFO)
{
    return TRUE;
}

BOOL SHFullScreen(HWND, DWORD)
{
    return TRUE;
}

BOOL SipShowIM(DWORD)
{
    return TRUE;
}

BOOL SHCreateMenuBar(PSHMENUBARINFO info)
{
    if (info)
        info->hwndMB = nullptr;
    return TRUE;
}
