#include "zip_writer.h"

#include <cstdint>
#include <limits>
#include <zlib.h>

namespace {

constexpr uint16_t kVersion = 10; // stored entries need nothing newer
constexpr uint16_t kDosTime = 0;
constexpr uint16_t kDosDate = (0 << 9) | (1 << 5) | 1; // 1 January 1980
constexpr uint32_t kDirectoryAttribute = 0x10;

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

// The fields local header and central directory share, from "version needed" to the name length.
void PutCommon(Bytes& out, const ZipMember& member, uint32_t crc)
{
    Put16(out, kVersion);
    Put16(out, 0); // flags
    Put16(out, 0); // stored
    Put16(out, kDosTime);
    Put16(out, kDosDate);
    Put32(out, crc);
    Put32(out, uint32_t(member.data.size()));
    Put32(out, uint32_t(member.data.size()));
    Put16(out, uint32_t(member.name.size()));
}

void Check(bool fits, const std::string& what)
{
    if (!fits)
        throw CommandError("quibo-pack: " + what + " is too large for a ZIP archive");
}

} // namespace

Bytes WriteStoredZip(const std::vector<ZipMember>& members)
{
    constexpr size_t kMax32 = std::numeric_limits<uint32_t>::max();
    Check(members.size() <= 0xFFFF, "the number of entries");
    Bytes out;
    std::vector<uint32_t> crcs, offsets;
    for (const ZipMember& member : members) {
        Check(member.name.size() <= 0xFFFF, "the name " + member.name);
        Check(member.data.size() <= kMax32 && out.size() <= kMax32, member.name);
        crcs.push_back(uint32_t(crc32(0, member.data.data(), uInt(member.data.size()))));
        offsets.push_back(uint32_t(out.size()));
        Put32(out, 0x04034B50);
        PutCommon(out, member, crcs.back());
        Put16(out, 0); // extra field
        out.insert(out.end(), member.name.begin(), member.name.end());
        out.insert(out.end(), member.data.begin(), member.data.end());
    }
    Check(out.size() <= kMax32, "the archive");
    const uint32_t directory = uint32_t(out.size());
    for (size_t i = 0; i < members.size(); ++i) {
        const ZipMember& member = members[i];
        Put32(out, 0x02014B50);
        Put16(out, kVersion); // made by
        PutCommon(out, member, crcs[i]);
        Put16(out, 0); // extra field
        Put16(out, 0); // comment
        Put16(out, 0); // disk
        Put16(out, 0); // internal attributes
        Put32(out, member.name.ends_with('/') ? kDirectoryAttribute : 0);
        Put32(out, offsets[i]);
        out.insert(out.end(), member.name.begin(), member.name.end());
    }
    Check(out.size() <= kMax32, "the archive");
    const uint32_t cbDirectory = uint32_t(out.size()) - directory;
    Put32(out, 0x06054B50);
    Put16(out, 0); // this disk
    Put16(out, 0); // the directory's disk
    Put16(out, uint32_t(members.size()));
    Put16(out, uint32_t(members.size()));
    Put32(out, cbDirectory);
    Put32(out, directory);
    Put16(out, 0); // comment
    return out;
}
