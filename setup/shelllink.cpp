#include "shelllink.h"

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

void put16(std::string& out, uint32_t v)
{
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

void put32(std::string& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

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
    put32(link, kHeaderSize);
    link.append(reinterpret_cast<const char*>(kLinkClsid), sizeof kLinkClsid);
    put32(link, kHasLinkInfo | kHasName | kIsUnicode);
    put32(link, kFileAttributeArchive);
    link.append(24, '\0'); // creation, access and write times: unknown
    put32(link, 0); // target size: unknown
    put32(link, 0); // icon index
    put32(link, kShowNormal);
    put16(link, 0); // hot key
    link.append(10, '\0');

    const std::string narrowPath = ascii(target) + '\0';
    const uint32_t volumeOffset = kLinkInfoHeaderSize;
    const uint32_t pathOffset = volumeOffset + kVolumeIdSize;
    const uint32_t suffixOffset = pathOffset + uint32_t(narrowPath.size());
    const uint32_t widePathOffset = suffixOffset + 1;
    const uint32_t wideSuffixOffset = widePathOffset + uint32_t((target.size() + 1) * 2);
    const uint32_t infoSize = wideSuffixOffset + 2;
    put32(link, infoSize);
    put32(link, kLinkInfoHeaderSize);
    put32(link, kVolumeIdAndLocalBasePath);
    put32(link, volumeOffset);
    put32(link, pathOffset);
    put32(link, 0); // no network location
    put32(link, suffixOffset);
    put32(link, widePathOffset);
    put32(link, wideSuffixOffset);
    put32(link, kVolumeIdSize);
    put32(link, kDriveFixed);
    put32(link, 0); // serial number
    put32(link, 0x10); // label offset: the empty label right after
    link += '\0';
    link += narrowPath;
    link += '\0'; // empty suffix
    for (char16_t c : target)
        put16(link, c);
    put16(link, 0);
    put16(link, 0); // empty wide suffix

    const std::u16string_view name = description.substr(0, 0xFFFF);
    put16(link, uint32_t(name.size()));
    for (char16_t c : name)
        put16(link, c);
    put32(link, 0); // no extra data blocks
    return link;
}
