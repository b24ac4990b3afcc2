#include "zip_builder.h"

#include <zlib.h>

namespace {

void Put16(Bytes& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(Bytes& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutBytes(Bytes& out, const Bytes& bytes)
{
    out.insert(out.end(), bytes.begin(), bytes.end());
}

uint32_t Crc(const Bytes& data)
{
    return uint32_t(crc32(0, data.data(), uInt(data.size())));
}

} // namespace

ZipItem StoredItem(const std::string& name, const Bytes& data)
{
    ZipItem item;
    item.name = name;
    item.data = data;
    item.cbUncompressed = uint32_t(data.size());
    item.crc = Crc(data);
    return item;
}

ZipItem DeflatedItem(const std::string& name, const Bytes& data, int level)
{
    ZipItem item = StoredItem(name, data);
    item.data = ZlibDeflate(data, level);
    item.method = 8;
    return item;
}

Bytes BuildZip(const std::vector<ZipItem>& items, bool localOnly)
{
    Bytes out;
    for (const ZipItem& item : items) {
        Put32(out, 0x04034B50);
        Put16(out, 20);
        Put16(out, item.flags);
        Put16(out, item.method);
        Put16(out, item.dosTime);
        Put16(out, item.dosDate);
        Put32(out, item.crc);
        Put32(out, uint32_t(item.data.size()));
        Put32(out, item.cbUncompressed);
        Put16(out, uint32_t(item.name.size()));
        Put16(out, uint32_t(item.extra.size()));
        out.insert(out.end(), item.name.begin(), item.name.end());
        PutBytes(out, item.extra);
        PutBytes(out, item.data);
        PutBytes(out, item.descriptor);
    }
    if (!localOnly) {
        // The reader stops at the first other signature, so a directory entry's and an end
        // record's worth of bytes with their signatures stand in for the real thing.
        Put32(out, 0x02014B50);
        out.resize(out.size() + 42);
        Put32(out, 0x06054B50);
        out.resize(out.size() + 18);
    }
    return out;
}
