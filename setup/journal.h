// The uninstall journal: what an installation created, as the text file the shared
// uninstaller reads back. Both sides use this one reader and writer.
//
// The file is narrow (UTF-8) text: a fixed comment header, then one line per entry,
// `keyword { "path" }`, or `deleteval { "key path" "value name" }` for a registry value.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

enum JOURNALKIND {
    JOURNAL_DELETEDIR = 0,
    JOURNAL_DELETEFILE = 1,
    JOURNAL_DELETEKEY = 2,
    JOURNAL_DELETEVAL = 3,
    JOURNAL_APPHOOK = 4,
};

struct JOURNALENTRY {
    int kind = JOURNAL_DELETEDIR;
    std::string path; // a file or folder, or a registry key beginning "HKLM\", "HKCU\" or "HKCR\"
    std::string value; // the value name of a "deleteval" entry

    bool operator==(const JOURNALENTRY&) const = default;
};

// The whole file: the header and one line per entry, in list order.
std::string JournalText(const std::vector<JOURNALENTRY>& entries);

// Lines longer than this are refused as damage: no path or value name comes near it.
constexpr size_t kJournalMaxLine = 32768;

// Reads a journal's text. Returns true and the entries in file order; on damaged text (an
// unknown keyword, a missing "{" or "}", an unterminated quote, a wrong number of names, an
// overlong line) returns false with `error` naming the line, and `entries` left empty.
bool ReadJournal(const void* data, size_t cb, std::vector<JOURNALENTRY>* entries, std::string* error);
