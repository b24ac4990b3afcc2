#include "zip_builder.h"

#include "little_endian.h"

#include <iterator>

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
    const auto put = [&out](uint32_t value, int cb) { cb == 4 ? AppendLe32(out, value) : AppendLe16(out, value); };
    for (const ZipItem& item : items) {
        // Signature, version, flags, method, time, date (1 January 1980), CRC-32 (which the
        // readers do not check), sizes, name and extra field lengths.
        const uint32_t fields[] = {0x04034B50,
                                   20,
                                   item.flags,
                                   item.method,
                                   0,
                                   0x21,
                                   0,
                                   uint32_t(item.data.size()),
                                   item.cbUncompressed,
                                   uint32_t(item.name.size()),
                                   uint32_t(item.extra.size())};
        for (size_t i = 0; i < std::size(fields); ++i)
            put(fields[i], i == 0 || (i >= 6 && i <= 8) ? 4 : 2);
        out.insert(out.end(), item.name.begin(), item.name.end());
        for (const Bytes* part : {&item.extra, &item.data, &item.descriptor})
            out.insert(out.end(), part->begin(), part->end());
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
