// One install target: the desktop itself, or a handheld reached through the device bridge.
// Every operation is written once and branches on the target kind only where it touches the
// file system or the registry (sl_internal). Everything created is recorded in the uninstall
// journal while one is open.
#pragma once

#include "journal.h"
#include "tl_string.h"

#include <windows.h>

#include <string>
#include <vector>

class SETUPLIB;
class ZIPFILE;
struct RAPI;

enum SETUPTARGETKIND { TARGET_DESKTOP = 0, TARGET_HANDHELD = 1 };

// Progress kinds handed to the callback.
enum SETUPSTATUS {
    STATUS_INSTALLING = 0,
    STATUS_CREATING_FOLDER = 1,
    STATUS_UPDATING_REGISTRY = 2,
    STATUS_SAVING_UNINSTALL = 3,
    STATUS_FINISHING = 4,
};

// callback(kind, percent, path, value): value is what was registered with the callback.
using SETUPCALLBACK = void (*)(int kind, int percent, LPCTSTR path, LPARAM value);

struct SetupToolkit_m_t {
    SETUPLIB* owner = nullptr;
    int kind = TARGET_DESKTOP;
    RAPI* connection = nullptr;
    std::string folders[5];
    std::string product;
    std::string journalPath;
    SETUPCALLBACK callback = nullptr;
    LPARAM callbackValue = 0;
    int percent = 0;
    int unpackerVersion = -1; // -1 not yet asked, 0 none
    std::vector<JOURNALENTRY> journal;
    int nesting = 0;
    bool journalOpen = false;
    bool journalDirty = false;
};

class SETUPTOOLKIT {
public:
    SETUPTOOLKIT(SETUPLIB* owner, int kind, RAPI* connection);

    void setcallback(SETUPCALLBACK callback, LPARAM value);
    int kind() const { return m.kind; }

    // Folders: 0 root, 1 program files, 2 the shared "Zelnor Software" folder, 3 programs
    // menu, 4 start-up. Computed once; any other index is empty.
    string getfolder(int index);
    // The payload's folder for this target's processor: "native", "arm", "mips", "shx", ...
    string getcpudir();

    bool openjournal(LPCTSTR product);
    void savejournal();
    void closejournal();
    void suspendjournal();
    void resumejournal();
    const std::vector<JOURNALENTRY>& journal() const { return m.journal; }
    const std::string& journalpath() const { return m.journalPath; }

    // first == -1: no progress reports.
    bool installfile(LPCTSTR target, ZIPFILE* archive, LPCTSTR entry, int first, int last);
    bool installstring(LPCTSTR target, LPCTSTR text);
    bool installtree(LPCTSTR target, ZIPFILE* archive, LPCTSTR folder, int first, int last);
    bool writefile(LPCTSTR path, const BYTE* data, DWORD size, int first, int last);
    // Splits at "\" and takes every prefix (and the last component too with includeLast):
    // with create, each missing one is recorded and made; without, each is only recorded.
    bool makedirs(LPCTSTR path, bool includeLast, bool create);
    bool linkfile(LPCTSTR shortcut, LPCTSTR target);

    void journalvalue(HKEY root, LPCTSTR key, LPCTSTR value);
    bool createkey(HKEY root, LPCTSTR key);
    bool setregstring(HKEY root, LPCTSTR key, LPCTSTR name, LPCTSTR data);
    bool setregdword(HKEY root, LPCTSTR key, LPCTSTR name, DWORD data);
    bool setregbytes(HKEY root, LPCTSTR key, LPCTSTR name, const BYTE* data, DWORD size);
    bool copylanguage(LPCTSTR product);

    // The version of the handheld's unpacking library; 0 on the desktop or without one.
    int devicehelperversion();
    bool finalize(ZIPFILE* archive, LPCTSTR entry, int first, int last);

    SetupToolkit_m_t m;

private:
    void report(int kind, int percent, const std::string& path);
    bool hasEntry(int kind, const std::string& path, const std::string& value = {}) const;
    // Adds the entry when it is new; true when it was added.
    bool record(int kind, const std::string& path, const std::string& value = {});
    bool writeOnce(const std::string& path, const BYTE* data, DWORD size, int first, int last, bool packed);
    bool setregvalue(HKEY root, LPCTSTR key, LPCTSTR name, DWORD type, const BYTE* data, DWORD size);
    bool loadjournal();
};
