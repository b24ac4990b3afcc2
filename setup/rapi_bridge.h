// The device bridge: loads the synchronisation service's "rapi.dll" at run time, resolves
// its functions, connects to the handheld within a timeout and forwards calls to it.
#pragma once

#include <rapi.h>

// Every remote function, in the order a connection resolves them.
// clang-format off
#define RAPI_FUNCTIONS(X)                                                                                     \
    X(CeRapiInit) X(CeRapiInitEx) X(CeRapiUninit) X(CeRapiGetError) X(CeRapiFreeBuffer) X(CeRapiInvoke)       \
    X(CeCreateDatabase) X(CeDeleteDatabase) X(CeDeleteRecord) X(CeFindFirstDatabase) X(CeFindNextDatabase)    \
    X(CeOidGetInfo) X(CeOpenDatabase) X(CeReadRecordProps) X(CeSeekDatabase) X(CeSetDatabaseInfo)            \
    X(CeFindFirstFile) X(CeFindNextFile) X(CeFindClose) X(CeGetFileAttributes) X(CeSetFileAttributes)         \
    X(CeCreateFile) X(CeReadFile) X(CeWriteFile) X(CeCloseHandle) X(CeFindAllFiles) X(CeFindAllDatabases)     \
    X(CeGetLastError) X(CeSetFilePointer) X(CeSetEndOfFile) X(CeCreateDirectory) X(CeRemoveDirectory)         \
    X(CeCreateProcess) X(CeMoveFile) X(CeCopyFile) X(CeDeleteFile) X(CeGetFileSize) X(CeRegOpenKeyEx)         \
    X(CeRegEnumKeyEx) X(CeRegCreateKeyEx) X(CeRegCloseKey) X(CeRegDeleteKey) X(CeRegEnumValue)                \
    X(CeRegDeleteValue) X(CeRegQueryInfoKey) X(CeRegQueryValueEx) X(CeRegSetValueEx)                          \
    X(CeGetStoreInformation) X(CeGetSystemMetrics) X(CeGetDesktopDeviceCaps) X(CeGetSystemInfo)               \
    X(CeSHCreateShortcut) X(CeSHGetShortcutTarget) X(CeCheckPassword) X(CeGetFileTime) X(CeSetFileTime)       \
    X(CeGetVersionEx) X(CeGetWindow) X(CeGetWindowLong) X(CeGetWindowText) X(CeGetClassName)                  \
    X(CeGlobalMemoryStatus) X(CeGetSystemPowerStatusEx) X(CeGetTempPath) X(CeGetSpecialFolderPath)            \
    X(CeFindFirstDatabaseEx) X(CeFindNextDatabaseEx) X(CeCreateDatabaseEx) X(CeSetDatabaseInfoEx)             \
    X(CeOpenDatabaseEx) X(CeDeleteDatabaseEx) X(CeReadRecordPropsEx) X(CeWriteRecordProps) X(CeMountDBVol)    \
    X(CeUnmountDBVol) X(CeFlushDBVol) X(CeEnumDBVolumes) X(CeOidGetInfoEx)
// clang-format on

// One connection: the loaded library, then one pointer per remote function.
struct RAPI {
    HMODULE hModule;
#define RAPI_FIELD(name) decltype(&::name) pfn##name;
    RAPI_FUNCTIONS(RAPI_FIELD)
#undef RAPI_FIELD
};

// Loads "rapi.dll" and connects within timeout milliseconds; null when any step fails.
RAPI* RapiConnect(DWORD timeout);
// The same with the library given by name or path, for checks against a stand-in library.
RAPI* RapiConnectLibrary(LPCWSTR library, DWORD timeout);
void RapiDisconnect(RAPI* pRapi);

// The forwarding calls: RapiCeCreateFile(pRapi, ...) passes exactly CeCreateFile's own
// arguments to the connection's function and returns its result unchanged.
template<auto Field> struct RapiForward;
template<typename R, typename... A, R (*RAPI::*Field)(A...)> struct RapiForward<Field> {
    static R Call(RAPI* pRapi, A... args) { return (pRapi->*Field)(args...); }
};
#define RAPI_FORWARD(name) inline constexpr auto Rapi##name = &RapiForward<&RAPI::pfn##name>::Call;
RAPI_FUNCTIONS(RAPI_FORWARD)
#undef RAPI_FORWARD
