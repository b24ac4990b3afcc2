// The message hooks of an animation window: functions that see the window's messages before
// its own handling, in priority order (lower numbers first), each for the kinds of messages its
// flags name. A hook added twice is counted and must be removed as often.
//
// Hooks may add and remove hooks, even themselves, while a message is being dispatched: the
// dispatch goes on with the hook that follows the one it called.
#pragma once

#include "windows.h"

struct AnimWindow;

// Returns non-zero when it consumed the message.
using ANIMHOOK = BOOL (*)(AnimWindow* window, UINT message, WPARAM wParam, LPARAM lParam);

enum : DWORD {
    kHookMouse = 0x0001, // WM_MOUSEFIRST..WM_MOUSELAST (0x200..0x20A)
    kHookKeyboard = 0x0002, // WM_KEYFIRST..WM_KEYLAST (0x100..0x108)
    kHookAll = 0xFFFF,
};
constexpr WORD kDefaultHookPriority = 100;

struct HOOKCURSOR;

struct HOOKRECORD {
    ANIMHOOK function;
    DWORD flags; // low 16 bits: kinds of messages; high 16 bits: priority
    DWORD cRef;
};

struct HOOKLIST {
    HOOKRECORD* rg;
    int c;
    int cAlloc;
    HOOKCURSOR* cursors; // dispatches in progress, innermost first

    void Free();
    // Flags 0 removes the hook once. Returns false only when memory is short.
    bool Add(ANIMHOOK function, WORD flags, WORD priority = kDefaultHookPriority);
    void Remove(ANIMHOOK function);
    // True when a hook consumed the message.
    bool Dispatch(AnimWindow* window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Shift(int i, int delta);
};
