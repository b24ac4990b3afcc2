// The ZIP archive reader: holds a whole archive in memory and indexes its entries by name
// without regard to case. It walks the local file headers from the start of the data and
// never reads the central directory; it knows the methods stored (0) and deflated (8) and
// does not check CRC-32 values.
//
// Errors, for the whole archive library (this reader, Inflate and the ".zz" codecs): a failure
// throws cetl::exception at the point where it is found, and the exception owns its message:
// a fixed text, or for an unknown method one naming the entry. Nothing is reported through a
// return value or the thread's last error, except at one boundary: the ".zz" codecs, whose
// callers treat any failure as a missing file, catch what they raise and return false, with
// the LZO library's result code as the last error when the library failed.
//
// Deflated entries go through Inflate, whose tables are process-wide: open one archive at a
// time in the process.
#pragma once

#include "cetl/map.h"
#include "tl_string.h"

#include <windows.h>

// One entry; the string is its name as stored ("arm/quibo.exe", "common/").
struct ZIPENTRY : public string {
    DWORD cbCompressed = 0;
    DWORD cbUncompressed = 0; // from the header until decompressed, then the real size
    BYTE* pbCompressed = nullptr; // inside the archive's bytes
    // Null while there is none; equal to pbCompressed for a stored entry (used in place),
    // else a block the entry owns.
    BYTE* pbUncompressed = nullptr;
    SYSTEMTIME stModified = {};
    WORD wMethod = 0;

    ZIPENTRY() = default;
    ZIPENTRY(const ZIPENTRY& other);
    ZIPENTRY& operator=(const ZIPENTRY& other);
    ~ZIPENTRY() override;

    // Makes the uncompressed data available; does nothing without compressed data or when
    // the data is already there.
    void Decompress();
    // Gives back an owned block early; a stored entry keeps its data.
    void ReleaseData();
};

class ZIPFILE : public cetl::map<istring, ZIPENTRY*> {
public:
    // With `defer` the entries are only indexed, and each is decompressed when asked.
    ZIPFILE(LPCTSTR pszPath, bool defer);
    // Read in place: the resource's bytes are not copied.
    ZIPFILE(HMODULE hModule, LPCTSTR pszName, LPCTSTR pszType, bool defer);
    ZIPFILE(const void* pvData, DWORD cbData, bool defer);
    ~ZIPFILE();
    ZIPFILE(const ZIPFILE&) = delete;
    ZIPFILE& operator=(const ZIPFILE&) = delete;

    // True when the data starts with a local file header.
    static bool IsZipData(const void* pvData, DWORD cbData);

    BYTE* pbData = nullptr; // the bytes the archive owns; null when read in place from a resource

private:
    DWORD LoadFile(LPCTSTR pszPath);
    void ParseArchive(BYTE* pb, DWORD cb, bool defer);
    void DecompressAll();
    void Empty();
};

void DosTimeToSystemTime(WORD date, WORD time, SYSTEMTIME* pst);
