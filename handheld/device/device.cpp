#include "device.h"

#include "devicepath.h"
#include "trace.h"
#include "utf.h"

#include "hostpath.h"
#include "rapi.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <sys/statvfs.h>
#include <system_error>

namespace handheld {

namespace fs = std::filesystem;

namespace {

Device* current = nullptr;

constexpr char16_t kProgramsFolder[] = u"\\Windows\\Start Menu\\Programs";
constexpr char16_t kStartupFolder[] = u"\\Windows\\StartUp";

uint64_t fileSize(const std::string& hostPath)
{
    std::error_code error;
    const uint64_t size = fs::is_regular_file(hostPath, error) ? fs::file_size(hostPath, error) : 0;
    return error ? 0 : size;
}

HKEY predefinedKey(uint32_t value)
{
    switch (value) {
    case 0x80000000u: return HKEY_CLASSES_ROOT;
    case 0x80000001u: return HKEY_CURRENT_USER;
    case 0x80000002u: return HKEY_LOCAL_MACHINE;
    default: return nullptr;
    }
}

// A device shortcut is a text file: the target's length, "#", the target.
std::string shortcutText(const std::u16string& target)
{
    return std::to_string(target.size()) + "#" + Utf16ToUtf8(target);
}

std::optional<std::u16string> shortcutTarget(const std::string& text)
{
    const size_t hash = text.find('#');
    if (hash == std::string::npos || hash == 0 || hash > 5)
        return std::nullopt;
    for (size_t i = 0; i < hash; ++i)
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    std::string target = text.substr(hash + 1);
    while (!target.empty() && (target.back() == '\n' || target.back() == '\r'))
        target.pop_back();
    return Utf8ToUtf16(target);
}

} // namespace

Device* CurrentDevice()
{
    return current;
}

void SetCurrentDevice(Device* device)
{
    current = device;
}

Session::~Session()
{
    for (auto& [id, file] : files)
        ::CloseHandle(file);
    for (auto& [id, key] : keys)
        RegCloseKey(key);
}

Device::Device(DeviceConfig config) : config_(std::move(config)) { }

bool Device::Prepare(std::string& error)
{
    std::error_code failed;
    fs::create_directories(config_.root + "/" + kStoreFolder, failed);
    if (failed) {
        error = "cannot create " + config_.root + "/" + kStoreFolder + ": " + failed.message();
        return false;
    }
    // Every file and registry call of this process (and of the libraries it loads) is now
    // the device's: "\" is the device folder, the registry is the device's own store.
    setenv("QUIBO_DEVICE_ROOT", config_.root.c_str(), 1);
    setenv("XDG_DATA_HOME", (config_.root + "/" + kStoreFolder).c_str(), 1);
    for (const char* folder : {"Windows/Start Menu/Programs", "Windows/StartUp", "Program Files", "Temp"}) {
        fs::create_directories(config_.root + "/" + folder, failed);
        if (failed) {
            error = "cannot create " + config_.root + "/" + folder + ": " + failed.message();
            return false;
        }
    }
    measure();
    capacity_ = used_ + (config_.freeBytes ? *config_.freeBytes : 0);
    return true;
}

void Device::measure()
{
    uint64_t total = 0;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(config_.root, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it.depth() == 0 && it->path().filename() == kStoreFolder) {
            it.disable_recursion_pending();
            continue;
        }
        std::error_code ignored;
        if (it->is_regular_file(ignored) && !it->is_symlink(ignored))
            total += it->file_size(ignored);
    }
    used_ = total;
}

uint64_t Device::FreeBytes() const
{
    if (config_.freeBytes)
        return capacity_ > used_ ? capacity_ - used_ : 0;
    struct statvfs info;
    if (statvfs(config_.root.c_str(), &info) != 0)
        return 0;
    return uint64_t(info.f_bavail) * info.f_frsize;
}

uint64_t Device::StoreBytes() const
{
    return config_.freeBytes ? capacity_ : used_ + FreeBytes();
}

