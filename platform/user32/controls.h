// What the standard controls share: their state behind the first extra word, colours asked of
// the parent, notifications, and the procedures of each class.
#pragma once

#include "window.h"

// A control's state lives from WM_NCCREATE to WM_NCDESTROY behind its first extra word.
template<class T> T* StateOf(HWND hwnd)
{
    return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, 0));
}

// Calls the control's procedure with its state, made at WM_NCCREATE and freed at WM_NCDESTROY.
template<class T> LRESULT WithState(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT (*handler)(T&, HWND, UINT, WPARAM, LPARAM))
{
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(new T));
    T* state = StateOf<T>(hwnd);
    if (!state)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, 0, 0);
        const LRESULT result = handler(*state, hwnd, msg, wParam, lParam);
        delete state;
        return result;
    }
    return handler(*state, hwnd, msg, wParam, lParam);
}

// The background brush the parent chooses (WM_CTLCOLOR*), which also sets the text colours.
HBRUSH ControlBrush(HWND control, HDC hdc, UINT ctlColorMessage);
// Tells the parent: WM_COMMAND with the id and the code.
void NotifyParent(HWND control, WORD code);
DWORD StyleOf(HWND hwnd);

// The shapes of the classic look.
void DrawCheckBox(HDC hdc, int x, int y, bool checked, bool enabled);
void DrawRadioButton(HDC hdc, int x, int y, bool checked, bool enabled);
void DrawDropArrow(HDC hdc, const RECT& rect, bool enabled);

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ComboListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MessageIconProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
