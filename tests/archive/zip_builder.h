// Hand-made ZIP archives for the readers' tests: the fields the readers look at can be set, so
// the archives can be as odd as the tests need.
#pragma once

#include "deflate_streams.h"

#include <cstdint>
#include <string>
#include <vector>

struct ZipItem {
    std::string name;
    Bytes data; // as stored: already deflated for method 8
    uint16_t method = 0;
    uint16_t flags = 0;
    uint32_t cbUncompressed = 0;
    Bytes descriptor; // written after the data when not empty
    Bytes extra = {}; // the extra field, after the name
};

ZipItem StoredItem(const std::string& name, const Bytes& data);
ZipItem DeflatedItem(const std::string& name, const Bytes& data, int level = 9);

// The local headers with their data, then (unless localOnly) the central directory's place.
Bytes BuildZip(const std::vector<ZipItem>& items, bool localOnly = false);
