#include "zip_writer.h"

#include "little_endian.h"

#include <cstdint>
#include <limits>
#include <zlib.h>

namespace {

constexpr uint16_t kVersion = 10; // stored entries need nothing newer
constexpr uint16_t kDosTime = 0;
constexpr uint16_t kDosDate = (0 << 9) | (1 << 5) | 1; // 1 January 1980
constexpr uint32_t kDirectoryAttribute = 0x10;

// The fields local header and central directory share, from "version needed" to the name length.
void PutCommon(Bytes& out, const ZipMember& member, uint32_t crc)
{
    AppendLe16(out, kVersion);
    AppendLe16(out, 0); // flags
    AppendLe16(out, 0); // stored
    AppendLe16(out, kDosTime);
    AppendLe16(out, kDosDate);
    AppendLe32(out, crc);
    AppendLe32(out, uint32_t(member.data.size()));
    AppendLe32(out, uint32_t(member.data.size()));
    AppendLe16(out, uint32_t(member.name.size()));
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
        AppendLe32(out, 0x04034B50);
        PutCommon(out, member, crcs.back());
        AppendLe16(out, 0); // extra field
        out.insert(out.end(), member.name.begin(), member.name.end());
        out.insert(out.end(), member.data.begin(), member.data.end());
    }
    Check(out.size() <= kMax32, "the archive");
    const uint32_t directory = uint32_t(out.size());
    for (size_t i = 0; i < members.size(); ++i) {
        const ZipMember& member = members[i];
        AppendLe32(out, 0x02014B50);
        AppendLe16(out, kVersion); // made by
        PutCommon(out, member, crcs[i]);
        AppendLe16(out, 0); // extra field
        AppendLe16(out, 0); // comment
        AppendLe16(out, 0); // disk
        AppendLe16(out, 0); // internal attributes
        AppendLe32(out, member.name.ends_with('/') ? kDirectoryAttribute : 0);
        AppendLe32(out, offsets[i]);
        out.insert(out.end(), member.name.begin(), member.name.end());
    }
    Check(out.size() <= kMax32, "the archive");
    const uint32_t cbDirectory = uint32_t(out.size()) - directory;
    AppendLe32(out, 0x06054B50);
    AppendLe16(out, 0); // this disk
    AppendLe16(out, 0); // the directory's disk
    AppendLe16(out, uint32_t(members.size()));
    AppendLe16(out, uint32_t(members.size()));
    AppendLe32(out, cbDirectory);
    AppendLe32(out, directory);
    AppendLe16(out, 0); // comment
    return out;
}
