#include "namedialog.h"

#include "language.h"
#include "recentnames.h"
#include "records.h"

#include <aygshell.h>

namespace {

constexpr UINT IDS_NEW_HIGH_SCORE = 136;
constexpr int cchTYPED_MAX = 255;

// What the dialog shares with its caller, through DWLP_USER.
struct NAMEDIALOG {
    HWND hwndMain;
    std::u16string name;
};

void fillRecentNames(HWND dialog)
{
    const std::u16string_view list = RecentNamesText(g_settings.szRecentNames, cchRECENT_NAMES);
    for (std::u16string_view name : RecentNames(list)) {
        const std::u16string item(name);
        SendDlgItemMessageW(dialog, IDC_PLAYER_NAME, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendDlgItemMessageW(dialog, IDC_PLAYER_NAME, CB_SETCURSEL, 0, 0);
}

void initDialog(HWND dialog, NAMEDIALOG* state)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    fillRecentNames(dialog);
    SHMENUBARINFO menuBar{};
    menuBar.cbSize = sizeof menuBar;
    menuBar.hwndParent = dialog;
    menuBar.dwFlags = SHCMBF_EMPTYBAR;
    SHCreateMenuBar(&menuBar);
    SetWindowTextW(dialog, LoadCatalogString(IDS_NEW_HIGH_SCORE).c_str());
}

void takeName(HWND dialog, int command)
{
    auto* state = reinterpret_cast<NAMEDIALOG*>(GetWindowLongPtrW(dialog, DWLP_USER));
    WCHAR typed[cchTYPED_MAX + 1] = {};
    GetDlgItemTextW(dialog, IDC_PLAYER_NAME, typed, cchTYPED_MAX + 1);
    state->name = RememberPlayerName(typed);
    if (state->hwndMain)
        EnableWindow(state->hwndMain, TRUE);
    EndDialog(dialog, command);
}

INT_PTR CALLBACK nameDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: initDialog(dialog, reinterpret_cast<NAMEDIALOG*>(lParam)); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            takeName(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

} // namespace

std::u16string AskPlayerName(HWND mainWindow)
{
    NAMEDIALOG state{mainWindow, {}};
    if (mainWindow)
        EnableWindow(mainWindow, FALSE);
    RunCatalogDialog(IDD_PLAYER_NAME, mainWindow, nameDialogProc, reinterpret_cast<LPARAM>(&state));
    // Also when the dialog could not be made at all.
    if (mainWindow)
        EnableWindow(mainWindow, TRUE);
    return state.name;
}
