#include "winbase.h"
#include "winerror.h"
#include "winuser.h"

#include <algorithm>
#include <cstring>

int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax)
{
    if (!lpBuffer || cchBufferMax < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const WORD id = LOWORD(uID);
    HRSRC block = FindResourceW(hInstance, MAKEINTRESOURCEW(id / 16 + 1), MAKEINTRESOURCEW(6));
    const WCHAR* units = block ? static_cast<const WCHAR*>(LockResource(LoadResource(hInstance, block))) : nullptr;
    const size_t count = block ? SizeofResource(hInstance, block) / sizeof(WCHAR) : 0;

    // Walk to the string's entry: each is a length and that many units.
    size_t pos = 0;
    for (int skip = id % 16; skip > 0 && pos < count; --skip)
        pos += 1 + units[pos];
    if (!units || pos >= count || pos + 1 + units[pos] > count) {
        if (cchBufferMax > 0)
            lpBuffer[0] = 0;
        return 0;
    }
    const int length = units[pos];
    if (cchBufferMax == 0) {
        // The read-in-place form: the buffer receives a pointer to the text, which is not
        // zero-terminated; the result is its length.
        const WCHAR* text = units + pos + 1;
        std::memcpy(lpBuffer, &text, sizeof text);
        return length;
    }
    const int copied = std::min(length, cchBufferMax - 1);
    std::memcpy(lpBuffer, units + pos + 1, copied * sizeof(WCHAR));
    lpBuffer[copied] = 0;
    return copied;
}
