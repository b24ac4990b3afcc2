#include "sl_internal.h"

#include "rapi_bridge.h"
#include "unzipper.h"
#include "utf.h"

#include <algorithm>
#include <cstring>

namespace sl {

namespace {

bool onHandheld(const SetupToolkit_m_t& m)
{
    return m.kind == TARGET_HANDHELD && m.connection;
}

} // namespace

std::u16string Wide(std::string_view text)
{
    return Utf8ToUtf16(text);
}

std::string Narrow(std::u16string_view text)
{
    return Utf16ToUtf8(text);
}

ZIPENTRY* FindEntry(ZIPFILE* archive, std::string_view name)
{
    if (!archive)
        return nullptr;
    std::string key(name);
    std::replace(key.begin(), key.end(), '\\', '/');
    if (!key.empty() && key[0] == '/')
        key.erase(0, 1);
    auto it = archive->Find(istring(key));
    return it == archive->end() ? nullptr : it->value;
}

std::string RootName(HKEY root)
{
    if (root == HKEY_LOCAL_MACHINE)
        return "HKLM\\";
    if (root == HKEY_CURRENT_USER)
        return "HKCU\\";
    if (root == HKEY_CLASSES_ROOT)
        return "HKCR\\";
    return "";
}

std::string ParentOf(const std::string& path)
{
    const size_t split = path.find_last_of("\\/");
    return split == std::string::npos ? std::string() : path.substr(0, split);
}

DWORD GetAttributes(const SetupToolkit_m_t& m, const std::string& path)
{
    const std::u16string wide = Wide(path);
    return onHandheld(m) ? RapiCeGetFileAttributes(m.connection, wide.c_str()) : GetFileAttributesW(wide.c_str());
}

void ClearAttributes(const SetupToolkit_m_t& m, const std::string& path)
{
    const std::u16string wide = Wide(path);
    if (onHandheld(m))
        RapiCeSetFileAttributes(m.connection, wide.c_str(), 0);
    else
        SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
}

bool CreateFolder(const SetupToolkit_m_t& m, const std::string& path)
{
    const std::u16string wide = Wide(path);
    return onHandheld(m) ? RapiCeCreateDirectory(m.connection, wide.c_str(), nullptr) : CreateDirectoryW(wide.c_str(), nullptr);
}

HANDLE CreateForWrite(const SetupToolkit_m_t& m, const std::string& path)
{
    const std::u16string wide = Wide(path);
    if (onHandheld(m))
        return RapiCeCreateFile(m.connection, wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    return CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
}

bool Write(const SetupToolkit_m_t& m, HANDLE file, const BYTE* data, DWORD cb)
{
    DWORD written = 0;
    const BOOL ok
        = onHandheld(m) ? RapiCeWriteFile(m.connection, file, data, cb, &written, nullptr) : WriteFile(file, data, cb, &written, nullptr);
    return ok && written == cb;
}

void Close(const SetupToolkit_m_t& m, HANDLE file)
{
    if (onHandheld(m))
        RapiCeCloseHandle(m.connection, file);
    else
        CloseHandle(file);
}

void Delete(const SetupToolkit_m_t& m, const std::string& path)
{
    const std::u16string wide = Wide(path);
    if (onHandheld(m))
        RapiCeDeleteFile(m.connection, wide.c_str());
    else
        DeleteFileW(wide.c_str());
}

bool ReadWhole(const SetupToolkit_m_t& m, const std::string& path, std::string* bytes)
{
    bytes->clear();
    const std::u16string wide = Wide(path);
    const bool remote = onHandheld(m);
    HANDLE file = remote ? RapiCeCreateFile(m.connection, wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                         : CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE || !file)
        return false;
    DWORD high = 0;
    const DWORD size = remote ? RapiCeGetFileSize(m.connection, file, &high) : GetFileSize(file, &high);
    bool ok = size != INVALID_FILE_SIZE && high == 0;
    if (ok) {
        bytes->resize(size);
        DWORD done = 0;
        while (ok && done < size) {
            DWORD got = 0;
            ok = (remote ? RapiCeReadFile(m.connection, file, bytes->data() + done, size - done, &got, nullptr)
                         : ReadFile(file, bytes->data() + done, size - done, &got, nullptr))
                 && got > 0;
            done += got;
        }
    }
    Close(m, file);
    if (!ok)
        bytes->clear();
    return ok;
}

LONG RegCreate(const SetupToolkit_m_t& m, HKEY root, const std::string& key, HKEY* handle)
{
    const std::u16string wide = Wide(key);
    WCHAR emptyClass[1] = {0};
    DWORD disposition = 0;
    if (onHandheld(m))
        return RapiCeRegCreateKeyEx(m.connection, root, wide.c_str(), 0, emptyClass, 0, 0, nullptr, handle, &disposition);
    return RegCreateKeyExW(root, wide.c_str(), 0, emptyClass, 0, KEY_ALL_ACCESS, nullptr, handle, &disposition);
}

LONG RegOpen(const SetupToolkit_m_t& m, HKEY root, const std::string& key, HKEY* handle)
{
    const std::u16string wide = Wide(key);
    return onHandheld(m) ? RapiCeRegOpenKeyEx(m.connection, root, wide.c_str(), 0, KEY_ALL_ACCESS, handle)
                         : RegOpenKeyExW(root, wide.c_str(), 0, KEY_ALL_ACCESS, handle);
}

LONG RegSet(const SetupToolkit_m_t& m, HKEY key, const std::string& name, DWORD type, const BYTE* data, DWORD cb)
{
    const std::u16string wide = Wide(name);
    return onHandheld(m) ? RapiCeRegSetValueEx(m.connection, key, wide.c_str(), 0, type, const_cast<BYTE*>(data), cb)
                         : RegSetValueExW(key, wide.c_str(), 0, type, data, cb);
}

void RegClose(const SetupToolkit_m_t& m, HKEY key)
{
    if (onHandheld(m))
        RapiCeRegCloseKey(m.connection, key);
    else
        RegCloseKey(key);
}

std::string RegString(const SetupToolkit_m_t& m, HKEY root, const std::string& key, const std::string& name)
{
    HKEY handle = nullptr;
    if (RegOpen(m, root, key, &handle) != ERROR_SUCCESS)
        return "";
    WCHAR buffer[512] = {};
    DWORD type = REG_SZ;
    DWORD cb = sizeof buffer;
    const std::u16string wideName = Wide(name);
    const LONG result = onHandheld(m) ? RapiCeRegQueryValueEx(m.connection, handle, wideName.c_str(), nullptr, &type,
                                                              reinterpret_cast<BYTE*>(buffer), &cb)
                                      : RegQueryValueExW(handle, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &cb);
    RegClose(m, handle);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return "";
    // The value need not be terminated; never read past what was returned.
    const size_t units = std::min<size_t>(cb, sizeof buffer) / sizeof(WCHAR);
    std::u16string_view text(buffer, units);
    text = text.substr(0, text.find(u'\0'));
    return Narrow(text);
}

bool Invoke(const SetupToolkit_m_t& m, const std::string& library, const char* function, BYTE* request, DWORD cb, std::u16string* reply)
{
    reply->clear();
    DWORD cbReply = 0;
    BYTE* pbReply = nullptr;
    HRESULT hr;
    const std::u16string wideLibrary = Wide(library);
    if (onHandheld(m)) {
        const std::u16string wideFunction = Wide(function);
        hr = RapiCeRapiInvoke(m.connection, wideLibrary.c_str(), wideFunction.c_str(), cb, request, &cbReply, &pbReply, nullptr, 0);
    } else {
        HMODULE hModule = LoadLibraryW(wideLibrary.c_str());
        auto export_ = hModule ? reinterpret_cast<PFNRAPIEXTENSION>(GetProcAddress(hModule, function)) : nullptr;
        if (export_) {
            hr = export_(cb, request, &cbReply, &pbReply, nullptr);
        } else {
            LocalFree(request); // the call takes the block over, even one that never happens
            hr = E_FAIL;
        }
        if (hModule)
            FreeLibrary(hModule);
    }
    if (pbReply) {
        std::u16string_view text(reinterpret_cast<const char16_t*>(pbReply), cbReply / sizeof(char16_t));
        *reply = text.substr(0, text.find(u'\0'));
        LocalFree(pbReply);
    }
    return hr == 0;
}

bool InvokeText(const SetupToolkit_m_t& m, const std::string& library, const char* function, std::u16string_view request,
                std::u16string* reply)
{
    const DWORD cb = DWORD((request.size() + 1) * sizeof(char16_t));
    BYTE* block = static_cast<BYTE*>(LocalAlloc(LPTR, cb));
    if (!block)
        return false;
    std::memcpy(block, request.data(), request.size() * sizeof(char16_t));
    return Invoke(m, library, function, block, cb, reply);
}

bool CreateDeviceShortcut(const SetupToolkit_m_t& m, const std::string& shortcut, const std::string& target)
{
    std::u16string wideShortcut = Wide(shortcut);
    std::u16string quoted = u"\"" + Wide(target) + u"\"";
    return RapiCeSHCreateShortcut(m.connection, wideShortcut.data(), quoted.data()) != 0;
}

} // namespace sl