std::string Device::hostPathOf(const std::u16string& devicePath, std::u16string& canonical)
{
    const std::optional<std::u16string> path = CanonicalDevicePath(devicePath);
    if (!path) {
        SetLastError(ERROR_ACCESS_DENIED);
        return {};
    }
    canonical = *path;
    const std::string host = HostPath(canonical.c_str());
    if (host.empty() || !InsideFolder(config_.root, host)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return {};
    }
    return host;
}

std::vector<uint8_t> Device::Handle(Session& session, Op op, MessageReader& request)
{
    std::lock_guard guard(lock_);
    SetLastError(ERROR_SUCCESS);
    MessageWriter answer;
    switch (op) {
    case Op::SystemInfo:
        answer = Reply(ERROR_SUCCESS);
        answer.u32(config_.processor);
        break;
    case Op::SpecialFolder: {
        const uint32_t folder = request.u32();
        answer = Reply(folder == CSIDL_PROGRAMS || folder == CSIDL_STARTUP ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER);
        answer.text(folder == CSIDL_PROGRAMS ? kProgramsFolder : folder == CSIDL_STARTUP ? kStartupFolder : u"");
        break;
    }
    case Op::StoreInformation:
        answer = Reply(ERROR_SUCCESS);
        answer.u64(StoreBytes()).u64(FreeBytes());
        break;
    case Op::SystemMetrics: {
        const uint32_t index = request.u32();
        answer = Reply(ERROR_SUCCESS);
        answer.u32(index == SM_CXSCREEN ? config_.screenWidth : index == SM_CYSCREEN ? config_.screenHeight : 0);
        break;
    }
    case Op::DeviceCaps: {
        const uint32_t index = request.u32();
        answer = Reply(ERROR_SUCCESS);
        answer.u32(index == HORZRES     ? config_.screenWidth
                   : index == VERTRES   ? config_.screenHeight
                   : index == BITSPIXEL ? config_.screenBits
                   : index == PLANES    ? 1
                                        : 0);
        break;
    }
    case Op::RegOpenKey:
    case Op::RegCreateKey:
    case Op::RegCloseKey:
    case Op::RegDeleteKey:
    case Op::RegQueryValue:
    case Op::RegSetValue:
    case Op::RegDeleteValue: answer = registryRequest(session, op, request); break;
    case Op::Invoke: answer = invoke(request); break;
    case Op::FileAttributes:
    case Op::SetFileAttributes:
    case Op::CreateDirectory:
    case Op::RemoveDirectory:
    case Op::DeleteFile:
    case Op::MoveFile:
    case Op::CreateFile:
    case Op::ReadFile:
    case Op::WriteFile:
    case Op::SetFilePointer:
    case Op::GetFileSize:
    case Op::CloseHandle:
    case Op::CreateShortcut:
    case Op::ShortcutTarget: answer = fileRequest(session, op, request); break;
    default: return Reply(ERROR_CALL_NOT_IMPLEMENTED).payload();
    }
    if (!request.complete())
        return Reply(ERROR_INVALID_PARAMETER).payload();
    return answer.payload();
}

