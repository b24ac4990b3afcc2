// zzrapi: the handheld's unpacker for files the installer sends packed as ".zz".
//   GetZZRAPIVersion: replies "1" (wide).
//   DecompressFile: request = two wide zero-terminated paths, the packed temporary file and
//   the target; unpacks the one into the other and deletes the temporary.
#include "little_endian.h"
#include "zz.h"

#include "rapi.h"

#include <optional>
#include <string>
#include <vector>

// The device's store, when the program that loaded us is a device that can tell.
extern "C" BOOL GetStoreInformation(LPSTORE_INFORMATION information) __attribute__((weak));

namespace {

// The next zero-terminated wide string of the request, or nothing when none ends in it.
std::optional<std::u16string> nextPath(const BYTE* data, DWORD size, DWORD& offset)
{
    std::u16string path;
    while (offset + 1 < size) {
        const char16_t c = LoadLe16(data + offset);
        offset += 2;
        if (c == 0)
            return path.empty() ? std::nullopt : std::optional(path);
        path.push_back(c);
    }
    return std::nullopt;
}

bool readFile(const std::u16string& path, std::vector<BYTE>& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0;
    const DWORD size = GetFileSize(file, &high);
    bool ok = size != INVALID_FILE_SIZE && high == 0;
    if (ok) {
        bytes.resize(size);
        DWORD got = 0;
        ok = ReadFile(file, bytes.data(), size, &got, nullptr) && got == size;
    }
    CloseHandle(file);
    return ok;
}

bool fits(DWORD size)
{
    STORE_INFORMATION store{};
    if (!GetStoreInformation || !GetStoreInformation(&store) || size <= store.dwFreeSize)
        return true;
    SetLastError(ERROR_DISK_FULL);
    return false;
}

bool writeFile(const std::u16string& path, const BYTE* data, DWORD size)
{
    SetFileAttributesW(path.c_str(), 0);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, data, size, &written, nullptr) && written == size;
    CloseHandle(file);
    if (!ok)
        DeleteFileW(path.c_str()); // no half-unpacked file is left for the program to trip on
    return ok;
}

HRESULT failure()
{
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

} // namespace

extern "C" HRESULT GetZZRAPIVersion(DWORD, BYTE* pInput, DWORD* pcbOutput, BYTE** ppOutput, IRAPIStream*)
{
    LocalFree(pInput);
    static const char16_t version[] = u"1";
    BYTE* reply = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, sizeof version));
    if (!reply || !pcbOutput || !ppOutput) {
        LocalFree(reply);
        return E_OUTOFMEMORY;
    }
    std::copy(reinterpret_cast<const BYTE*>(version), reinterpret_cast<const BYTE*>(version) + sizeof version, reply);
    *pcbOutput = sizeof version;
    *ppOutput = reply;
    return S_OK;
}

extern "C" HRESULT DecompressFile(DWORD cbInput, BYTE* pInput, DWORD* pcbOutput, BYTE** ppOutput, IRAPIStream*)
{
    if (pcbOutput)
        *pcbOutput = 0;
    if (ppOutput)
        *ppOutput = nullptr;
    DWORD offset = 0;
    const std::optional<std::u16string> packed = pInput ? nextPath(pInput, cbInput, offset) : std::nullopt;
    const std::optional<std::u16string> target = packed ? nextPath(pInput, cbInput, offset) : std::nullopt;
    LocalFree(pInput);
    if (!target) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_INVALIDARG;
    }
    std::vector<BYTE> bytes;
    BYTE* unpacked = nullptr;
    DWORD size = 0;
    bool ok = readFile(*packed, bytes);
    // The temporary is of no use once read, whether or not it unpacks: the installer sends
    // the file again unpacked when this fails.
    DeleteFileW(packed->c_str());
    if (ok && !ZZDecompress(&unpacked, &size, bytes.data(), DWORD(bytes.size()))) {
        SetLastError(ERROR_INVALID_DATA);
        ok = false;
    }
    ok = ok && fits(size) && writeFile(*target, unpacked, size);
    const HRESULT result = ok ? S_OK : failure();
    ZZFree(unpacked);
    return result;
}
