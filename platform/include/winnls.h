// National language support: the user's locale settings.
#pragma once

#include "windef.h"

typedef DWORD LCTYPE;

#define LOCALE_SYSTEM_DEFAULT 0x0800u
#define LOCALE_USER_DEFAULT 0x0400u

#define LOCALE_STIME 0x0000001Eu

// Copies the setting with its terminator; with size 0 returns the size it needs.
int GetLocaleInfoW(LCID locale, LCTYPE type, LPWSTR data, int size);
