// The calls the handheld answers: connection, files, shortcuts, registry, the device's
// description and remote invocation of device libraries.
#include "connection.h"

#include <algorithm>
#include <cstring>

using namespace handheld;
using rapi::Call;
using rapi::Request;
using rapi::Wire;

namespace {

std::u16string_view text(LPCWSTR value)
{
    return value ? std::u16string_view(value) : std::u16string_view();
}

// The request's reply as one result word, or `failure` when the call did not go through.
template<typename Result> Result simpleCall(const MessageWriter& request, Result failure)
{
    std::vector<uint8_t> reply;
    MessageReader reader(reply);
    if (!Call(request, reply, reader))
        return failure;
    const uint32_t result = reader.u32();
    if (!reader.complete()) {
        rapi::BadReply();
        return failure;
    }
    return Result(result);
}

BOOL pathCall(Op op, LPCWSTR path)
{
    if (!path) {
        rapi::SetErrors(ERROR_INVALID_PARAMETER, S_OK);
        return FALSE;
    }
    return simpleCall<BOOL>(Request(op).text(path), FALSE);
}

// Registry calls answer with their own result code, which is also the device's last error.
LONG registryCall(const MessageWriter& request)
{
    std::vector<uint8_t> reply;
    MessageReader reader(reply);
    if (!Call(request, reply, reader))
        return LONG(rapi::DeviceError());
    if (!reader.complete()) {
        rapi::BadReply();
        return ERROR_INVALID_DATA;
    }
    return LONG(rapi::DeviceError());
}

// Opening or creating a key answers with the key and its disposition, given where there is one.
LONG keyCall(const MessageWriter& request, PHKEY key, LPDWORD disposition)
{
    std::vector<uint8_t> reply;
    MessageReader reader(reply);
    if (!Call(request, reply, reader))
        return LONG(rapi::DeviceError());
    const uint32_t id = reader.u32();
    const DWORD created = reader.u32();
    if (!reader.complete()) {
        rapi::BadReply();
        return ERROR_INVALID_DATA;
    }
    if (id) {
        *key = reinterpret_cast<HKEY>(uintptr_t(id));
        if (disposition)
            *disposition = created;
    }
    return LONG(rapi::DeviceError());
}

WORD processorType(uint32_t architecture)
{
    switch (architecture) {
    case PROCESSOR_ARCHITECTURE_MIPS: return 4000;
    case PROCESSOR_ARCHITECTURE_PPC: return 821;
    case PROCESSOR_ARCHITECTURE_SHX: return 10003;
    case PROCESSOR_ARCHITECTURE_ARM: return 2577;
    default: return 0;
    }
}

} // namespace

extern "C" {

HRESULT CeRapiInit(void)
{
    return rapi::ConnectNow();
}

HRESULT CeRapiInitEx(RAPIINIT* pRapiInit)
{
    return rapi::Start(pRapiInit);
}

HRESULT CeRapiUninit(void)
{
    return rapi::Stop();
}

HRESULT CeRapiGetError(void)
{
    return rapi::ConnectionError();
}

HRESULT CeRapiFreeBuffer(LPVOID Buffer)
{
    LocalFree(Buffer);
    return S_OK;
}

HRESULT CeRapiInvoke(LPCWSTR pDllPath, LPCWSTR pFunctionName, DWORD cbInput, BYTE* pInput, DWORD* pcbOutput, BYTE** ppOutput,
                     IRAPIStream** ppIRAPIStream, DWORD)
{
    // The request block is ours from here on, whatever happens.
    std::vector<uint8_t> input(pInput, pInput ? pInput + cbInput : pInput);
    LocalFree(pInput);
    if (pcbOutput)
        *pcbOutput = 0;
    if (ppOutput)
        *ppOutput = nullptr;
    if (ppIRAPIStream) {
        rapi::NotSupported(); // no streamed mode: a block in, a block out
        return E_NOTIMPL;
    }
    if (!pDllPath || !pFunctionName || input.size() > kMaxChunk) {
        rapi::SetErrors(ERROR_INVALID_PARAMETER, E_INVALIDARG);
        return E_INVALIDARG;
    }
    std::vector<uint8_t> reply;
    MessageReader reader(reply);
    if (!Call(Request(Op::Invoke).text(pDllPath).text(pFunctionName).bytes(input.data(), uint32_t(input.size())), reply, reader))
        return rapi::ConnectionError();
    const HRESULT result = HRESULT(reader.u32());
    const std::vector<uint8_t> output = reader.bytes();
    if (!reader.complete()) {
        rapi::BadReply();
        return E_FAIL;
    }
    if (!output.empty() && ppOutput) {
        *ppOutput = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, output.size()));
        if (!*ppOutput)
            return E_OUTOFMEMORY;
        std::memcpy(*ppOutput, output.data(), output.size());
        if (pcbOutput)
            *pcbOutput = DWORD(output.size());
    }
    return result;
}

