// The clipboard, as far as the programs use it: emptied through the host's clipboard.
#include "window.h"

#include <SDL.h>

namespace {

bool g_open = false;

} // namespace

BOOL OpenClipboard(HWND)
{
    UserGuard guard(UserLock());
    if (g_open) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    g_open = true;
    return TRUE;
}

BOOL EmptyClipboard()
{
    {
        UserGuard guard(UserLock());
        if (!g_open) {
            SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
            return FALSE;
        }
    }
    // Without video there is no host clipboard, and nothing in it to empty.
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_SetClipboardText("");
    return TRUE;
}

BOOL CloseClipboard()
{
    UserGuard guard(UserLock());
    if (!g_open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    g_open = false;
    return TRUE;
}
