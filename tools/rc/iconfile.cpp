#include "iconfile.h"

#include "little_endian.h"
#include "resource.h"

#include <algorithm>

namespace {

constexpr size_t kDirectory = 6;
constexpr size_t kEntry = 16;
constexpr size_t kHeader = 40;
constexpr size_t kMaxImages = 64;
constexpr uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G'};

std::string imageError(size_t index, const std::string& what)
{
    return "has image " + std::to_string(index + 1) + " " + what;
}

// What is wrong with one image, or "" when it is a bitmap the platform shows.
std::string checkImage(size_t index, const uint8_t* at, uint32_t size, uint32_t width, uint32_t height)
{
    if (size >= sizeof kPngSignature && std::equal(kPngSignature, kPngSignature + 4, at))
        return imageError(index, "compressed as PNG; save it as a 32-bit bitmap");
    if (size < kHeader || LoadLe32(at) != kHeader)
        return imageError(index, "without a bitmap header");
    const int32_t biWidth = int32_t(LoadLe32(at + 4)), biHeight = int32_t(LoadLe32(at + 8));
    if (LoadLe16(at + 12) != 1 || LoadLe16(at + 14) != 32 || LoadLe32(at + 16) != 0 || LoadLe32(at + 32) != 0)
        return imageError(index, "that is not a 32-bit uncompressed bitmap");
    if (biWidth != int32_t(width) || biHeight != int32_t(height * 2))
        return imageError(index, "of " + std::to_string(biWidth) + " x " + std::to_string(biHeight / 2)
                                     + " pixels where the directory says " + std::to_string(width) + " x " + std::to_string(height));
    const uint64_t maskStride = (width + 31) / 32 * 4;
    if (size < kHeader + uint64_t(height) * (width * 4 + maskStride))
        return imageError(index, "cut short");
    return "";
}

} // namespace

IconFile ReadIconFile(const std::vector<uint8_t>& file)
{
    IconFile out;
    if (file.size() < kDirectory || LoadLe16(&file[0]) != 0 || LoadLe16(&file[2]) != 1) {
        out.error = "is not an icon file";
        return out;
    }
    const size_t count = LoadLe16(&file[4]);
    if (count == 0 || count > kMaxImages) {
        out.error = "has " + std::to_string(count) + " images (1 to " + std::to_string(kMaxImages) + " are allowed)";
        return out;
    }
    if (file.size() < kDirectory + count * kEntry) {
        out.error = "is cut short in its directory";
        return out;
    }
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = &file[kDirectory + i * kEntry];
        const uint32_t size = LoadLe32(entry + 8), offset = LoadLe32(entry + 12);
        if (offset > file.size() || size > file.size() - offset) {
            out.error = imageError(i, "reaching past the end of the file");
            break;
        }
        const uint32_t width = entry[0] ? entry[0] : 256, height = entry[1] ? entry[1] : 256;
        out.error = checkImage(i, file.data() + offset, size, width, height);
        if (!out.error.empty())
            break;
        out.images.push_back({entry[0], entry[1], std::vector<uint8_t>(file.begin() + offset, file.begin() + offset + size)});
    }
    if (!out.error.empty())
        out.images.clear();
    return out;
}

std::vector<uint8_t> EncodeIconGroup(const std::vector<IconImage>& images, uint16_t firstId)
{
    ByteWriter out;
    out.word(0);
    out.word(1);
    out.word(uint16_t(images.size()));
    for (size_t i = 0; i < images.size(); ++i) {
        out.byte(images[i].width);
        out.byte(images[i].height);
        out.byte(0);
        out.byte(0);
        out.word(1);
        out.word(32);
        out.dword(uint32_t(images[i].bytes.size()));
        out.word(uint16_t(firstId + i));
    }
    return out.take();
}
