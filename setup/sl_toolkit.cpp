#include "sl_toolkit.h"

#include "launcher.h"
#include "little_endian.h"
#include "rapi_bridge.h"
#include "shelllink.h"
#include "sl_internal.h"
#include "trace.h"
#include "unzipper.h"
#include "zz.h"

#include "hostpath.h"

#include <cstring>
#include <filesystem>

using sl::Narrow;
using sl::Wide;

namespace {

constexpr DWORD kPackAbove = 5120;
constexpr DWORD kChunk = 32768;
constexpr DWORD kUnpackRequestSize = 1040;
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kNlsKey = "SOFTWARE\\Zelnor\\NLS";

// A decimal number at the start of a reply; 0 when there is none.
int replyNumber(std::u16string_view reply)
{
    long long n = 0;
    for (char16_t c : reply) {
        if (c < u'0' || c > u'9')
            break;
        n = n * 10 + (c - u'0');
        if (n > 0x7FFFFFFF)
            return 0x7FFFFFFF;
    }
    return int(n);
}

std::vector<std::string> splitPath(const std::string& path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t split = path.find('\\', start);
        parts.push_back(path.substr(start, split == std::string::npos ? std::string::npos : split - start));
        if (split == std::string::npos)
            return parts;
        start = split + 1;
    }
}

std::string withoutTrailingSeparators(std::string path)
{
    while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

} // namespace

SETUPTOOLKIT::SETUPTOOLKIT(SETUPLIB* owner, int kind, RAPI* connection)
{
    m.owner = owner;
    m.kind = kind;
    m.connection = kind == TARGET_HANDHELD ? connection : nullptr;
}

void SETUPTOOLKIT::setcallback(SETUPCALLBACK callback, LPARAM value)
{
    m.callback = callback;
    m.callbackValue = value;
}

void SETUPTOOLKIT::report(int kind, int percent, const std::string& path)
{
    if (percent != -1)
        m.percent = percent;
    if (m.callback)
        m.callback(kind, m.percent, path.c_str(), m.callbackValue);
}

// Folders