MessageWriter Device::fileRequest(Session& session, Op op, MessageReader& request)
{
    auto fileOf = [&](uint32_t id) -> HANDLE {
        auto it = session.files.find(id);
        return it == session.files.end() ? nullptr : it->second;
    };
    std::u16string canonical;
    switch (op) {
    case Op::FileAttributes: {
        const std::string host = hostPathOf(request.text(), canonical);
        const DWORD attributes = host.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(canonical.c_str());
        MessageWriter answer = Reply(GetLastError());
        answer.u32(attributes);
        return answer;
    }
    case Op::SetFileAttributes:
    case Op::CreateDirectory:
    case Op::RemoveDirectory:
    case Op::DeleteFile: {
        const std::string host = hostPathOf(request.text(), canonical);
        const uint32_t attributes = op == Op::SetFileAttributes ? request.u32() : 0;
        BOOL ok = FALSE;
        if (!host.empty() && request.ok()) {
            if (op == Op::SetFileAttributes)
                ok = SetFileAttributesW(canonical.c_str(), attributes);
            else if (op == Op::CreateDirectory)
                ok = CreateDirectoryW(canonical.c_str(), nullptr);
            else if (op == Op::RemoveDirectory)
                ok = canonical != u"\\" && RemoveDirectoryW(canonical.c_str());
            else {
                const uint64_t size = fileSize(host);
                ok = DeleteFileW(canonical.c_str());
                if (ok)
                    used_ -= std::min<uint64_t>(used_, size);
            }
        }
        MessageWriter answer = Reply(ok ? ERROR_SUCCESS : GetLastError());
        answer.u32(ok);
        return answer;
    }
    case Op::MoveFile: {
        std::u16string target;
        const std::string from = hostPathOf(request.text(), canonical);
        const std::string to = hostPathOf(request.text(), target);
        std::error_code error;
        bool ok = false;
        if (!from.empty() && !to.empty() && request.ok()) {
            if (fs::exists(to, error))
                SetLastError(ERROR_ALREADY_EXISTS);
            else if (fs::rename(from, to, error); error)
                SetLastError(ERROR_FILE_NOT_FOUND);
            else
                ok = true;
        }
        MessageWriter answer = Reply(ok ? ERROR_SUCCESS : GetLastError());
        answer.u32(ok);
        return answer;
    }
    case Op::CreateFile: {
        const std::string host = hostPathOf(request.text(), canonical);
        const uint32_t access = request.u32(), share = request.u32(), disposition = request.u32(), attributes = request.u32();
        uint32_t id = 0;
        if (!host.empty() && request.ok()) {
            const bool truncates = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
            const uint64_t before = truncates ? fileSize(host) : 0;
            HANDLE file = CreateFileW(canonical.c_str(), access, share, nullptr, disposition, attributes, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                used_ -= std::min<uint64_t>(used_, before); // a replaced file's room is free again
                id = session.nextId++;
                session.files[id] = file;
            }
        }
        MessageWriter answer = Reply(id ? ERROR_SUCCESS : GetLastError());
        answer.u32(id);
        return answer;
    }
    case Op::ReadFile: {
        HANDLE file = fileOf(request.u32());
        const uint32_t wanted = std::min(request.u32(), kMaxChunk);
        std::vector<uint8_t> data(wanted);
        DWORD got = 0;
        const BOOL ok = file && request.ok() && ::ReadFile(file, data.data(), wanted, &got, nullptr);
        if (!file)
            SetLastError(ERROR_INVALID_HANDLE);
        MessageWriter answer = Reply(ok ? ERROR_SUCCESS : GetLastError());
        answer.u32(ok).bytes(data.data(), ok ? got : 0);
        return answer;
    }
    case Op::WriteFile: {
        HANDLE file = fileOf(request.u32());
        const std::vector<uint8_t> data = request.bytes();
        BOOL ok = FALSE;
        DWORD written = 0;
        if (!file) {
            SetLastError(ERROR_INVALID_HANDLE);
        } else if (request.ok()) {
            LONG high = 0;
            const DWORD low = ::SetFilePointer(file, 0, &high, FILE_CURRENT);
            DWORD sizeHigh = 0;
            const DWORD sizeLow = ::GetFileSize(file, &sizeHigh);
            const uint64_t position = uint64_t(uint32_t(high)) << 32 | low;
            const uint64_t size = uint64_t(sizeHigh) << 32 | sizeLow;
            const uint64_t growth = position + data.size() > size ? position + data.size() - size : 0;
            if (growth > FreeBytes()) {
                SetLastError(ERROR_DISK_FULL);
            } else {
                ok = ::WriteFile(file, data.data(), DWORD(data.size()), &written, nullptr);
                if (ok)
                    used_ += growth;
            }
        }
        MessageWriter answer = Reply(ok ? ERROR_SUCCESS : GetLastError());
        answer.u32(ok).u32(written);
        return answer;
    }
    case Op::SetFilePointer: {
        HANDLE file = fileOf(request.u32());
        const LONG low = LONG(request.u32());
        const bool withHigh = request.u32() != 0;
        LONG high = LONG(request.u32());
        const uint32_t method = request.u32();
        DWORD result = INVALID_SET_FILE_POINTER;
        if (!file)
            SetLastError(ERROR_INVALID_HANDLE);
        else if (request.ok())
            result = ::SetFilePointer(file, low, withHigh ? &high : nullptr, method);
        MessageWriter answer = Reply(GetLastError());
        answer.u32(result).u32(uint32_t(high));
        return answer;
    }
    case Op::GetFileSize: {
        HANDLE file = fileOf(request.u32());
        DWORD high = 0;
        DWORD low = INVALID_FILE_SIZE;
        if (!file)
            SetLastError(ERROR_INVALID_HANDLE);
        else
            low = ::GetFileSize(file, &high);
        MessageWriter answer = Reply(GetLastError());
        answer.u32(low).u32(high);
        return answer;
    }
    case Op::CloseHandle: {
        const uint32_t id = request.u32();
        HANDLE file = fileOf(id);
        const BOOL ok = file && ::CloseHandle(file);
        session.files.erase(id);
        MessageWriter answer = Reply(ok ? ERROR_SUCCESS : ERROR_INVALID_HANDLE);
        answer.u32(ok);
        return answer;
    }
    case Op::CreateShortcut: {
        const std::string host = hostPathOf(request.text(), canonical);
        const std::string text = shortcutText(request.text());
        BOOL ok = FALSE;
        if (!host.empty() && request.ok()) {
            const uint64_t before = fileSize(host);
            if (text.size() > before && text.size() - before > FreeBytes()) {
                SetLastError(ERROR_DISK_FULL);
            } else {
                HANDLE file = CreateFileW(canonical.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                DWORD written = 0;
                ok = file != INVALID_HANDLE_VALUE && ::WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
                if (file != INVALID_HANDLE_VALUE)
                    ::CloseHandle(file);
                measure();
            }
        }
        MessageWriter answer = Reply(ok ? ERROR_SUCCESS : GetLastError());
        answer.u32(ok);
        return answer;
    }
    case Op::ShortcutTarget: {
        const std::string host = hostPathOf(request.text(), canonical);
        std::optional<std::u16string> target;
        const uint64_t size = host.empty() ? 0 : fileSize(host);
        if (!host.empty() && size <= 4 * MAX_PATH) {
            std::string text(size, '\0');
            HANDLE file = CreateFileW(canonical.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            DWORD got = 0;
            if (file != INVALID_HANDLE_VALUE && ::ReadFile(file, text.data(), DWORD(text.size()), &got, nullptr))
                target = shortcutTarget(text.substr(0, got));
            if (file != INVALID_HANDLE_VALUE)
                ::CloseHandle(file);
        }
        MessageWriter answer = Reply(target ? ERROR_SUCCESS : host.empty() ? GetLastError() : ERROR_INVALID_DATA);
        answer.u32(target.has_value()).text(target ? *target : u"");
        return answer;
    }
    default: return Reply(ERROR_CALL_NOT_IMPLEMENTED);
    }
}

MessageWriter Device::registryRequest(Session& session, Op op, MessageReader& request)
{
    auto keyOf = [&](uint32_t value) -> HKEY {
        if (HKEY root = predefinedKey(value))
            return root;
        auto it = session.keys.find(value);
        return it == session.keys.end() ? nullptr : it->second;
    };
    const uint32_t keyValue = request.u32();
    HKEY key = keyOf(keyValue);
    LONG result = key ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    MessageWriter answer;
    switch (op) {
    case Op::RegOpenKey:
    case Op::RegCreateKey: {
        const std::u16string subKey = request.text();
        const uint32_t options = op == Op::RegCreateKey ? request.u32() : 0;
        const uint32_t access = request.u32();
        HKEY opened = nullptr;
        DWORD disposition = 0;
        if (key && request.ok())
            result = op == Op::RegOpenKey
                         ? RegOpenKeyExW(key, subKey.c_str(), 0, access, &opened)
                         : RegCreateKeyExW(key, subKey.c_str(), 0, nullptr, options, access, nullptr, &opened, &disposition);
        uint32_t id = 0;
        if (key && request.ok() && result == ERROR_SUCCESS) {
            id = session.nextId++;
            session.keys[id] = opened;
        }
        answer = Reply(result);
        answer.u32(id).u32(disposition);
        return answer;
    }
    case Op::RegCloseKey:
        if (!predefinedKey(keyValue) && key) {
            result = RegCloseKey(key);
            session.keys.erase(keyValue);
        }
        return Reply(result);
    case Op::RegDeleteKey:
    case Op::RegDeleteValue: {
        const std::u16string name = request.text();
        if (key && request.ok())
            result = op == Op::RegDeleteKey ? RegDeleteKeyW(key, name.c_str()) : RegDeleteValueW(key, name.c_str());
        return Reply(result);
    }
    case Op::RegQueryValue: {
        const std::u16string name = request.text();
        const bool wantsData = request.u32() != 0;
        DWORD size = std::min(request.u32(), kMaxChunk);
        DWORD type = 0;
        // Never null when the caller gave a buffer, however small: that is no size-only query.
        std::vector<uint8_t> data(wantsData ? std::max<DWORD>(size, 1) : 0);
        if (key && request.ok())
            result = RegQueryValueExW(key, name.c_str(), nullptr, &type, wantsData ? data.data() : nullptr, &size);
        const bool carriesData = result == ERROR_SUCCESS && wantsData && size <= data.size();
        answer = Reply(result);
        answer.u32(type).u32(size).bytes(data.data(), carriesData ? size : 0);
        return answer;
    }
    case Op::RegSetValue: {
        const std::u16string name = request.text();
        const uint32_t type = request.u32();
        const std::vector<uint8_t> data = request.bytes();
        if (key && request.ok())
            result = RegSetValueExW(key, name.c_str(), 0, type, data.data(), DWORD(data.size()));
        return Reply(result);
    }
    default: return Reply(ERROR_CALL_NOT_IMPLEMENTED);
    }
}

MessageWriter Device::invoke(MessageReader& request)
{
    std::u16string canonical;
    const std::string host = hostPathOf(request.text(), canonical);
    const std::string function = Utf16ToUtf8(request.text());
    std::vector<uint8_t> input = request.bytes();
    MessageWriter answer;
    if (host.empty() || !request.ok()) {
        answer = Reply(host.empty() ? ERROR_ACCESS_DENIED : ERROR_INVALID_PARAMETER);
        answer.u32(uint32_t(E_INVALIDARG)).bytes(nullptr, 0);
        return answer;
    }
    // Device libraries are loaded by their own file name, whatever it ends in.
    void* library = dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto entry = library ? reinterpret_cast<PFNRAPIEXTENSION>(dlsym(library, function.c_str())) : nullptr;
    if (!entry) {
        const DWORD error = library ? ERROR_PROC_NOT_FOUND : ERROR_MOD_NOT_FOUND;
        Trace("quibo-handheld: cannot invoke %s in %s: %s", function.c_str(), host.c_str(), library ? "no such export" : dlerror());
        if (library)
            dlclose(library);
        answer = Reply(error);
        answer.u32(uint32_t(HRESULT_FROM_WIN32(error))).bytes(nullptr, 0);
        return answer;
    }
    BYTE* block = nullptr;
    if (!input.empty()) {
        block = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, input.size()));
        std::copy(input.begin(), input.end(), block);
    }
    DWORD outputSize = 0;
    BYTE* output = nullptr;
    SetLastError(ERROR_SUCCESS);
    const HRESULT result = entry(DWORD(input.size()), block, &outputSize, &output, nullptr);
    const DWORD error = GetLastError();
    answer = Reply(error);
    answer.u32(uint32_t(result)).bytes(output, output ? std::min<DWORD>(outputSize, kMaxChunk) : 0);
    LocalFree(output);
    dlclose(library);
    measure(); // the library may have written or removed anything
    return answer;
}

} // namespace handheld

// The device's own store information, for device-side libraries that must not overfill it.
extern "C" BOOL GetStoreInformation(LPSTORE_INFORMATION information)
{
    handheld::Device* device = handheld::CurrentDevice();
    if (!device || !information) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    information->dwStoreSize = DWORD(std::min<uint64_t>(device->StoreBytes(), 0xFFFFFFFFu));
    information->dwFreeSize = DWORD(std::min<uint64_t>(device->FreeBytes(), 0xFFFFFFFFu));
    return TRUE;
}
