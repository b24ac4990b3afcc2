// Writes ZIP archives of stored entries: local headers, a central directory and an end record.
// Every entry carries the same fixed time, so that packs built from the same files are the
// same bytes.
#pragma once

#include "files.h"

#include <string>
#include <vector>

struct ZipMember {
    std::string name; // a name ending in "/" is a directory entry, with no data
    Bytes data;
};

Bytes WriteStoredZip(const std::vector<ZipMember>& members);
