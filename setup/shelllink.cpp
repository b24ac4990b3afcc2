#include "shelllink.h"

#include "little_endian.h"

#include <cstdint>

namespace {

constexpr uint32_t kHeaderSize = 0x4C;
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr uint32_t kHasLinkInfo = 0x02;
constexpr uint32_t kHasName = 0x04;
constexpr uint32_t kIsUnicode = 0x80;
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x01;
constexpr uint32_t kLinkInfoHeaderSize = 0x24; // with the wide path offsets
constexpr uint32_t kVolumeIdSize = 0x11; // the fixed part and an empty label
constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kFileAttributeArchive = 0x20;

// The narrow path is for readers that know no wide text; they get "?" for what ASCII lacks.
std::string ascii(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? char(c) : '?';
    return out;
}

} // namespace

std::string ShellLinkBytes(std::u16string_view target, std::u16string_view description)
{
    std::string link;
    AppendLe32(link, kHeaderSize);
    link.append(reinterpret_cast<const char*>(kLinkClsid), sizeof kLinkClsid);
    AppendLe32(link, kHasLinkInfo | kHasName | kIsUnicode);
    AppendLe32(link, kFileAttributeArchive);
    link.append(24, '\0'); // creation, access and write times: unknown
    AppendLe32(link, 0); // target size: unknown
    AppendLe32(link, 0); // icon index
    AppendLe32(link, kShowNormal);
    AppendLe16(link, 0); // hot key
    link.append(10, '\0');

    const std::string narrowPath = ascii(target) + '\0';
    const uint32_t volumeOffset = kLinkInfoHeaderSize;
    const uint32_t pathOffset = volumeOffset + kVolumeIdSize;
    const uint32_t suffixOffset = pathOffset + uint32_t(narrowPath.size());
    const uint32_t widePathOffset = suffixOffset + 1;
    const uint32_t wideSuffixOffset = widePathOffset + uint32_t((target.size() + 1) * 2);
    const uint32_t infoSize = wideSuffixOffset + 2;
    AppendLe32(link, infoSize);
    AppendLe32(link, kLinkInfoHeaderSize);
    AppendLe32(link, kVolumeIdAndLocalBasePath);
    AppendLe32(link, volumeOffset);
    AppendLe32(link, pathOffset);
    AppendLe32(link, 0); // no network location
    AppendLe32(link, suffixOffset);
    AppendLe32(link, widePathOffset);
    AppendLe32(link, wideSuffixOffset);
    AppendLe32(link, kVolumeIdSize);
    AppendLe32(link, kDriveFixed);
    AppendLe32(link, 0); // serial number
    AppendLe32(link, 0x10); // label offset: the empty label right after
    link += '\0';
    link += narrowPath;
    link += '\0'; // empty suffix
    for (char16_t c : target)
        AppendLe16(link, c);
    AppendLe16(link, 0);
    AppendLe16(link, 0); // empty wide suffix

    const std::u16string_view name = description.substr(0, 0xFFFF);
    AppendLe16(link, uint32_t(name.size()));
    for (char16_t c : name)
        AppendLe16(link, c);
    AppendLe32(link, 0); // no extra data blocks
    return link;
}
