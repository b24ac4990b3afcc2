#include "fake_device.h"

#include "install_support.h"
#include "utf.h"
#include "zz.h"

#include "hostfolders.h"
#include "hostpath.h"

#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

FakeDevice* g_device = nullptr;

std::u16string onDevice(LPCWSTR path)
{
    return u"C:\\device" + std::u16string(path ? path : u"");
}

std::u16string keyOnDevice(HKEY root, LPCWSTR key)
{
    const std::u16string name = root == HKEY_LOCAL_MACHINE ? u"HKLM" : root == HKEY_CURRENT_USER ? u"HKCU" : u"HKCR";
    return u"FakeDevice\\" + name + (key && *key ? u"\\" + std::u16string(key) : u"");
}

void reply(std::u16string_view text, DWORD* pcb, BYTE** ppb)
{
    *pcb = DWORD((text.size() + 1) * 2);
    *ppb = static_cast<BYTE*>(LocalAlloc(LPTR, *pcb));
    std::memcpy(*ppb, text.data(), text.size() * 2);
}

bool unpack(const BYTE* request)
{
    const char16_t* from = reinterpret_cast<const char16_t*>(request);
    const std::string in = HostPath(onDevice(from).c_str()), out = HostPath(onDevice(from + Utf16Length(from) + 1).c_str());
    const Bytes packed = FileBytes(in);
    BYTE* bytes = nullptr;
    DWORD cb = 0;
    if (!std::filesystem::exists(in) || !ZZDecompress(&bytes, &cb, packed.data(), DWORD(packed.size())))
        return false;
    std::ofstream(out, std::ios::binary).write(reinterpret_cast<const char*>(bytes), cb);
    ZZFree(bytes);
    return std::filesystem::remove(in);
}

HRESULT invoke(LPCWSTR library, LPCWSTR function, DWORD, BYTE* request, DWORD* pcb, BYTE** ppb, IRAPIStream**, DWORD)
{
    *pcb = 0;
    *ppb = nullptr;
    const std::string name = Utf16ToUtf8(function);
    const bool unpacker = !g_device->unpackerVersion.empty();
    g_device->unpackings += Utf16ToUtf8(library) == "\\Program Files\\Zelnor Software\\zzrapi.dll" && name == "DecompressFile";
    const std::u16string version = name == "GetZZRAPIVersion" && unpacker ? g_device->unpackerVersion
                                   : name == "GetUninstallVersion"        ? g_device->uninstallerVersion
                                                                          : u"";
    if (!version.empty())
        reply(version, pcb, ppb);
    const bool ok = !version.empty() || (name == "DecompressFile" && unpacker && !g_device->unpackingFails && unpack(request));
    LocalFree(request);
    return ok ? S_OK : E_FAIL;
}

} // namespace

std::string FakeDeviceFolder()
{
    return HostDataFolder() + "/drive_c/device";
}

RAPI* FakeDevice::Connection()
{
    g_device = this;
    CreateDirectoryW(u"C:\\device", nullptr);
    rapi = {};
    rapi.pfnCeRapiInvoke = invoke;
    rapi.pfnCeGetFileAttributes = [](LPCWSTR path) { return GetFileAttributesW(onDevice(path).c_str()); };
    rapi.pfnCeSetFileAttributes = [](LPCWSTR path, DWORD) { return SetFileAttributesW(onDevice(path).c_str(), FILE_ATTRIBUTE_NORMAL); };
    rapi.pfnCeCreateDirectory = [](LPCWSTR path, LPSECURITY_ATTRIBUTES) { return CreateDirectoryW(onDevice(path).c_str(), nullptr); };
    rapi.pfnCeCreateFile = [](LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD attributes, HANDLE) {
        return CreateFileW(onDevice(path).c_str(), access, share, nullptr, disposition, attributes, nullptr);
    };
    rapi.pfnCeWriteFile = [](HANDLE file, LPCVOID data, DWORD cb, LPDWORD written, LPOVERLAPPED) -> BOOL {
        // A full device takes what fits and fails; one that vanishes when full answers no more.
        const bool fits = g_device->spaceLeft < 0 || cb <= g_device->spaceLeft;
        const BOOL wrote = !g_device->gone && WriteFile(file, data, fits ? cb : DWORD(g_device->spaceLeft), written, nullptr);
        g_device->spaceLeft = g_device->spaceLeft < 0 ? -1 : fits ? g_device->spaceLeft - cb : 0;
        g_device->gone = g_device->gone || (!fits && g_device->vanishesWhenFull);
        return wrote && fits;
    };
    rapi.pfnCeReadFile = ReadFile;
    rapi.pfnCeGetFileSize = GetFileSize;
    rapi.pfnCeCloseHandle = CloseHandle;
    rapi.pfnCeDeleteFile = [](LPCWSTR path) -> BOOL { return !g_device->gone && DeleteFileW(onDevice(path).c_str()); };
    rapi.pfnCeSHCreateShortcut = [](LPWSTR shortcut, LPWSTR target) -> DWORD {
        std::ofstream file(HostPath(onDevice(shortcut).c_str()), std::ios::binary);
        return DWORD(bool(file << Utf16ToUtf8(target)));
    };
    rapi.pfnCeGetSystemInfo = [](LPSYSTEM_INFO info) {
        if (g_device->answersSystemInfo)
            info->wProcessorArchitecture = g_device->architecture;
    };
    rapi.pfnCeGetSpecialFolderPath = [](int folder, DWORD cch, LPWSTR buffer) -> DWORD {
        const std::u16string path = folder == CSIDL_PROGRAMS ? u"\\Windows\\Start Menu\\Programs" : u"\\Windows\\StartUp";
        if (path.size() >= cch)
            return 0;
        std::memcpy(buffer, path.c_str(), (path.size() + 1) * 2);
        return DWORD(path.size());
    };
    rapi.pfnCeRegOpenKeyEx = [](HKEY root, LPCWSTR key, DWORD, REGSAM access, PHKEY out) {
        return RegOpenKeyExW(HKEY_CURRENT_USER, keyOnDevice(root, key).c_str(), 0, access, out);
    };
    rapi.pfnCeRegCreateKeyEx
        = [](HKEY root, LPCWSTR key, DWORD, LPWSTR, DWORD, REGSAM access, LPSECURITY_ATTRIBUTES, PHKEY out, LPDWORD disposition) {
              return RegCreateKeyExW(HKEY_CURRENT_USER, keyOnDevice(root, key).c_str(), 0, nullptr, 0, access, nullptr, out, disposition);
          };
    rapi.pfnCeRegSetValueEx
        = [](HKEY key, LPCWSTR name, DWORD, DWORD type, LPBYTE data, DWORD cb) { return RegSetValueExW(key, name, 0, type, data, cb); };
    rapi.pfnCeRegQueryValueEx = RegQueryValueExW;
    rapi.pfnCeRegCloseKey = RegCloseKey;
    return &rapi;
}
