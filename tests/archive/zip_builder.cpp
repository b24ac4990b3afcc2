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

void PutName(Bytes& out, const std::string& name)
{
    out.insert(out.end(), name.begin(), name.end());
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
    std::vector<uint32_t> offsets;
    for (const ZipItem& item : items) {
        offsets.push_back(uint32_t(out.size()));
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
        PutName(out, item.name);
        PutBytes(out, item.extra);
        PutBytes(out, item.data);
        PutBytes(out, item.descriptor);
    }
    if (localOnly)
        return out;
    const uint32_t directory = uint32_t(out.size());
    for (size_t i = 0; i < items.size(); ++i) {
        const ZipItem& item = items[i];
        Put32(out, 0x02014B50);
        Put16(out, 20);
        Put16(out, 20);
        Put16(out, item.flags);
        Put16(out, item.method);
        Put16(out, item.dosTime);
        Put16(out, item.dosDate);
        Put32(out, item.crc);
        Put32(out, uint32_t(item.data.size()));
        Put32(out, item.cbUncompressed);
        Put16(out, uint32_t(item.name.size()));
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, 0);
        Put32(out, 0);
        Put32(out, offsets[i]);
        PutName(out, item.name);
    }
    const uint32_t cbDirectory = uint32_t(out.size()) - directory;
    Put32(out, 0x06054B50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, uint32_t(items.size()));
    Put16(out, uint32_t(items.size()));
    Put32(out, cbDirectory);
    Put32(out, directory);
    Put16(out, 0);
    return out;
}
