#include "../gdi32/gdiobj.h"
#include "winbase.h"
#include "winerror.h"
#include "winuser.h"

// Only the screen DC exists so far: it measures text and reports the display, but has no pixels.
HDC GetDC(HWND hwnd)
{
    GdiGuard guard(GdiLock());
    if (hwnd) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return NewDC(false);
}

int ReleaseDC(HWND, HDC hdc)
{
    GdiGuard guard(GdiLock());
    const DeviceContext* dc = Find<DeviceContext>(hdc);
    if (!dc || dc->memory)
        return 0;
    return DeleteDC(hdc) ? 1 : 0;
}
