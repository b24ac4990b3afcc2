#include "uninstaller.h"

#include "journal.h"
#include "little_endian.h"
#include "tl_string.h"
#include "utf.h"

#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// No product's journal comes near this; a bigger file is not one of ours.
constexpr std::streamoff kMaxJournal = 64 * 1024 * 1024;

void reply(std::u16string_view text, DWORD* pcbOutput, BYTE** ppOutput)
{
    if (!pcbOutput || !ppOutput)
        return;
    *pcbOutput = 0;
    *ppOutput = nullptr;
    const DWORD cb = DWORD((text.size() + 1) * sizeof(char16_t));
    BYTE* block = static_cast<BYTE*>(LocalAlloc(LPTR, cb));
    if (!block)
        return;
    std::memcpy(block, text.data(), text.size() * sizeof(char16_t));
    *ppOutput = block;
    *pcbOutput = cb;
}

// The wide text of a request, up to its terminator or its end.
std::u16string requestText(const BYTE* pInput, DWORD cbInput)
{
    std::u16string text;
    for (DWORD i = 0; pInput && i + 1 < cbInput; i += 2) {
        const char16_t c = LoadLe16(pInput + i);
        if (c == 0)
            break;
        text += c;
    }
    return text;
}

// Where this library lies on the host: its journals lie beside it.
std::string ownFolder()
{
    Dl_info info = {};
    if (!dladdr(reinterpret_cast<void*>(&Uninstall), &info) || !info.dli_fname)
        return ".";
    const std::string path = info.dli_fname;
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash ? slash : 1);
}

bool readFile(const std::string& path, std::string* bytes, std::string* error)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        *error = "no uninstall log at " + path;
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxJournal) {
        *error = "the uninstall log " + path + " is not a readable log";
        return false;
    }
    bytes->resize(size_t(size));
    in.seekg(0);
    if (!in.read(bytes->data(), size)) {
        *error = "could not read the uninstall log " + path;
        return false;
    }
    return true;
}

// "HKLM\Software\..." into its root and the key below it.
bool splitKey(const std::string& path, HKEY* root, std::u16string* key)
{
    static const struct {
        const char* name;
        HKEY root;
    } kRoots[] = {{"HKLM\\", HKEY_LOCAL_MACHINE}, {"HKCU\\", HKEY_CURRENT_USER}, {"HKCR\\", HKEY_CLASSES_ROOT}};
    for (const auto& r : kRoots) {
        if (path.size() > 5 && EqualsIgnoringAsciiCase(std::string_view(path).substr(0, 5), r.name)) {
            *root = r.root;
            *key = Utf8ToUtf16(path.substr(5));
            return true;
        }
    }
    return false;
}

bool removeFile(const std::string& path)
{
    const std::u16string wide = Utf8ToUtf16(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true; // already gone
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return true; // a folder in a file's place is not ours to remove
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(wide.c_str());
}

bool removeValue(const std::string& keyPath, const std::string& name)
{
    HKEY root;
    std::u16string key;
    if (!splitKey(keyPath, &root, &key))
        return false;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
        return true; // the key, and so the value, is gone already
    const LONG result = RegDeleteValueW(handle, Utf8ToUtf16(name).c_str());
    RegCloseKey(handle);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

// Only a key left empty goes: others may have put their own values or keys beneath it.
bool removeKeyIfEmpty(const std::string& keyPath)
{
    HKEY root;
    std::u16string key;
    if (!splitKey(keyPath, &root, &key))
        return false;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return true;
    DWORD subkeys = 1, values = 1;
    const LONG result
        = RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(handle);
    if (result == ERROR_SUCCESS && subkeys == 0 && values == 0)
        RegDeleteKeyW(root, key.c_str());
    return true;
}

void removeRegistration(const std::string& product)
{
    const std::u16string name = Utf8ToUtf16(product);
    for (const std::u16string& key : {u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name, u"Software\\Apps\\" + name})
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
}

} // namespace

bool UninstallProduct(const std::string& product, const std::string& folder, std::string* error)
{
    error->clear();
    if (product.empty() || product.find_first_of("\\/:*?\"<>|") != std::string::npos || product == "." || product == "..") {
        *error = "\"" + product + "\" is not a product name";
        return false;
    }
    const std::string journalPath = folder + "/Uninstall Log for " + product + ".txt";
    std::string bytes;
    if (!readFile(journalPath, &bytes, error))
        return false;
    std::vector<JOURNALENTRY> entries;
    std::string damage;
    if (!ReadJournal(bytes.data(), bytes.size(), &entries, &damage)) {
        *error = "the uninstall log " + journalPath + " is damaged (" + damage + "); nothing was removed";
        return false;
    }

    std::vector<std::string> left;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        bool removed = true;
        switch (it->kind) {
        case JOURNAL_DELETEFILE: removed = removeFile(it->path); break;
        case JOURNAL_DELETEDIR:
            // Folders still holding something (ours or not) stay.
            RemoveDirectoryW(Utf8ToUtf16(it->path).c_str());
            break;
        case JOURNAL_DELETEVAL: removed = removeValue(it->path, it->value); break;
        case JOURNAL_DELETEKEY: removed = removeKeyIfEmpty(it->path); break;
        default: break;
        }
        if (!removed)
            left.push_back(it->kind == JOURNAL_DELETEVAL ? it->path + "\\" + it->value : it->path);
    }
    if (!left.empty()) {
        *error = "could not remove";
        for (const std::string& item : left)
            *error += " \"" + item + "\"";
        return false;
    }
    // A host path (found beside this library), so not one for the file calls, which on a
    // device map every path into the device's folder.
    std::error_code failure;
    if (!std::filesystem::remove(journalPath, failure)) {
        *error = "could not remove the uninstall log " + journalPath;
        return false;
    }
    removeRegistration(product);
    return true;
}

extern "C" {

HRESULT GetUninstallVersion(DWORD, BYTE* pInput, DWORD* pcbOutput, BYTE** ppOutput, IRAPIStream*)
{
    LocalFree(pInput);
    reply(Utf8ToUtf16(std::to_string(kUninstallerVersion)), pcbOutput, ppOutput);
    return S_OK;
}

HRESULT Uninstall(DWORD cbInput, BYTE* pInput, DWORD* pcbOutput, BYTE** ppOutput, IRAPIStream*)
{
    const std::string product = Utf16ToUtf8(requestText(pInput, cbInput));
    LocalFree(pInput);
    std::string error;
    const bool ok = UninstallProduct(product, ownFolder(), &error);
    reply(Utf8ToUtf16(error), pcbOutput, ppOutput);
    return ok ? S_OK : E_FAIL;
}
}
