// The calls of the remote API that the handheld does not offer (its object-store databases,
// file search, processes, windows and the rest): each fails, and CeGetLastError and the
// thread's last error say ERROR_CALL_NOT_IMPLEMENTED.
#include "connection.h"

// A call's result type, name and the result it fails with, then its parameter types.
#define UNSUPPORTED(Result, Name, failure, ...)                                                                                            \
    Result Name(__VA_ARGS__)                                                                                                               \
    {                                                                                                                                      \
        rapi::NotSupported();                                                                                                              \
        return failure;                                                                                                                    \
    }

extern "C" {

UNSUPPORTED(CEOID, CeCreateDatabase, 0, LPWSTR, DWORD, WORD, SORTORDERSPEC*)
UNSUPPORTED(BOOL, CeDeleteDatabase, FALSE, CEOID)
UNSUPPORTED(BOOL, CeDeleteRecord, FALSE, HANDLE, CEOID)
UNSUPPORTED(HANDLE, CeFindFirstDatabase, INVALID_HANDLE_VALUE, DWORD)
UNSUPPORTED(CEOID, CeFindNextDatabase, 0, HANDLE)
UNSUPPORTED(BOOL, CeOidGetInfo, FALSE, CEOID, CEOIDINFO*)
UNSUPPORTED(HANDLE, CeOpenDatabase, INVALID_HANDLE_VALUE, PCEOID, LPWSTR, CEPROPID, DWORD, HWND)
UNSUPPORTED(CEOID, CeReadRecordProps, 0, HANDLE, DWORD, LPWORD, CEPROPID*, LPBYTE*, LPDWORD)
UNSUPPORTED(CEOID, CeSeekDatabase, 0, HANDLE, DWORD, DWORD, LPDWORD)
UNSUPPORTED(BOOL, CeSetDatabaseInfo, FALSE, CEOID, CEDBASEINFO*)
UNSUPPORTED(HANDLE, CeFindFirstFile, INVALID_HANDLE_VALUE, LPCWSTR, LPCE_FIND_DATA)
UNSUPPORTED(BOOL, CeFindNextFile, FALSE, HANDLE, LPCE_FIND_DATA)
UNSUPPORTED(BOOL, CeFindClose, FALSE, HANDLE)
UNSUPPORTED(BOOL, CeFindAllFiles, FALSE, LPCWSTR, DWORD, LPDWORD, LPLPCE_FIND_DATA)
UNSUPPORTED(BOOL, CeFindAllDatabases, FALSE, DWORD, WORD, LPWORD, LPLPCEDB_FIND_DATA)
UNSUPPORTED(BOOL, CeSetEndOfFile, FALSE, HANDLE)
UNSUPPORTED(BOOL, CeCreateProcess, FALSE, LPCWSTR, LPCWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPWSTR,
            LPSTARTUPINFOW, LPPROCESS_INFORMATION)
UNSUPPORTED(BOOL, CeCopyFile, FALSE, LPCWSTR, LPCWSTR, BOOL)
UNSUPPORTED(LONG, CeRegEnumKeyEx, ERROR_CALL_NOT_IMPLEMENTED, HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPWSTR, LPDWORD, PFILETIME)
UNSUPPORTED(LONG, CeRegEnumValue, ERROR_CALL_NOT_IMPLEMENTED, HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPDWORD, LPBYTE, LPDWORD)
UNSUPPORTED(LONG, CeRegQueryInfoKey, ERROR_CALL_NOT_IMPLEMENTED, HKEY, LPWSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD,
            LPDWORD, LPDWORD, LPDWORD, PFILETIME)
UNSUPPORTED(BOOL, CeCheckPassword, FALSE, LPWSTR)
UNSUPPORTED(BOOL, CeGetFileTime, FALSE, HANDLE, LPFILETIME, LPFILETIME, LPFILETIME)
UNSUPPORTED(BOOL, CeSetFileTime, FALSE, HANDLE, LPFILETIME, LPFILETIME, LPFILETIME)
UNSUPPORTED(BOOL, CeGetVersionEx, FALSE, LPCEOSVERSIONINFO)
UNSUPPORTED(HWND, CeGetWindow, nullptr, HWND, UINT)
UNSUPPORTED(LONG, CeGetWindowLong, 0, HWND, int)
UNSUPPORTED(int, CeGetWindowText, 0, HWND, LPWSTR, int)
UNSUPPORTED(int, CeGetClassName, 0, HWND, LPWSTR, int)
UNSUPPORTED(BOOL, CeGetSystemPowerStatusEx, FALSE, PSYSTEM_POWER_STATUS_EX, BOOL)
UNSUPPORTED(DWORD, CeGetTempPath, 0, DWORD, LPWSTR)
UNSUPPORTED(HANDLE, CeFindFirstDatabaseEx, INVALID_HANDLE_VALUE, PCEGUID, DWORD)
UNSUPPORTED(CEOID, CeFindNextDatabaseEx, 0, HANDLE, PCEGUID)
UNSUPPORTED(CEOID, CeCreateDatabaseEx, 0, PCEGUID, CEDBASEINFO*)
UNSUPPORTED(BOOL, CeSetDatabaseInfoEx, FALSE, PCEGUID, CEOID, CEDBASEINFO*)
UNSUPPORTED(HANDLE, CeOpenDatabaseEx, INVALID_HANDLE_VALUE, PCEGUID, PCEOID, LPWSTR, CEPROPID, DWORD, CENOTIFYREQUEST*)
UNSUPPORTED(BOOL, CeDeleteDatabaseEx, FALSE, PCEGUID, CEOID)
UNSUPPORTED(CEOID, CeReadRecordPropsEx, 0, HANDLE, DWORD, LPWORD, CEPROPID*, LPBYTE*, LPDWORD, HANDLE)
UNSUPPORTED(CEOID, CeWriteRecordProps, 0, HANDLE, CEOID, WORD, CEPROPVAL*)
UNSUPPORTED(BOOL, CeMountDBVol, FALSE, PCEGUID, LPWSTR, DWORD)
UNSUPPORTED(BOOL, CeUnmountDBVol, FALSE, PCEGUID)
UNSUPPORTED(BOOL, CeFlushDBVol, FALSE, PCEGUID)
UNSUPPORTED(BOOL, CeEnumDBVolumes, FALSE, PCEGUID, LPWSTR, DWORD)
UNSUPPORTED(BOOL, CeOidGetInfoEx, FALSE, PCEGUID, CEOID, CEOIDINFO*)

void CeGlobalMemoryStatus(LPMEMORYSTATUS)
{
    rapi::NotSupported();
}

} // extern "C"
