// "ComboBox" with a drop-down list: an edit for the text, a button, and a list that drops down
// in a window of its own ("ComboLBox") and holds the mouse while it is open.
#include "controls.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kEditId = 1001;

struct ComboState {
    std::vector<std::u16string> items;
    int selected = -1;
    int hot = -1; // the item the open list highlights
    int first = 0; // the first item the open list shows
    HWND edit = nullptr;
    HWND list = nullptr; // while dropped down
    int droppedHeight = 0;
    int itemHeight = 16;
    HFONT font = nullptr;
    bool selecting = false; // the edit's text comes from the list, not from typing
};

struct ListState {
    HWND combo = nullptr;
};

int ButtonWidth()
{
    return GetSystemMetrics(SM_CXVSCROLL);
}

RECT ButtonRect(HWND hwnd)
{
    RECT client;
    GetClientRect(hwnd, &client);
    InflateRect(&client, -2, -2);
    client.left = client.right - ButtonWidth();
    return client;
}

int VisibleItems(const ComboState& state, HWND hwnd)
{
    RECT client;
    GetClientRect(hwnd, &client);
    const int room = std::max(state.itemHeight, state.droppedHeight - (client.bottom - client.top) - 2);
    return std::clamp(room / state.itemHeight, 1, std::max<int>(1, static_cast<int>(state.items.size())));
}