DWORD CeGetLastError(void)
{
    return rapi::DeviceError();
}

DWORD CeGetFileAttributes(LPCWSTR lpFileName)
{
    if (!lpFileName) {
        rapi::SetErrors(ERROR_INVALID_PARAMETER, S_OK);
        return INVALID_FILE_ATTRIBUTES;
    }
    return simpleCall<DWORD>(Request(Op::FileAttributes).text(lpFileName), INVALID_FILE_ATTRIBUTES);
}

BOOL CeSetFileAttributes(LPCWSTR lpFileName, DWORD dwFileAttributes)
{
    if (!lpFileName) {
        rapi::SetErrors(ERROR_INVALID_PARAMETER, S_OK);
        return FALSE;
    }
    return simpleCall<BOOL>(Request(Op::SetFileAttributes).text(lpFileName).u32(dwFileAttributes), FALSE);
}

BOOL CeCreateDirectory(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES)
{
    return pathCall(Op::CreateDirectory, lpPathName);
}

BOOL CeRemoveDirectory(LPCWSTR lpPathName)
{
    return pathCall(Op::RemoveDirectory, lpPathName);
}

BOOL CeDeleteFile(LPCWSTR lpFileName)
{
    return pathCall(Op::DeleteFile, lpFileName);
}

BOOL CeMoveFile(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName)
{
    if (!lpExistingFileName || !lpNewFileName) {
        rapi::SetErrors(ERROR_INVALID_PARAMETER, S_OK);
        return FALSE;
    }
    return simpleCall<BOOL>(Request(Op::MoveFile).text(lpExistingFileName).text(lpNewFileName), FALSE);
}

HANDLE CeCreateFile(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, LPSECURITY_ATTRIBUTES, DWORD dwCreationDistribution,
                    DWORD dwFlagsAndAttributes, HANDLE hTemplateFile)
{
    if (!lpFileName || hTemplateFile) {
        rapi::SetErrors(ERROR_INVALID_PARAMETER, S_OK);
        return INVALID_HANDLE_VALUE;
    }
    const uint32_t id = simpleCall<uint32_t>(Request(Op::CreateFile)
                                                 .text(lpFileName)
                                                 .u32(dwDesiredAccess)
                                                 .u32(dwShareMode)
                                                 .u32(dwCreationDistribution)
                                                 .u32(dwFlagsAndAttributes),
                                             0);
    return id ? reinterpret_cast<HANDLE>(uintptr_t(id)) : INVALID_HANDLE_VALUE;
}

BOOL CeReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped)
{
    if (lpNumberOfBytesRead)
        *lpNumberOfBytesRead = 0;
    if ((!lpBuffer && nNumberOfBytesToRead) || lpOverlapped) {
        rapi::SetErrors(ERROR_INVALID_PARAMETER, S_OK);
        return FALSE;
    }
    DWORD total = 0;
    do {
        const uint32_t wanted = std::min(nNumberOfBytesToRead - total, kMaxChunk);
        std::vector<uint8_t> reply;
        MessageReader reader(reply);
        if (!Call(Request(Op::ReadFile).u32(Wire(hFile)).u32(wanted), reply, reader))
            return FALSE;
        const BOOL ok = reader.u32();
        const std::vector<uint8_t> data = reader.bytes();
        if (!reader.complete() || data.size() > wanted) {
            rapi::BadReply();
            return FALSE;
        }
        if (!ok)
            return FALSE;
        if (!data.empty())
            std::memcpy(static_cast<uint8_t*>(lpBuffer) + total, data.data(), data.size());
        total += DWORD(data.size());
        if (lpNumberOfBytesRead)
            *lpNumberOfBytesRead = total;
        if (data.size() < wanted)
            break; // the end of the file
    } while (total < nNumberOfBytesToRead);
    return TRUE;
}

BOOL CeWriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped)
{
    if (lpNumberOfBytesWritten)
        *lpNumberOfBytesWritten = 0;
    if ((!lpBuffer && nNumberOfBytesToWrite) || lpOverlapped) {
        rapi::SetErrors(ERROR_INVALID_PARAMETER, S_OK);
        return FALSE;
    }
    DWORD total = 0;
    do {
        const uint32_t count = std::min(nNumberOfBytesToWrite - total, kMaxChunk);
        std::vector<uint8_t> reply;
        MessageReader reader(reply);
        if (!Call(Request(Op::WriteFile).u32(Wire(hFile)).bytes(static_cast<const uint8_t*>(lpBuffer) + total, count), reply, reader))
            return FALSE;
        const BOOL ok = reader.u32();
        const uint32_t written = reader.u32();
        if (!reader.complete() || written > count) {
            rapi::BadReply();
            return FALSE;
        }
        total += written;
        if (lpNumberOfBytesWritten)
            *lpNumberOfBytesWritten = total;
        if (!ok)
            return FALSE;
    } while (total < nNumberOfBytesToWrite);
    return TRUE;
}

