// A device library for the tests: what it does with plain file and registry calls must land
// in the device's folder and the device's store.
#include "rapi.h"

extern "C" HRESULT Probe(DWORD, BYTE* pInput, DWORD*, BYTE**, IRAPIStream*)
{
    LocalFree(pInput);
    HANDLE file = CreateFileW(u"\\Windows\\probe.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return E_FAIL;
    DWORD written = 0;
    WriteFile(file, "probe", 5, &written, nullptr);
    CloseHandle(file);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Probe", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return E_FAIL;
    const DWORD one = 1;
    RegSetValueExW(key, u"Ran", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4);
    RegCloseKey(key);
    return S_OK;
}
