// Shell services: opening a document or an address with the user's program for it.
#pragma once

#include "windef.h"

#define SEE_MASK_DEFAULT 0x00000000u
#define SEE_MASK_NOCLOSEPROCESS 0x00000040u
#define SEE_MASK_FLAG_NO_UI 0x00000400u

#define SE_ERR_NOASSOC 31

// Laid out as Win32 lays it out, so callers may size it with sizeof and clear it whole.
typedef struct _SHELLEXECUTEINFOW {
    DWORD cbSize;
    ULONG fMask;
    HWND hwnd;
    LPCWSTR lpVerb;
    LPCWSTR lpFile;
    LPCWSTR lpParameters;
    LPCWSTR lpDirectory;
    int nShow;
    HINSTANCE hInstApp;
    void* lpIDList;
    LPCWSTR lpClass;
    HKEY hkeyClass;
    DWORD dwHotKey;
    union {
        HANDLE hIcon;
        HANDLE hMonitor;
    };
    HANDLE hProcess;
} SHELLEXECUTEINFOW, *LPSHELLEXECUTEINFOW;

// The verb "open" (or none) on an address or a file starts the user's opener for it ($BROWSER
// when set, else xdg-open) and returns without waiting for it. hProcess is never given.
BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info);
// The same in one call; a result above 32 means the opener was started.
HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int show);
