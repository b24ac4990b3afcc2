// The calls of the remote API that the handheld does not offer (its object-store databases,
// file search, processes, windows and the rest): each fails, and CeGetLastError and the
// thread's last error say ERROR_CALL_NOT_IMPLEMENTED.
#include "connection.h"

extern "C" {

CEOID CeCreateDatabase(LPWSTR, DWORD, WORD, SORTORDERSPEC*)
{
    rapi::NotSupported();
    return 0;
}

BOOL CeDeleteDatabase(CEOID)
{
    rapi::NotSupported();
    return FALSE;
}

BOOL CeDeleteRecord(HANDLE, CEOID)
{
    rapi::NotSupported();
    return FALSE;
}

HANDLE CeFindFirstDatabase(DWORD)
{
    rapi::NotSupported();
    return INVALID_HANDLE_VALUE;
}

CEOID CeFindNextDatabase(HANDLE)
{
    rapi::NotSupported();
    return 0;
}

BOOL CeOidGetInfo(CEOID, CEOIDINFO*)
{
    rapi::NotSupported();
    return FALSE;
}

HANDLE CeOpenDatabase(PCEOID, LPWSTR, CEPROPID, DWORD, HWND)
{
    rapi::NotSupported();
    return INVALID_HANDLE_VALUE;
}

CEOID CeReadRecordProps(HANDLE, DWORD, LPWORD, CEPROPID*, LPBYTE*, LPDWORD)
{
    rapi::NotSupported();
    return 0;
}

CEOID CeSeekDatabase(HANDLE, DWORD, DWORD, LPDWORD)
{
    rapi::NotSupported();
    return 0;
}

BOOL CeSetDatabaseInfo(CEOID, CEDBASEINFO*)
{
    rapi::NotSupported();
    return FALSE;
}

HANDLE CeFindFirstFile(LPCWSTR, LPCE_FIND_DATA)
{
    rapi::NotSupported();
    return INVALID_HANDLE_VALUE;
}

BOOL CeFindNextFile(HANDLE, LPCE_FIND_DATA)
{
    rapi::NotSupported();
    return FALSE;
}

BOOL CeFindClose(HANDLE)
{
    rapi::NotSupported();
    return FALSE;
}

BOOL CeFindAllFiles(LPCWSTR, DWORD, LPDWORD, LPLPCE_FIND_DATA)
{
    rapi::NotSupported();
    return FALSE;
}

BOOL CeFindAllDatabases(DWORD, WORD, LPWORD, LPLPCEDB_FIND_DATA)
{
    rapi::NotSupported();
    return FALSE;
}

BOOL CeSetEndOfFile(HANDLE)
{
    rapi::NotSupported();
    return FALSE;
}

BOOL CeCreateProcess(LPCWSTR, LPCWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION)
{
    rapi::NotSupported();
    return FALSE;
}

BOOL CeCopyFile(LPCWSTR, LPCWSTR, BOOL)
{
    rapi::NotSupported();
    return FALSE;
}

LONG CeRegEnumKeyEx(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPWSTR, LPDWORD, PFILETIME)
{
    rapi::NotSupported();
    return ERROR_CALL_NOT_IMPLEMENTED;
}

LONG CeRegEnumValue(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPDWORD, LPBYTE, LPDWORD)
{
    rapi::NotSupported();
    return ERROR_CALL_NOT_IMPLEMENTED;
}

LONG CeRegQueryInfoKey(HKEY, LPWSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD, PFILETIME)
{
    rapi::NotSupported();
    return ERROR_CALL_NOT_IMPLEMENTED;
}

BOOL CeCheckPassword(LPWSTR)
{
    rapi::NotSupported();
    return FALSE;
}

BOOL CeGetFileTime(HANDLE, LPFILETIME, LPFILETIME, LPFILETIME)
{
    rapi::NotSupported();
    return FALSE;
}

BOOL CeSetFileTime(HANDLE, LPFILETIME, LPFILETIME, LPFILETIME)
{
    rapi::NotSupported();
    return FALSE;
}

BOOL CeGetVersionEx(LPCEOSVERSIONINFO)
{
    rapi::NotSupported();
    return FALSE;
}

HWND CeGetWindow(HWND, UINT)
{
    rapi::NotSupported();
    return nullptr;
}

LONG CeGetWindowLong(HWND, int)
{
    rapi::NotSupported();
    return 0;
}

int CeGetWindowText(HWND, LPWSTR, int)
{
    rapi::NotSupported();
    return 0;
}

int CeGetClassName(HWND, LPWSTR, int)
{
    rapi::NotSupported();
    return 0;
}

void CeGlobalMemoryStatus(LPMEMORYSTATUS)
{
    rapi::NotSupported();
}

BOOL CeGetSystemPowerStatusEx(PSYSTEM_POWER_STATUS_EX, BOOL)
{
    rapi::NotSupported();
    return FALSE;
}

DWORD CeGetTempPath(DWORD, LPWSTR)
{
    rapi::NotSupported();
    return 0;
}

HANDLE CeFindFirstDatabaseEx(PCEGUID, DWORD)
{
    rapi::NotSupported();
    return INVALID_HANDLE_VALUE;
}

CEOID CeFindNextDatabaseEx(HANDLE, PCEGUID)
{
    rapi::NotSupported();
    return 0;
}

CEOID CeCreateDatabaseEx(PCEGUID, CEDBASEINFO*)
{
    rapi::NotSupported();
    return 0;
}

BOOL CeSetDatabaseInfoEx(PCEGUID, CEOID, CEDBASEINFO*)
{
    rapi::NotSupported();
    return FALSE;
}

HANDLE CeOpenDatabaseEx(PCEGUID, PCEOID, LPWSTR, CEPROPID, DWORD, CENOTIFYREQUEST*)
{
    rapi::NotSupported();
    return INVALID_HANDLE_VALUE;
}

BOOL CeDeleteDatabaseEx(PCEGUID, CEOID)
{
    rapi::NotSupported();
    return FALSE;
}

CEOID CeReadRecordPropsEx(HANDLE, DWORD, LPWORD, CEPROPID*, LPBYTE*, LPDWORD, HANDLE)
{
    rapi::NotSupported();
    return 0;
}

CEOID CeWriteRecordProps(HANDLE, CEOID, WORD, CEPROPVAL*)
{
    rapi::NotSupported();
    return 0;
}

BOOL CeMountDBVol(PCEGUID, LPWSTR, DWORD)
{
    rapi::NotSupported();
    return FALSE;
}

BOOL CeUnmountDBVol(PCEGUID)
{
    rapi::NotSupported();
    return FALSE;
}

BOOL CeFlushDBVol(PCEGUID)
{
    rapi::NotSupported();
    return FALSE;
}

BOOL CeEnumDBVolumes(PCEGUID, LPWSTR, DWORD)
{
    rapi::NotSupported();
    return FALSE;
}

BOOL CeOidGetInfoEx(PCEGUID, CEOID, CEOIDINFO*)
{
    rapi::NotSupported();
    return FALSE;
}

} // extern "C"
