// Dialogs from DIALOGEX resources: layout in dialog units, modal runs, the keyboard interface,
// radio groups, and a combo box typed into.
#include "dialog_test.h"

#include "user32/dlgtemplate.h"
#include "window_support.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> g_clicked; // the ids of BN_CLICKED notifications
LPARAM g_initParam = 0;
std::u16string g_name;

INT_PTR CALLBACK ControlsProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        g_initParam = lParam;
        SendDlgItemMessageW(hwnd, IDC_NAMES, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"Zamenhof"));
        SendDlgItemMessageW(hwnd, IDC_NAMES, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"Kabe"));
        SendDlgItemMessageW(hwnd, IDC_NAMES, CB_SETCURSEL, 0, 0);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            g_clicked.push_back(LOWORD(wParam));
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            WCHAR name[256];
            GetDlgItemTextW(hwnd, IDC_NAMES, name, 256);
            g_name = name;
            EndDialog(hwnd, LOWORD(wParam));
        }
        return TRUE;
    default: return FALSE;
    }
}

class DialogTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        g_clicked.clear();
        g_name.clear();
    }
    HWND Open()
    {
        created.push_back(dialog = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_CONTROLS), nullptr, ControlsProc, 77));
        EXPECT_TRUE(dialog);
        ShowWindow(dialog, SW_SHOW);
        PumpReady();
        return dialog;
    }
    RECT ChildRect(int id)
    {
        RECT r;
        GetWindowRect(GetDlgItem(dialog, id), &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // Presses on the control's centre and releases there, or at (x, y); the buttons checked then.
    std::vector<int> Click(int id, int x = -1, int y = -1)
    {
        const RECT r = ChildRect(id);
        PushButton(dialog, true, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PushMotion(dialog, x >= 0 ? x : (r.left + r.right) / 2, y >= 0 ? y : (r.top + r.bottom) / 2);
        PushButton(dialog, false, x >= 0 ? x : (r.left + r.right) / 2, y >= 0 ? y : (r.top + r.bottom) / 2);
        PumpReady(dialog);
        return Checked();
    }
    std::vector<int> Checked()
    {
        std::vector<int> ids;
        for (int id : {IDC_ONE, IDC_TWO, IDC_THREE, IDC_CHECK})
            if (IsDlgButtonChecked(dialog, id) == BST_CHECKED)
                ids.push_back(id);
        return ids;
    }
    // The control with the focus after the keys.
    HWND Keys(std::initializer_list<SDL_Keycode> keys)
    {
        for (SDL_Keycode key : keys)
            PushKey(dialog, key, true);
        PumpReady(dialog);
        return GetFocus();
    }
    HWND dialog = nullptr;
};

using Ids = std::vector<std::vector<int>>;

TEST_F(DialogTest, ControlsSitAtTheirDialogUnitsWithTheirIdsAndClasses)
{
    Open();
    // The dialog's units: a quarter of the face's average width across, an eighth of its height down.
    RECT u{4, 8, 8, 16};
    ASSERT_TRUE(MapDialogRect(dialog, &u));
    EXPECT_TRUE(u.left >= 5 && u.left <= 8 && u.top >= 11 && u.top <= 16 && u.right == 2 * u.left && u.bottom == 2 * u.top)
        << u.left << " " << u.top;
    RECT client;
    GetClientRect(dialog, &client);
    const RECT ok = ChildRect(IDOK), cancel = ChildRect(IDCANCEL), combo = ChildRect(IDC_NAMES);
    // A combo box is as tall as its edit; the template's height is for the dropped list.
    EXPECT_EQ(std::vector<LONG>({client.right, client.bottom, ok.left, ok.top, ok.right - ok.left, ok.bottom - ok.top,
                                 cancel.right - cancel.left, combo.bottom - combo.top < MulDiv(60, u.top, 8), LONG(g_initParam)}),
              std::vector<LONG>({MulDiv(200, u.left, 4), MulDiv(130, u.top, 8), MulDiv(143, u.left, 4), MulDiv(108, u.top, 8),
                                 MulDiv(50, u.left, 4), MulDiv(14, u.top, 8), MulDiv(50, u.left, 4), 1, 77}));
    std::u16string classes;
    WCHAR name[32];
    // The controls' classes, found by their ids, then two controls' texts.
    for (int id : {IDC_LABEL, IDC_NAMES, IDC_ONE, IDC_EDIT, IDC_PROGRESS, -IDC_LABEL, -IDC_NAMES}) {
        id > 0 ? GetClassNameW(GetDlgItem(dialog, id), name, 32) : GetDlgItemTextW(dialog, -id, name, 32);
        classes += name + std::u16string(u" ");
    }
    EXPECT_EQ(classes, u"Static ComboBox Button Edit msctls_progress32 Name: Zamenhof ");
    // The first control that takes the tab key has the focus: the combo box's edit.
    EXPECT_EQ(GetParent(GetFocus()), GetDlgItem(dialog, IDC_NAMES));
    SaveWindowPng(dialog, "dialog_controls.png");
}

TEST_F(DialogTest, RadioButtonsOfAGroupExcludeEachOther)
{
    Open();
    // The check box is a group of its own.
    EXPECT_EQ(Ids({Click(IDC_TWO), Click(IDC_THREE), Click(IDC_CHECK), Click(IDC_CHECK)}),
              Ids({{IDC_TWO}, {IDC_THREE}, {IDC_THREE, IDC_CHECK}, {IDC_THREE}}));
    EXPECT_EQ(g_clicked, (std::vector<int>{IDC_TWO, IDC_THREE, IDC_CHECK, IDC_CHECK}));
    // Arrow keys walk the group, checking as they go.
    SetFocus(GetDlgItem(dialog, IDC_ONE));
    EXPECT_EQ(Keys({SDLK_DOWN}), GetDlgItem(dialog, IDC_TWO));
    EXPECT_EQ(Checked(), std::vector<int>{IDC_TWO});
    CheckRadioButton(dialog, IDC_ONE, IDC_THREE, IDC_ONE);
    EXPECT_EQ(Checked(), std::vector<int>{IDC_ONE});
}

TEST_F(DialogTest, TabMovesReleasingOutsideDoesNotClickAndEscapeCancels)
{
    Open();
    EXPECT_EQ(std::vector<HWND>({GetParent(GetFocus()), Keys({SDLK_TAB}), Keys({SDLK_TAB, SDLK_TAB})}),
              std::vector<HWND>({GetDlgItem(dialog, IDC_NAMES), GetDlgItem(dialog, IDC_ONE), GetDlgItem(dialog, IDC_EDIT)}));
    EXPECT_TRUE(Click(IDC_CHECK, 2, 2).empty() && g_clicked.empty());
    Keys({SDLK_ESCAPE});
    EXPECT_EQ(g_clicked, std::vector<int>{IDCANCEL});
}

HWND g_owner = nullptr;
bool g_ownerDisabledDuringRun = false;

void CALLBACK TypeFromTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    HWND dialog = FindWindowW(nullptr, u"Controls");
    g_ownerDisabledDuringRun = !IsWindowEnabled(g_owner);
    PushText(dialog, "Ŝanĝo");
    PushKey(dialog, SDLK_RETURN, true);
}

TEST_F(DialogTest, AModalDialogReturnsWhatWasTypedAndEnablesItsOwnerAgain)
{
    g_owner = Make(WS_POPUP | WS_VISIBLE, 0, 0, 300, 200);
    SetTimer(nullptr, 0, 30, TypeFromTimer);
    EXPECT_EQ(DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_CONTROLS), g_owner, ControlsProc, 0), IDOK);
    // The selected item's text was replaced by what was typed.
    EXPECT_EQ(std::make_tuple(g_name, g_ownerDisabledDuringRun, IsWindowEnabled(g_owner)), std::make_tuple(u"Ŝanĝo", true, TRUE));
    EXPECT_EQ(std::make_pair(FindWindowW(nullptr, u"Controls"), GetActiveWindow()), std::make_pair(HWND(nullptr), g_owner));
    EXPECT_EQ(DialogBoxParamW(nullptr, MAKEINTRESOURCEW(999), nullptr, ControlsProc, 0), -1);
}

TEST_F(DialogTest, CorruptOrTruncatedTemplatesAreRefused)
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_CONTROLS), MAKEINTRESOURCEW(5));
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    const DWORD size = SizeofResource(nullptr, found);
    ASSERT_EQ(ReadDialogTemplate(bytes, size).value().items.size(), 10u);
    size_t truncatedAccepted = 0;
    for (DWORD cut = 0; cut < size; ++cut) {
        std::vector<BYTE> copy(bytes, bytes + cut); // exactly cut bytes, so ASan sees any overread
        truncatedAccepted += ReadDialogTemplate(copy.data(), copy.size()).has_value();
    }
    // Only the padding after the last item may go.
    EXPECT_LE(truncatedAccepted, 3u);
    // Not an extended template; claiming more items than there are.
    for (const auto& [at, value] : {std::pair{2, 0}, std::pair{16, 0xFF}}) {
        std::vector<BYTE> corrupt(bytes, bytes + size);
        corrupt[at] = BYTE(value);
        EXPECT_FALSE(ReadDialogTemplate(corrupt.data(), corrupt.size())) << at;
    }
}

} // namespace