BOOL CeCloseHandle(HANDLE hObject)
{
    return simpleCall<BOOL>(Request(Op::CloseHandle).u32(Wire(hObject)), FALSE);
}

DWORD CeSetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod)
{
    std::vector<uint8_t> reply;
    MessageReader reader(reply);
    if (!Call(Request(Op::SetFilePointer)
                  .u32(Wire(hFile))
                  .u32(uint32_t(lDistanceToMove))
                  .u32(lpDistanceToMoveHigh != nullptr)
                  .u32(lpDistanceToMoveHigh ? uint32_t(*lpDistanceToMoveHigh) : 0)
                  .u32(dwMoveMethod),
              reply, reader))
        return INVALID_SET_FILE_POINTER;
    const DWORD low = reader.u32();
    const LONG high = LONG(reader.u32());
    if (!reader.complete()) {
        rapi::BadReply();
        return INVALID_SET_FILE_POINTER;
    }
    if (lpDistanceToMoveHigh)
        *lpDistanceToMoveHigh = high;
    return low;
}

DWORD CeGetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh)
{
    std::vector<uint8_t> reply;
    MessageReader reader(reply);
    if (!Call(Request(Op::GetFileSize).u32(Wire(hFile)), reply, reader))
        return INVALID_FILE_SIZE;
    const DWORD low = reader.u32();
    const DWORD high = reader.u32();
    if (!reader.complete()) {
        rapi::BadReply();
        return INVALID_FILE_SIZE;
    }
    if (lpFileSizeHigh)
        *lpFileSizeHigh = high;
    return low;
}

DWORD CeSHCreateShortcut(LPWSTR lpszShortcut, LPWSTR lpszTarget)
{
    if (!lpszShortcut || !lpszTarget) {
        rapi::SetErrors(ERROR_INVALID_PARAMETER, S_OK);
        return 0;
    }
    return simpleCall<DWORD>(Request(Op::CreateShortcut).text(lpszShortcut).text(lpszTarget), 0);
}

BOOL CeSHGetShortcutTarget(LPWSTR lpszShortcut, LPWSTR lpszTarget, INT cbMax)
{
    if (!lpszShortcut || !lpszTarget || cbMax < 2) {
        rapi::SetErrors(ERROR_INVALID_PARAMETER, S_OK);
        return FALSE;
    }
    std::vector<uint8_t> reply;
    MessageReader reader(reply);
    if (!Call(Request(Op::ShortcutTarget).text(lpszShortcut), reply, reader))
        return FALSE;
    const BOOL ok = reader.u32();
    const std::u16string target = reader.text();
    if (!reader.complete()) {
        rapi::BadReply();
        return FALSE;
    }
    // The buffer's size is taken in bytes, so a caller that meant characters is still safe.
    if (!ok || target.size() + 1 > size_t(cbMax) / sizeof(WCHAR)) {
        if (ok)
            rapi::SetErrors(ERROR_INSUFFICIENT_BUFFER, S_OK);
        return FALSE;
    }
    std::copy(target.begin(), target.end(), lpszTarget);
    lpszTarget[target.size()] = 0;
    return TRUE;
}

LONG CeRegOpenKeyEx(HKEY hKey, LPCWSTR lpszSubKey, DWORD, REGSAM samDesired, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    return keyCall(Request(Op::RegOpenKey).u32(Wire(hKey)).text(text(lpszSubKey)).u32(samDesired), phkResult, nullptr);
}

LONG CeRegCreateKeyEx(HKEY hKey, LPCWSTR lpszSubKey, DWORD, LPWSTR, DWORD fdwOptions, REGSAM samDesired, LPSECURITY_ATTRIBUTES,
                      PHKEY phkResult, LPDWORD lpdwDisposition)
{
    if (!phkResult || !lpszSubKey)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    return keyCall(Request(Op::RegCreateKey).u32(Wire(hKey)).text(lpszSubKey).u32(fdwOptions).u32(samDesired), phkResult, lpdwDisposition);
}

LONG CeRegCloseKey(HKEY hKey)
{
    return registryCall(Request(Op::RegCloseKey).u32(Wire(hKey)));
}

LONG CeRegDeleteKey(HKEY hKey, LPCWSTR lpszSubKey)
{
    if (!lpszSubKey)
        return ERROR_INVALID_PARAMETER;
    return registryCall(Request(Op::RegDeleteKey).u32(Wire(hKey)).text(lpszSubKey));
}

