#include "zip_builder.h"

#include <zlib.h>

ZipItem StoredItem(const std::string& name, const Bytes& data)
{
    return {name, data, 0, 0, uint32_t(data.size()), {}};
}

ZipItem DeflatedItem(const std::string& name, const Bytes& data, int level)
{
    return {name, ZlibDeflate(data, level), 8, 0, uint32_t(data.size()), {}};
}

Bytes BuildZip(const std::vector<ZipItem>& items, bool localOnly)
{
    Bytes out;
    auto put = [&out](uint32_t value, int cb) {
        for (int i = 0; i < cb; ++i)
            out.push_back(uint8_t(value >> (8 * i)));
    };
    for (const ZipItem& item : items) {
        // Signature, version, flags, method, time, date (1 January 1980), CRC-32 (which the
        // readers do not check), sizes, name and extra field lengths.
        for (auto [value, cb] : {std::pair<uint32_t, int>{0x04034B50, 4},
                                 {20, 2},
                                 {item.flags, 2},
                                 {item.method, 2},
                                 {0, 2},
                                 {0x21, 2},
                                 {0, 4},
                                 {uint32_t(item.data.size()), 4},
                                 {item.cbUncompressed, 4},
                                 {uint32_t(item.name.size()), 2},
                                 {uint32_t(item.extra.size()), 2}})
            put(value, cb);
        out.insert(out.end(), item.name.begin(), item.name.end());
        out.insert(out.end(), item.extra.begin(), item.extra.end());
        out.insert(out.end(), item.data.begin(), item.data.end());
        out.insert(out.end(), item.descriptor.begin(), item.descriptor.end());
    }
    if (!localOnly) {
        // The reader stops at the first other signature, so a directory entry's and an end
        // record's worth of bytes with their signatures stand in for the real thing.
        put(0x02014B50, 4);
        out.resize(out.size() + 42);
        put(0x06054B50, 4);
        out.resize(out.size() + 18);
    }
    return out;
}
