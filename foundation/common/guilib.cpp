#include "guilib.h"

bool RegisterGuiLibDialogClass()
{
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = DefDlgProcW;
        wc.cbWndExtra = DLGWINDOWEXTRA;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = u"GuiLibDefDlgClass";
        return RegisterClassW(&wc) != 0;
    }();
    return registered;
}