LONG CeRegDeleteValue(HKEY hKey, LPCWSTR lpszValueName)
{
    return registryCall(Request(Op::RegDeleteValue).u32(Wire(hKey)).text(text(lpszValueName)));
}

LONG CeRegQueryValueEx(HKEY hKey, LPCWSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    if (lpData && !lpcbData)
        return ERROR_INVALID_PARAMETER;
    const bool wantsData = lpData != nullptr;
    std::vector<uint8_t> reply;
    MessageReader reader(reply);
    if (!Call(Request(Op::RegQueryValue)
                  .u32(Wire(hKey))
                  .text(text(lpValueName))
                  .u32(wantsData)
                  .u32(wantsData ? std::min<DWORD>(*lpcbData, kMaxChunk) : 0),
              reply, reader))
        return LONG(rapi::DeviceError());
    const DWORD type = reader.u32();
    const DWORD size = reader.u32();
    const std::vector<uint8_t> data = reader.bytes();
    const LONG result = LONG(rapi::DeviceError());
    if (!reader.complete() || (wantsData && data.size() > *lpcbData)) {
        rapi::BadReply();
        return ERROR_INVALID_DATA;
    }
    if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        if (lpType)
            *lpType = type;
        if (lpcbData)
            *lpcbData = size;
    }
    if (result == ERROR_SUCCESS && wantsData && !data.empty())
        std::memcpy(lpData, data.data(), data.size());
    return result;
}

LONG CeRegSetValueEx(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, LPBYTE lpData, DWORD cbData)
{
    if ((!lpData && cbData) || cbData > kMaxChunk)
        return ERROR_INVALID_PARAMETER;
    return registryCall(Request(Op::RegSetValue).u32(Wire(hKey)).text(text(lpValueName)).u32(dwType).bytes(lpData, cbData));
}

BOOL CeGetStoreInformation(LPSTORE_INFORMATION lpsi)
{
    if (!lpsi) {
        rapi::SetErrors(ERROR_INVALID_PARAMETER, S_OK);
        return FALSE;
    }
    std::vector<uint8_t> reply;
    MessageReader reader(reply);
    if (!Call(Request(Op::StoreInformation), reply, reader))
        return FALSE;
    const uint64_t size = reader.u64();
    const uint64_t free = reader.u64();
    if (!reader.complete()) {
        rapi::BadReply();
        return FALSE;
    }
    lpsi->dwStoreSize = DWORD(std::min<uint64_t>(size, 0xFFFFFFFFu));
    lpsi->dwFreeSize = DWORD(std::min<uint64_t>(free, 0xFFFFFFFFu));
    return TRUE;
}

INT CeGetSystemMetrics(INT nIndex)
{
    return simpleCall<INT>(Request(Op::SystemMetrics).u32(uint32_t(nIndex)), 0);
}

INT CeGetDesktopDeviceCaps(INT nIndex)
{
    return simpleCall<INT>(Request(Op::DeviceCaps).u32(uint32_t(nIndex)), 0);
}

void CeGetSystemInfo(LPSYSTEM_INFO lpSystemInfo)
{
    if (!lpSystemInfo)
        return;
    const uint32_t none = 0xFFFFFFFFu;
    const uint32_t architecture = simpleCall<uint32_t>(Request(Op::SystemInfo), none);
    if (architecture == none)
        return; // the record is left as the caller filled it
    std::memset(lpSystemInfo, 0, sizeof(*lpSystemInfo));
    lpSystemInfo->wProcessorArchitecture = WORD(architecture);
    lpSystemInfo->dwPageSize = 4096;
    lpSystemInfo->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(uintptr_t(0x10000));
    lpSystemInfo->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(uintptr_t(0x7FFFFFFF));
    lpSystemInfo->dwActiveProcessorMask = 1;
    lpSystemInfo->dwNumberOfProcessors = 1;
    lpSystemInfo->dwProcessorType = processorType(architecture);
    lpSystemInfo->dwAllocationGranularity = 65536;
}

DWORD CeGetSpecialFolderPath(int nFolder, DWORD nBufferLength, LPWSTR lpBuffer)
{
    std::vector<uint8_t> reply;
    MessageReader reader(reply);
    if (!Call(Request(Op::SpecialFolder).u32(uint32_t(nFolder)), reply, reader))
        return 0;
    const std::u16string path = reader.text();
    if (!reader.complete()) {
        rapi::BadReply();
        return 0;
    }
    if (path.empty())
        return 0;
    if (!lpBuffer || path.size() + 1 > nBufferLength) {
        rapi::SetErrors(ERROR_INSUFFICIENT_BUFFER, S_OK);
        return 0;
    }
    std::copy(path.begin(), path.end(), lpBuffer);
    lpBuffer[path.size()] = 0;
    return DWORD(path.size());
}

} // extern "C"
