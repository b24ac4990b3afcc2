// User interface services.
#pragma once

#include "windef.h"

// Resources

// Copies string uID of the program's string table into lpBuffer (at most cchBufferMax - 1
// characters and a terminator) and returns its length; 0 when there is no such string. With
// cchBufferMax 0, lpBuffer receives a pointer to the text in place (not zero-terminated) and
// the result is its full length.
int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax);
