// A stand-in "rapi.dll" for the bridge's tests: every remote name is exported (all but
// CeOidGetInfoEx when built as the older library), and a connection is answered
// QUIBO_TEST_RAPI_DELAY milliseconds of the layer's clock, which the test runs by hand, after the
// bridge begins to wait for it. Its events and clock come from the program that loads it.
#include "hostclock.h"

#include <windows.h>

#include <cstdlib>
#include <thread>

namespace {

std::thread g_answer;

struct InitRecord {
    DWORD cbSize;
    HANDLE heRapiInit;
    LONG hrRapiInit;
};

} // namespace

extern "C" {

LONG CeRapiInitEx(InitRecord* init)
{
    if (!init || init->cbSize != sizeof(InitRecord))
        return LONG(0x80070057); // E_INVALIDARG
    const char* delay = std::getenv("QUIBO_TEST_RAPI_DELAY");
    const int ms = delay ? std::atoi(delay) : 0;
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    init->heRapiInit = event;
    init->hrRapiInit = 0;
    g_answer = std::thread([event, ms] {
        while (HostClockWaiters() == 0)
            std::this_thread::yield();
        Sleep(DWORD(ms)); // moves the clock; the bridge's wait has seen the move when it returns
        SetEvent(event);
    });
    return 0;
}

LONG CeRapiUninit()
{
    if (g_answer.joinable())
        g_answer.join();
    return 0;
}

// clang-format off
#define STUB(name) \
    LONG name() { return 0; }
STUB(CeRapiInit) STUB(CeRapiGetError) STUB(CeRapiFreeBuffer) STUB(CeRapiInvoke) STUB(CeCreateDatabase) STUB(CeDeleteDatabase)
STUB(CeDeleteRecord) STUB(CeFindFirstDatabase) STUB(CeFindNextDatabase) STUB(CeOidGetInfo) STUB(CeOpenDatabase) STUB(CeReadRecordProps)
STUB(CeSeekDatabase) STUB(CeSetDatabaseInfo) STUB(CeFindFirstFile) STUB(CeFindNextFile) STUB(CeFindClose) STUB(CeGetFileAttributes)
STUB(CeSetFileAttributes) STUB(CeCreateFile) STUB(CeReadFile) STUB(CeWriteFile) STUB(CeCloseHandle) STUB(CeFindAllFiles)
STUB(CeFindAllDatabases) STUB(CeGetLastError) STUB(CeSetFilePointer) STUB(CeSetEndOfFile) STUB(CeCreateDirectory) STUB(CeRemoveDirectory)
STUB(CeCreateProcess) STUB(CeMoveFile) STUB(CeCopyFile) STUB(CeDeleteFile) STUB(CeGetFileSize) STUB(CeRegOpenKeyEx) STUB(CeRegEnumKeyEx)
STUB(CeRegCreateKeyEx) STUB(CeRegCloseKey) STUB(CeRegDeleteKey) STUB(CeRegEnumValue) STUB(CeRegDeleteValue) STUB(CeRegQueryInfoKey)
STUB(CeRegQueryValueEx) STUB(CeRegSetValueEx) STUB(CeGetStoreInformation) STUB(CeGetSystemMetrics) STUB(CeGetDesktopDeviceCaps)
STUB(CeGetSystemInfo) STUB(CeSHCreateShortcut) STUB(CeSHGetShortcutTarget) STUB(CeCheckPassword) STUB(CeGetFileTime) STUB(CeSetFileTime)
STUB(CeGetVersionEx) STUB(CeGetWindow) STUB(CeGetWindowLong) STUB(CeGetWindowText) STUB(CeGetClassName) STUB(CeGlobalMemoryStatus)
STUB(CeGetSystemPowerStatusEx) STUB(CeGetTempPath) STUB(CeGetSpecialFolderPath) STUB(CeFindFirstDatabaseEx) STUB(CeFindNextDatabaseEx)
STUB(CeCreateDatabaseEx) STUB(CeSetDatabaseInfoEx) STUB(CeOpenDatabaseEx) STUB(CeDeleteDatabaseEx) STUB(CeReadRecordPropsEx)
STUB(CeWriteRecordProps) STUB(CeMountDBVol) STUB(CeUnmountDBVol) STUB(CeFlushDBVol) STUB(CeEnumDBVolumes)
#ifndef RAPI_DOUBLE_OLDER
STUB(CeOidGetInfoEx)
#endif
// clang-format on
}