void Layout(ComboState& state, HWND hwnd)
{
    HDC hdc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(hdc, state.font ? state.font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(hdc, &metrics);
    SelectObject(hdc, old);
    ReleaseDC(hwnd, hdc);
    state.itemHeight = metrics.tmHeight + 2;
    RECT client;
    GetClientRect(hwnd, &client);
    const int height = state.itemHeight + 6;
    if (client.bottom != height)
        SetWindowPos(hwnd, nullptr, 0, 0, client.right, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (state.edit)
        MoveWindow(state.edit, 3, 3, std::max<LONG>(0, client.right - 6 - ButtonWidth()), state.itemHeight, TRUE);
}

void KeepHotVisible(ComboState& state, HWND hwnd)
{
    const int visible = VisibleItems(state, hwnd);
    if (state.hot >= 0 && state.hot < state.first)
        state.first = state.hot;
    if (state.hot >= state.first + visible)
        state.first = state.hot - visible + 1;
    if (state.list)
        InvalidateRect(state.list, nullptr, FALSE);
}

void Select(ComboState& state, HWND hwnd, int index, bool notify)
{
    state.selected = index >= 0 && index < static_cast<int>(state.items.size()) ? index : -1;
    if (state.edit) {
        state.selecting = true;
        SetWindowTextW(state.edit, state.selected >= 0 ? state.items[static_cast<size_t>(state.selected)].c_str() : u"");
        SendMessageW(state.edit, EM_SETSEL, 0, -1);
        state.selecting = false;
    }
    InvalidateRect(hwnd, nullptr, FALSE);
    if (notify)
        NotifyParent(hwnd, CBN_SELCHANGE);
}

void CloseUp(ComboState& state, HWND hwnd, bool accept)
{
    if (!state.list)
        return;
    HWND list = std::exchange(state.list, nullptr);
    if (GetCapture() == list)
        ReleaseCapture();
    DestroyWindow(list);
    InvalidateRect(hwnd, nullptr, FALSE);
    if (accept && state.hot >= 0 && state.hot != state.selected) {
        Select(state, hwnd, state.hot, true);
        NotifyParent(hwnd, CBN_SELENDOK);
    }
    NotifyParent(hwnd, CBN_CLOSEUP);
}

void DropDown(ComboState& state, HWND hwnd)
{
    if (state.list || state.items.empty())
        return;
    NotifyParent(hwnd, CBN_DROPDOWN);
    RECT rect;
    GetWindowRect(hwnd, &rect);
    state.hot = state.selected;
    state.first = 0;
    const int height = VisibleItems(state, hwnd) * state.itemHeight + 2;
    state.list = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, u"ComboLBox", nullptr, WS_POPUP, rect.left, rect.bottom,
                                 rect.right - rect.left, height, hwnd, nullptr, nullptr, hwnd);
    if (!state.list)
        return;
    KeepHotVisible(state, hwnd);
    ShowWindow(state.list, SW_SHOWNA);
    SetCapture(state.list);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void Paint(ComboState& state, HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    const bool enabled = IsWindowEnabled(hwnd);
    DrawEdge(hdc, &client, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillRect(hdc, &client, enabled ? ControlBrush(hwnd, hdc, WM_CTLCOLOREDIT) : GetSysColorBrush(COLOR_3DFACE));
    RECT button = ButtonRect(hwnd);
    if (state.list) {
        FrameRect(hdc, &button, GetSysColorBrush(COLOR_3DSHADOW));
        RECT inner = button;
        InflateRect(&inner, -1, -1);
        FillRect(hdc, &inner, GetSysColorBrush(COLOR_3DFACE));
        OffsetRect(&button, 1, 1);
    } else {
        RECT face = button;
        DrawEdge(hdc, &face, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
    DrawDropArrow(hdc, button, enabled);
    EndPaint(hwnd, &ps);
}

LRESULT Key(ComboState& state, HWND hwnd, WPARAM key)
{
    const int count = static_cast<int>(state.items.size());
    switch (key) {
    case VK_F4:
        if (state.list)
            CloseUp(state, hwnd, true);
        else
            DropDown(state, hwnd);
        return 0;
    case VK_UP:
    case VK_DOWN: {
        const int step = key == VK_UP ? -1 : 1;
        if (state.list) {
            state.hot = std::clamp(state.hot + step, 0, count - 1);
            KeepHotVisible(state, hwnd);
        } else if (count > 0) {
            const int next = std::clamp(state.selected + step, 0, count - 1);
            if (next != state.selected)
                Select(state, hwnd, next, true);
        }
        return 0;
    }
    case VK_RETURN: CloseUp(state, hwnd, true); return 0;
    case VK_ESCAPE: CloseUp(state, hwnd, false); return 0;
    default: return 0;
    }
}

LRESULT Items(ComboState& state, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const int count = static_cast<int>(state.items.size());
    const int index = static_cast<int>(wParam);
    switch (msg) {
    case CB_ADDSTRING: state.items.push_back(NameOf(reinterpret_cast<LPCWSTR>(lParam))); return count;
    case CB_INSERTSTRING: {
        const int at = index < 0 || index > count ? count : index;
        state.items.insert(state.items.begin() + at, NameOf(reinterpret_cast<LPCWSTR>(lParam)));
        if (state.selected >= at)
            ++state.selected;
        return at;
    }
    case CB_DELETESTRING:
        if (index < 0 || index >= count)
            return CB_ERR;
        state.items.erase(state.items.begin() + index);
        if (state.selected == index)
            state.selected = -1;
        else if (state.selected > index)
            --state.selected;
        return count - 1;
    case CB_RESETCONTENT:
        CloseUp(state, hwnd, false);
        state.items.clear();
        state.selected = -1;
        if (state.edit)
            SetWindowTextW(state.edit, u"");
        return 0;
    case CB_GETCOUNT: return count;
    case CB_GETCURSEL: return state.selected;
    case CB_SETCURSEL: Select(state, hwnd, index, false); return index >= 0 && index < count ? index : CB_ERR;
    case CB_GETLBTEXTLEN:
        return index >= 0 && index < count ? static_cast<LRESULT>(state.items[static_cast<size_t>(index)].size()) : CB_ERR;
    case CB_GETLBTEXT: {
        // As on Win32 the buffer is the caller's, sized by CB_GETLBTEXTLEN.
        if (index < 0 || index >= count || !lParam)
            return CB_ERR;
        const std::u16string& item = state.items[static_cast<size_t>(index)];
        std::copy(item.begin(), item.end(), reinterpret_cast<LPWSTR>(lParam));
        reinterpret_cast<LPWSTR>(lParam)[item.size()] = 0;
        return static_cast<LRESULT>(item.size());
    }
    case CB_FINDSTRINGEXACT: {
        LPCWSTR text = reinterpret_cast<LPCWSTR>(lParam);
        for (int i = 0; text && i < count; ++i) {
            const int at = (index + 1 + i) % count; // starts after wParam; -1 searches from the top
            if (SameName(state.items[static_cast<size_t>(at)], text))
                return at;
        }
        return CB_ERR;
    }
    default: return CB_ERR;
    }
}

LRESULT Handle(ComboState& state, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE: {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        state.droppedHeight = cs->cy;
        const DWORD editStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ((StyleOf(hwnd) & 3) == CBS_DROPDOWNLIST ? ES_READONLY : 0);
        state.edit = CreateWindowExW(0, u"Edit", nullptr, editStyle, 3, 3, 10, 10, hwnd,
                                     reinterpret_cast<HMENU>(static_cast<intptr_t>(kEditId)), nullptr, nullptr);
        Layout(state, hwnd);
        return state.edit ? 0 : -1;
    }
    case WM_SIZE:
        if (state.edit)
            MoveWindow(state.edit, 3, 3, std::max(0, LOWORD(lParam) - 6 - ButtonWidth()), state.itemHeight, TRUE);
        return 0;
    case WM_PAINT: Paint(state, hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
        state.font = reinterpret_cast<HFONT>(wParam);
        if (state.edit)
            SendMessageW(state.edit, WM_SETFONT, wParam, lParam);
        Layout(state, hwnd);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state.font);
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: return state.edit ? SendMessageW(state.edit, msg, wParam, lParam) : 0;
    case WM_SETFOCUS:
        if (state.edit) {
            SetFocus(state.edit);
            SendMessageW(state.edit, EM_SETSEL, 0, -1);
        }
        return 0;
    case WM_ENABLE:
        if (state.edit)
            EnableWindow(state.edit, wParam != 0);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (state.edit && GetFocus() != state.edit)
            SetFocus(state.edit);
        if (state.list)
            CloseUp(state, hwnd, false);
        else
            DropDown(state, hwnd);
        return 0;
    case WM_KEYDOWN: return Key(state, hwnd, wParam);
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == state.edit) {
            if (HIWORD(wParam) == EN_CHANGE && !state.selecting)
                NotifyParent(hwnd, CBN_EDITCHANGE);
            else if (HIWORD(wParam) == EN_SETFOCUS)
                NotifyParent(hwnd, CBN_SETFOCUS);
            else if (HIWORD(wParam) == EN_KILLFOCUS) {
                CloseUp(state, hwnd, false);
                NotifyParent(hwnd, CBN_KILLFOCUS);
            }
        }
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_WANTARROWS;
    case CB_SHOWDROPDOWN:
        if (wParam)
            DropDown(state, hwnd);
        else
            CloseUp(state, hwnd, false);
        return TRUE;
    case CB_GETDROPPEDSTATE: return state.list ? TRUE : FALSE;
    case CB_LIMITTEXT: return state.edit ? SendMessageW(state.edit, EM_LIMITTEXT, wParam, 0) : 0;
    case CB_GETEDITSEL: return state.edit ? SendMessageW(state.edit, EM_GETSEL, wParam, lParam) : 0;
    case CB_SETEDITSEL:
        return state.edit ? SendMessageW(state.edit, EM_SETSEL, static_cast<WPARAM>(static_cast<SHORT>(LOWORD(lParam))),
                                         static_cast<SHORT>(HIWORD(lParam)))
                          : 0;
    case WM_DESTROY: CloseUp(state, hwnd, false); return 0;
    default:
        if (msg >= CB_ADDSTRING && msg <= CB_FINDSTRINGEXACT)
            return Items(state, hwnd, msg, wParam, lParam);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

// The open list.

void PaintList(HWND list, ComboState& combo)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(list, &ps);
    RECT client;
    GetClientRect(list, &client);
    FrameRect(hdc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&client, -1, -1);
    FillRect(hdc, &client, GetSysColorBrush(COLOR_WINDOW));
    HGDIOBJ old = SelectObject(hdc, combo.font ? combo.font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(hdc, TRANSPARENT);
    const int count = static_cast<int>(combo.items.size());
    for (int i = combo.first, y = client.top; i < count && y < client.bottom; ++i, y += combo.itemHeight) {
        RECT row{client.left, y, client.right, y + combo.itemHeight};
        const bool hot = i == combo.hot;
        if (hot)
            FillRect(hdc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(hdc, GetSysColor(hot ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT text = row;
        text.left += 2;
        const std::u16string& item = combo.items[static_cast<size_t>(i)];
        DrawTextW(hdc, item.c_str(), static_cast<int>(item.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    SelectObject(hdc, old);
    EndPaint(list, &ps);
}

int ItemAt(HWND list, const ComboState& combo, LPARAM lParam)
{
    RECT client;
    GetClientRect(list, &client);
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (!PtInRect(&client, p))
        return -2; // outside the list
    const int index = combo.first + (p.y - 1) / combo.itemHeight;
    return index < static_cast<int>(combo.items.size()) ? index : -1;
}

LRESULT HandleList(ListState& state, HWND list, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE) {
        state.combo = static_cast<HWND>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        return 0;
    }
    ComboState* combo = state.combo && IsWindow(state.combo) ? StateOf<ComboState>(state.combo) : nullptr;
    if (!combo || combo->list != list)
        return DefWindowProcW(list, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT: PaintList(list, *combo); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEMOVE:
        if (const int index = ItemAt(list, *combo, lParam); index >= 0 && index != combo->hot) {
            combo->hot = index;
            InvalidateRect(list, nullptr, FALSE);
        }
        return 0;
    case WM_LBUTTONDOWN:
        // A press outside closes the list; the press that opened it ends on the combo box.
        if (ItemAt(list, *combo, lParam) == -2)
            CloseUp(*combo, state.combo, false);
        return 0;
    case WM_LBUTTONUP:
        if (const int index = ItemAt(list, *combo, lParam); index >= 0) {
            combo->hot = index;
            CloseUp(*combo, state.combo, true);
        }
        return 0;
    case WM_MOUSEWHEEL: {
        const int visible = VisibleItems(*combo, state.combo);
        const int last = std::max(0, static_cast<int>(combo->items.size()) - visible);
        combo->first = std::clamp(combo->first - static_cast<SHORT>(HIWORD(wParam)) / 120, 0, last);
        InvalidateRect(list, nullptr, FALSE);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != list)
            CloseUp(*combo, state.combo, false);
        return 0;
    case WM_MOUSEACTIVATE: return 3; // MA_NOACTIVATE
    default: return DefWindowProcW(list, msg, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return WithState<ComboState>(hwnd, msg, wParam, lParam, Handle);
}

LRESULT CALLBACK ComboListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return WithState<ListState>(hwnd, msg, wParam, lParam, HandleList);
}
