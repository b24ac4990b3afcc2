// Painting a window. Window device contexts come with the drawing layer; until a window has
// one, painting validates the update region and hands out no device context.
#include "paint.h"

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint)
{
    UserGuard guard(UserLock());
    Window* window = FindWindowData(hwnd);
    if (!window || !paint)
        return nullptr;
    *paint = PAINTSTRUCT{};
    paint->rcPaint = window->update;
    paint->fErase = window->erase;
    window->update = RECT{};
    window->erase = false;
    return nullptr;
}

BOOL EndPaint(HWND, const PAINTSTRUCT*)
{
    return TRUE;
}

LRESULT EraseBackground(HWND, HDC)
{
    return 0;
}
