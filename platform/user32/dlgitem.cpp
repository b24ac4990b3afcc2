// Dialog items by id, and the keyboard interface of dialogs.
#include "dialog.h"

#include <string>

namespace {

UINT DialogCode(HWND control, LPMSG msg)
{
    return control ? static_cast<UINT>(SendMessageW(control, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(msg))) : 0;
}

void PressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (button && !IsWindowEnabled(button))
        return;
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

int DefaultId(HWND dialog, HWND focus, UINT focusCode)
{
    if (focusCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))
        return GetDlgCtrlID(focus);
    const LRESULT found = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(found) == DC_HASDEFID ? LOWORD(found) : IDOK;
}

// Tab, Enter, Escape and the arrows; true when the key was used.
bool DialogKey(HWND dialog, LPMSG msg)
{
    HWND focus = GetFocus();
    const UINT code = DialogCode(focus, msg);
    if (code & DLGC_WANTALLKEYS)
        return false;
    switch (msg->wParam) {
    case VK_TAB: {
        if (code & DLGC_WANTTAB)
            return false;
        HWND next = GetNextDlgTabItem(dialog, focus, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
        if (next) {
            SetFocus(next);
            if (DialogCode(GetFocus(), nullptr) & DLGC_HASSETSEL)
                SendMessageW(GetFocus(), EM_SETSEL, 0, -1);
        }
        return true;
    }
    case VK_RETURN: PressButton(dialog, DefaultId(dialog, focus, code)); return true;
    case VK_ESCAPE: PressButton(dialog, IDCANCEL); return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        if (code & DLGC_WANTARROWS)
            return false;
        HWND next = GetNextDlgGroupItem(dialog, focus, msg->wParam == VK_LEFT || msg->wParam == VK_UP);
        if (next && next != focus) {
            SetFocus(next);
            if (DialogCode(next, nullptr) & DLGC_RADIOBUTTON)
                SendMessageW(next, BM_CLICK, 0, 0);
        }
        return true;
    }
    default: return false;
    }
}

} // namespace

BOOL IsDialogMessageW(HWND dialog, LPMSG msg)
{
    if (!msg || !dialog || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)))
        return FALSE;
    if (msg->message == WM_KEYDOWN && DialogKey(dialog, msg))
        return TRUE;
    // The characters of the keys above are not typed into controls that did not ask for them.
    if (msg->message == WM_CHAR && (msg->wParam == 9 || msg->wParam == 13 || msg->wParam == 27)
        && !(DialogCode(GetFocus(), msg) & (DLGC_WANTALLKEYS | DLGC_WANTCHARS)))
        return TRUE;
    TranslateMessage(msg);
    DispatchMessageW(msg);
    return TRUE;
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SetWindowTextW(item, text) : FALSE;
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int cchMax)
{
    if (text && cchMax > 0)
        text[0] = 0;
    HWND item = GetDlgItem(dialog, id);
    return item ? static_cast<UINT>(GetWindowTextW(item, text, cchMax)) : 0;
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned)
{
    const std::string digits = isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(value);
    return SetDlgItemTextW(dialog, id, std::u16string(digits.begin(), digits.end()).c_str());
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned)
{
    WCHAR text[32];
    const UINT length = GetDlgItemTextW(dialog, id, text, 32);
    long long value = 0;
    UINT i = 0;
    const bool negative = isSigned && length > 0 && text[0] == u'-';
    if (negative)
        ++i;
    const UINT firstDigit = i;
    for (; i < length && text[i] >= u'0' && text[i] <= u'9' && value <= 0xFFFFFFFFLL; ++i)
        value = value * 10 + (text[i] - u'0');
    const bool ok = i == length && i > firstDigit && value <= (isSigned ? 0x7FFFFFFFLL + negative : 0xFFFFFFFFLL);
    if (translated)
        *translated = ok ? TRUE : FALSE;
    return ok ? static_cast<UINT>(negative ? -value : value) : 0;
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageW(item, msg, wParam, lParam) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check)
{
    HWND item = GetDlgItem(dialog, id);
    if (!item)
        return FALSE;
    SendMessageW(item, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id)
{
    return static_cast<UINT>(SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId)
{
    for (int id = firstId; id <= lastId; ++id)
        if (HWND item = GetDlgItem(dialog, id))
            SendMessageW(item, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}