string SETUPTOOLKIT::getfolder(int index)
{
    if (index < 0 || index > 4)
        return string();
    std::string& folder = m.folders[index];
    if (!folder.empty())
        return string(folder);
    const bool desktop = m.kind == TARGET_DESKTOP;
    switch (index) {
    case 0: folder = desktop ? "C:\\" : "\\"; break;
    case 1:
        if (desktop)
            folder = sl::RegString(m, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
        // Every caller joins with its own "\", so the folder keeps none at its end.
        if (folder.empty())
            folder = withoutTrailingSeparators(sl::RegString(m, HKEY_LOCAL_MACHINE, "PMail\\Attachments", "TopDir"));
        if (folder.empty())
            folder = desktop ? "C:\\Program Files" : "\\Program Files";
        break;
    case 2: folder = std::string(getfolder(1).View()) + "\\Zelnor Software"; break;
    case 3:
    case 4:
        if (desktop) {
            folder = sl::RegString(m, HKEY_LOCAL_MACHINE, kShellFolders, index == 3 ? "Common Programs" : "Common Startup");
            // A desktop without the shell's folder record gets the usual folders on drive C:.
            if (folder.empty())
                folder = index == 3 ? "C:\\Documents and Settings\\All Users\\Start Menu\\Programs"
                                    : "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup";
        } else if (m.connection) {
            WCHAR buffer[MAX_PATH + 1] = {};
            RapiCeGetSpecialFolderPath(m.connection, index == 3 ? CSIDL_PROGRAMS : CSIDL_STARTUP, MAX_PATH, buffer);
            folder = Narrow(buffer);
        }
        break;
    }
    return string(folder);
}

string SETUPTOOLKIT::getcpudir()
{
    if (m.kind == TARGET_DESKTOP || !m.connection)
        return string("native");
    SYSTEM_INFO info;
    std::memset(static_cast<void*>(&info), 0xFE, sizeof info); // a failed query reads as "unknown"
    RapiCeGetSystemInfo(m.connection, &info);
    switch (info.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_MIPS: return string("mips");
    case PROCESSOR_ARCHITECTURE_PPC: return string("ppc");
    case PROCESSOR_ARCHITECTURE_SHX: return string("shx");
    case PROCESSOR_ARCHITECTURE_ARM: return string("arm");
    default: return string("unknown");
    }
}

// Journal

bool SETUPTOOLKIT::hasEntry(int kind, const std::string& path, const std::string& value) const
{
    for (const JOURNALENTRY& entry : m.journal)
        if (entry.kind == kind && istring(entry.path) == path && (kind != JOURNAL_DELETEVAL || istring(entry.value) == value))
            return true;
    return false;
}

bool SETUPTOOLKIT::record(int kind, const std::string& path, const std::string& value)
{
    if (!m.journalOpen || m.nesting <= 0 || hasEntry(kind, path, value))
        return false;
    m.journal.push_back({kind, path, kind == JOURNAL_DELETEVAL ? value : std::string()});
    m.journalDirty = true;
    return true;
}

bool SETUPTOOLKIT::openjournal(LPCTSTR product)
{
    const std::string folder(getfolder(2).View());
    if (!makedirs(folder.c_str(), true, true)) {
        Trace("setuplib: openjournal failed to create %s", folder.c_str());
        return false;
    }
    const std::string path = folder + "\\Uninstall Log for " + product + ".txt";
    if (m.journalOpen && istring(path) == m.journalPath) {
        ++m.nesting; // nested: what is recorded but not yet saved stays
        return true;
    }
    // A second installation adds to the first; a journal that cannot be read is left as it
    // is rather than replaced by one that forgets what it listed.
    std::vector<JOURNALENTRY> entries;
    std::string bytes, error;
    if (sl::GetAttributes(m, path) != INVALID_FILE_ATTRIBUTES
        && (!sl::ReadWhole(m, path, &bytes) || !ReadJournal(bytes.data(), bytes.size(), &entries, &error))) {
        Trace("setuplib: openjournal could not read %s: %s", path.c_str(), error.empty() ? "unreadable" : error.c_str());
        return false;
    }
    m.journalPath = path;
    m.product = product;
    m.journalOpen = true;
    m.journal = std::move(entries);
    ++m.nesting;
    return true;
}

void SETUPTOOLKIT::savejournal()
{
    if (m.journalPath.empty())
        return;
    m.journalDirty = false;
    report(STATUS_SAVING_UNINSTALL, -1, "");
    const std::string text = JournalText(m.journal);
    writeOnce(m.journalPath, reinterpret_cast<const BYTE*>(text.data()), DWORD(text.size()), -1, -1, true);
}

void SETUPTOOLKIT::closejournal()
{
    if (!m.journalOpen)
        return;
    m.journalOpen = false;
    m.nesting = 0;
    if (m.journalDirty)
        savejournal();
}

void SETUPTOOLKIT::suspendjournal()
{
    if (m.journalOpen)
        --m.nesting;
}

void SETUPTOOLKIT::resumejournal()
{
    if (m.journalOpen)
        ++m.nesting;
}

// Files and folders

bool SETUPTOOLKIT::makedirs(LPCTSTR path, bool includeLast, bool create)
{
    const std::vector<std::string> parts = splitPath(path);
    const size_t count = includeLast ? parts.size() : parts.size() - 1;
    std::string prefix;
    for (size_t i = 0; i < count; ++i) {
        prefix += (i ? "\\" : "") + parts[i];
        if (parts[i].empty() || (i == 0 && prefix.find(':') != std::string::npos))
            continue; // the root, or a drive
        // A folder that was there before (the program files folder, the device's menus) is
        // not the product's: only folders made here go into the journal.
        const bool missing = !create || sl::GetAttributes(m, prefix) == INVALID_FILE_ATTRIBUTES;
        if (missing && record(JOURNAL_DELETEDIR, prefix))
            savejournal();
        if (create && missing) {
            report(STATUS_CREATING_FOLDER, -1, prefix);
            if (!sl::CreateFolder(m, prefix))
                return false;
        }
    }
    return true;
}

bool SETUPTOOLKIT::installfile(LPCTSTR target, ZIPFILE* archive, LPCTSTR entry, int first, int last)
{
    ZIPENTRY* pEntry = sl::FindEntry(archive, entry);
    if (!pEntry) {
        Trace("setuplib: installfile failed to find %s", entry);
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    if (!makedirs(target, false, true))
        return false;
    if (record(JOURNAL_DELETEFILE, target))
        savejournal();
    pEntry->Decompress();
    return writefile(target, pEntry->pbUncompressed, pEntry->cbUncompressed, first, last);
}

bool SETUPTOOLKIT::installstring(LPCTSTR target, LPCTSTR text)
{
    if (!makedirs(target, false, true))
        return false;
    if (record(JOURNAL_DELETEFILE, target))
        savejournal();
    return writefile(target, reinterpret_cast<const BYTE*>(text), DWORD(std::strlen(text)), -1, -1);
}

bool SETUPTOOLKIT::installtree(LPCTSTR target, ZIPFILE* archive, LPCTSTR folder, int first, int last)
{
    std::string prefix(folder);
    for (char& c : prefix)
        if (c == '\\')
            c = '/';
    while (!prefix.empty() && prefix[0] == '/')
        prefix.erase(0, 1);
    if (!prefix.empty() && prefix.back() != '/')
        prefix += '/';
    std::vector<ZIPENTRY*> files;
    for (auto& item : *archive) {
        const std::string_view name = item.value->View();
        if (name.size() > prefix.size() && name.back() != '/' && istring(name.substr(0, prefix.size())) == prefix)
            files.push_back(item.value);
    }
    for (size_t i = 0; i < files.size(); ++i) {
        std::string destination = std::string(target) + "\\" + std::string(files[i]->View().substr(prefix.size()));
        for (char& c : destination)
            if (c == '/')
                c = '\\';
        if (!makedirs(destination.c_str(), false, true)) {
            Trace("setuplib: installtree failed to create %s", destination.c_str());
            return false;
        }
        if (record(JOURNAL_DELETEFILE, destination))
            savejournal();
        files[i]->Decompress();
        const int from = first == -1 ? -1 : first + int((last - first) * i / files.size());
        const int to = first == -1 ? -1 : first + int((last - first) * (i + 1) / files.size());
        if (!writefile(destination.c_str(), files[i]->pbUncompressed, files[i]->cbUncompressed, from, to))
            return false;
    }
    return true;
}

bool SETUPTOOLKIT::writefile(LPCTSTR path, const BYTE* data, DWORD size, int first, int last)
{
    return writeOnce(path, data, size, first, last, true);
}

bool SETUPTOOLKIT::writeOnce(const std::string& path, const BYTE* data, DWORD size, int first, int last, bool mayPack)
{
    const bool handheld = m.kind == TARGET_HANDHELD;
    std::string file = path;
    BYTE* packed = nullptr;
    DWORD cbPacked = 0;
    if (handheld && mayPack && size > kPackAbove && devicehelperversion() > 0) {
        char name[64];
        std::snprintf(name, sizeof name, "\\This File Is Safe To Delete (#%ld)", long(GetTickCount()));
        // Both paths travel in one fixed request block; longer ones go unpacked.
        const size_t cbRequest = (Wide(name).size() + 1 + Wide(path).size() + 1) * sizeof(WCHAR);
        if (cbRequest <= kUnpackRequestSize && ZZCompress(&packed, &cbPacked, data, size))
            file = name;
    }
    const BYTE* bytes = packed ? packed : data;
    const DWORD cb = packed ? cbPacked : size;

    sl::ClearAttributes(m, file);
    if (!handheld)
        sl::Delete(m, file); // a new file, so nothing that still maps the old one sees it change
    HANDLE handle = sl::CreateForWrite(m, file);
    if (handle == INVALID_HANDLE_VALUE || !handle) {
        Trace(handheld ? "setuplib: rapi writefile failed to create %s" : "setuplib: writefile failed to create %s", path.c_str());
        ZZFree(packed);
        return false;
    }
    bool ok = true;
    if (first == -1) {
        ok = sl::Write(m, handle, bytes, cb);
    } else {
        report(STATUS_INSTALLING, first, path);
        for (DWORD written = 0; ok && written < cb;) {
            const DWORD chunk = cb - written < kChunk ? cb - written : kChunk;
            ok = sl::Write(m, handle, bytes + written, chunk);
            if (ok) {
                written += chunk;
                report(STATUS_INSTALLING, first + int((long long)(last - first) * written / cb), path);
            }
        }
    }
    sl::Close(m, handle);
    if (!ok)
        sl::Delete(m, file); // no half-written file stays behind

    if (packed && ok) {
        BYTE* request = static_cast<BYTE*>(LocalAlloc(LPTR, kUnpackRequestSize));
        ok = request != nullptr;
        if (ok) {
            const std::u16string from = Wide(file), to = Wide(path);
            std::memcpy(request, from.c_str(), (from.size() + 1) * sizeof(WCHAR));
            std::memcpy(request + (from.size() + 1) * sizeof(WCHAR), to.c_str(), (to.size() + 1) * sizeof(WCHAR));
            std::u16string reply;
            const std::string unpacker = std::string(getfolder(2).View()) + "\\zzrapi.dll";
            if (!sl::Invoke(m, unpacker, "DecompressFile", request, kUnpackRequestSize, &reply)) {
                m.unpackerVersion = 0; // never packed again on this target
                sl::Delete(m, file);
                ZZFree(packed);
                return writeOnce(path, data, size, first, last, false);
            }
        }
    }
    ZZFree(packed);
    if (!ok)
        Trace("setuplib: writefile failed to write %s", path.c_str());
    return ok;
}

int SETUPTOOLKIT::devicehelperversion()
{
    if (m.kind == TARGET_DESKTOP)
        return 0;
    if (m.unpackerVersion < 0) {
        std::u16string reply;
        const std::string library = std::string(getfolder(2).View()) + "\\zzrapi.dll";
        m.unpackerVersion = sl::InvokeText(m, library, "GetZZRAPIVersion", u"", &reply) ? replyNumber(reply) : 0;
    }
    return m.unpackerVersion;
}

bool SETUPTOOLKIT::linkfile(LPCTSTR shortcut, LPCTSTR target)
{
    bool ok = makedirs(shortcut, false, true);
    if (ok) {
        if (record(JOURNAL_DELETEFILE, shortcut))
            savejournal();
        sl::Delete(m, shortcut);
        if (m.kind == TARGET_HANDHELD) {
            ok = sl::CreateDeviceShortcut(m, shortcut, target);
        } else {
            const std::u16string wideTarget = Wide(target);
            const std::string link = ShellLinkBytes(wideTarget, wideTarget);
            HANDLE handle = sl::CreateForWrite(m, shortcut);
            ok = handle != INVALID_HANDLE_VALUE && handle;
            if (ok) {
                ok = sl::Write(m, handle, reinterpret_cast<const BYTE*>(link.data()), DWORD(link.size()));
                sl::Close(m, handle);
            }
            // The host's menus learn of the program through a launcher of its own.
            std::string name = std::string(shortcut).substr(std::string(shortcut).find_last_of("\\/") + 1);
            if (name.size() > 4 && istring(name.substr(name.size() - 4)) == ".lnk")
                name.resize(name.size() - 4);
            const std::string executable = HostPath(wideTarget.c_str());
            const std::string folder = LauncherFolder();
            std::error_code error;
            std::filesystem::create_directories(folder, error);
            const std::string launcher = folder + "/" + LauncherFileName(name);
            if (ok && record(JOURNAL_DELETEFILE, launcher))
                savejournal();
            const std::string text = LauncherText(name, executable);
            ok = ok && !executable.empty()
                 && writeOnce(launcher, reinterpret_cast<const BYTE*>(text.data()), DWORD(text.size()), -1, -1, false);
        }
    }
    if (!ok)
        Trace("setuplib: linkfile failed to create %s", shortcut);
    return ok;
}

// Registry

void SETUPTOOLKIT::journalvalue(HKEY root, LPCTSTR key, LPCTSTR value)
{
    const std::string rootName = sl::RootName(root);
    const std::vector<std::string> parts = splitPath(key);
    std::string prefix;
    for (size_t i = 0; i < parts.size(); ++i) {
        prefix += (i ? "\\" : "") + parts[i];
        record(JOURNAL_DELETEKEY, rootName + prefix);
    }
    record(JOURNAL_DELETEVAL, rootName + key, value);
}

bool SETUPTOOLKIT::createkey(HKEY root, LPCTSTR key)
{
    const std::string rootName = sl::RootName(root);
    const std::vector<std::string> parts = splitPath(key);
    std::string prefix;
    for (size_t i = 0; i < parts.size(); ++i) {
        prefix += (i ? "\\" : "") + parts[i];
        if (record(JOURNAL_DELETEKEY, rootName + prefix))
            savejournal();
        HKEY handle = nullptr;
        if (sl::RegCreate(m, root, prefix, &handle) != ERROR_SUCCESS)
            return false;
        sl::RegClose(m, handle);
    }
    return true;
}

bool SETUPTOOLKIT::setregvalue(HKEY root, LPCTSTR key, LPCTSTR name, DWORD type, const BYTE* data, DWORD size)
{
    report(STATUS_UPDATING_REGISTRY, -1, key);
    if (!createkey(root, key))
        return false;
    if (record(JOURNAL_DELETEVAL, sl::RootName(root) + key, name))
        savejournal();
    HKEY handle = nullptr;
    if (sl::RegOpen(m, root, key, &handle) != ERROR_SUCCESS)
        return false;
    sl::RegSet(m, handle, name, type, data, size);
    sl::RegClose(m, handle);
    return true;
}

bool SETUPTOOLKIT::setregstring(HKEY root, LPCTSTR key, LPCTSTR name, LPCTSTR data)
{
    const std::u16string wide = Wide(data);
    return setregvalue(root, key, name, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()), DWORD((wide.size() + 1) * sizeof(WCHAR)));
}

bool SETUPTOOLKIT::setregdword(HKEY root, LPCTSTR key, LPCTSTR name, DWORD data)
{
    BYTE bytes[4];
    StoreLe32(bytes, data);
    return setregvalue(root, key, name, REG_DWORD, bytes, sizeof bytes);
}

bool SETUPTOOLKIT::setregbytes(HKEY root, LPCTSTR key, LPCTSTR name, const BYTE* data, DWORD size)
{
    return setregvalue(root, key, name, REG_BINARY, data, size);
}

bool SETUPTOOLKIT::copylanguage(LPCTSTR product)
{
    const SetupToolkit_m_t desktop; // the installer's own machine
    for (const char* prefix : {"Lang-", "Opt-"}) {
        const std::string name = prefix + std::string(product);
        journalvalue(HKEY_LOCAL_MACHINE, kNlsKey, name.c_str());
        if (m.kind == TARGET_HANDHELD) {
            const std::string value = sl::RegString(desktop, HKEY_LOCAL_MACHINE, kNlsKey, name);
            if (value.empty() || !setregstring(HKEY_LOCAL_MACHINE, kNlsKey, name.c_str(), value.c_str()))
                return false;
        }
    }
    return true;
}

// Finishing

bool SETUPTOOLKIT::finalize(ZIPFILE* archive, LPCTSTR entry, int first, int last)
{
    ZIPENTRY* pEntry = sl::FindEntry(archive, entry);
    if (!pEntry) {
        Trace("setuplib: could not find %s for finalize", entry);
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    if (m.journalDirty)
        savejournal();

    // The uninstaller is shared by every product, so it never goes into a product's journal.
    const std::string uninstaller = std::string(getfolder(2).View()) + "\\uninstaller.dll";
    std::u16string reply;
    if (!sl::InvokeText(m, uninstaller, "GetUninstallVersion", u"", &reply) || replyNumber(reply) <= 1) {
        const int nesting = m.nesting;
        m.nesting = 0;
        pEntry->Decompress();
        const bool ok = makedirs(uninstaller.c_str(), false, true)
                        && writefile(uninstaller.c_str(), pEntry->pbUncompressed, pEntry->cbUncompressed, first, last);
        m.nesting = nesting;
        if (!ok)
            return false;
    }
    report(STATUS_FINISHING, last, "");

    const std::string product = m.product;
    HKEY handle = nullptr;
    const std::string key
        = m.kind == TARGET_DESKTOP ? "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product : "Software\\Apps\\" + product;
    if (sl::RegCreate(m, HKEY_LOCAL_MACHINE, key, &handle) != ERROR_SUCCESS)
        return false;
    auto setString = [&](const char* name, const std::string& text) {
        const std::u16string wide = Wide(text);
        sl::RegSet(m, handle, name, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()), DWORD((wide.size() + 1) * sizeof(WCHAR)));
    };
    auto setNumber = [&](const char* name, DWORD number) {
        BYTE bytes[4];
        StoreLe32(bytes, number);
        sl::RegSet(m, handle, name, REG_DWORD, bytes, sizeof bytes);
    };
    if (m.kind == TARGET_DESKTOP) {
        setString("DisplayName", product);
        setString("UninstallString", "rundll32 \"" + uninstaller + "\",Uninstall " + product);
    } else {
        setString("InstlDir", product);
        setString("IsvFile", uninstaller);
        setNumber("Instl", 1);
        setNumber("InstlDirCnt", 0);
    }
    sl::RegClose(m, handle);
    return true;
}
