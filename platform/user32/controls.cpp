// The layer's window classes, and what their procedures share.
#include "controls.h"

namespace {

void Add(LPCWSTR name, WNDPROC proc, UINT style, int extra, LPCWSTR cursor = IDC_ARROW)
{
    WNDCLASSW wc{};
    wc.style = style | CS_GLOBALCLASS;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = extra;
    wc.hCursor = LoadCursorW(nullptr, cursor);
    wc.lpszClassName = name;
    AddSystemClass(wc);
}

} // namespace

void RegisterSystemClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        constexpr int kState = sizeof(void*);
        Add(u"#32770", DefDlgProcW, CS_DBLCLKS, DLGWINDOWEXTRA);
        Add(u"Static", StaticProc, 0, kState);
        Add(u"Button", ButtonProc, CS_DBLCLKS, kState);
        Add(u"Edit", EditProc, CS_DBLCLKS, kState, IDC_IBEAM);
        Add(u"ComboBox", ComboBoxProc, CS_DBLCLKS, kState);
        Add(u"ComboLBox", ComboListProc, 0, kState);
        Add(u"msctls_progress32", ProgressProc, 0, kState);
        Add(u"QuiboMessageIcon", MessageIconProc, 0, 0);
    });
}

HBRUSH ControlBrush(HWND control, HDC hdc, UINT ctlColorMessage)
{
    HWND parent = GetParent(control);
    const LRESULT brush = parent
                              ? SendMessageW(parent, ctlColorMessage, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(control))
                              : DefWindowProcW(control, ctlColorMessage, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(control));
    return brush ? reinterpret_cast<HBRUSH>(brush) : GetSysColorBrush(COLOR_3DFACE);
}

void NotifyParent(HWND control, WORD code)
{
    if (HWND parent = GetParent(control))
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

DWORD StyleOf(HWND hwnd)
{
    return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
}
