// Shows a dialog with each standard control and, when it closes with OK, prints what was
// chosen: the end-to-end test drives it with real input on a virtual display.
#include "controls_demo.h"

#include "utf.h"

#include "windows.h"

#include <cstdio>

namespace {

std::string TextOf(HWND dialog, int id)
{
    WCHAR text[256];
    GetDlgItemTextW(dialog, id, text, 256);
    return Utf16ToUtf8(text);
}

INT_PTR CALLBACK DemoProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        for (const char16_t* name : {u"Zamenhof", u"Kabe", u"Grabowski"})
            SendDlgItemMessageW(dialog, IDC_NAME, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendDlgItemMessageW(dialog, IDC_NAME, CB_SETCURSEL, 0, 0);
        CheckRadioButton(dialog, IDC_EASY, IDC_HARD, IDC_EASY);
        SendDlgItemMessageW(dialog, IDC_PROGRESS, PBM_SETPOS, 60, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            std::printf("name=%s note=%s hard=%u sound=%u\n", TextOf(dialog, IDC_NAME).c_str(), TextOf(dialog, IDC_EDIT).c_str(),
                        IsDlgButtonChecked(dialog, IDC_HARD), IsDlgButtonChecked(dialog, IDC_SOUND));
            std::fflush(stdout);
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default: return FALSE;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_DEMO), nullptr, DemoProc, 0) == IDOK ? 0 : 1;
}
