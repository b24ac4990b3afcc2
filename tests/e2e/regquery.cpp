// Prints the values of one key of the layer's registry, "name=value" a line in stored order:
// text as it is, numbers in decimal, other data by its type. The store is $XDG_DATA_HOME's, so
// pointing XDG_DATA_HOME at a handheld's store folder reads the handheld's registry.
// Usage: regquery HKLM|HKCU KEY
#include "utf.h"

#include "windows.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3 || (std::strcmp(argv[1], "HKLM") != 0 && std::strcmp(argv[1], "HKCU") != 0)) {
        std::fprintf(stderr, "usage: regquery HKLM|HKCU KEY\n");
        return 2;
    }
    HKEY key;
    const HKEY root = std::strcmp(argv[1], "HKLM") == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    if (RegOpenKeyExW(root, Utf8ToUtf16(argv[2]).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        std::fprintf(stderr, "regquery: no key %s\\%s\n", argv[1], argv[2]);
        return 1;
    }
    for (DWORD i = 0;; ++i) {
        WCHAR name[256];
        WCHAR data[1024] = {};
        DWORD cchName = 256, type = 0, cbData = sizeof data - sizeof(WCHAR);
        if (RegEnumValueW(key, i, name, &cchName, nullptr, &type, reinterpret_cast<BYTE*>(data), &cbData) != ERROR_SUCCESS)
            break;
        DWORD number = 0;
        std::memcpy(&number, data, sizeof number);
        const std::string value = type == REG_SZ      ? Utf16ToUtf8(data)
                                  : type == REG_DWORD ? std::to_string(number)
                                                      : "<type " + std::to_string(type) + ">";
        std::printf("%s=%s\n", Utf16ToUtf8(std::u16string(name, cchName)).c_str(), value.c_str());
    }
    RegCloseKey(key);
    return 0;
}
