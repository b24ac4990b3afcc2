#include "image.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

constexpr int kMaxSide = 16384;

void CheckSize(long width, long height, const char* what)
{
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        throw std::runtime_error(std::string(what) + ": bad size");
}

// One header number of a PPM: digits after blanks and comments.
long PpmNumber(const std::vector<uint8_t>& bytes, size_t& at)
{
    for (;;) {
        while (at < bytes.size() && std::isspace(bytes[at]))
            ++at;
        if (at < bytes.size() && bytes[at] == '#') {
            while (at < bytes.size() && bytes[at] != '\n')
                ++at;
            continue;
        }
        break;
    }
    long value = 0;
    size_t digits = 0;
    while (at < bytes.size() && std::isdigit(bytes[at]) && digits < 6) {
        value = value * 10 + (bytes[at++] - '0');
        ++digits;
    }
    if (digits == 0 || (at < bytes.size() && std::isdigit(bytes[at])))
        throw std::runtime_error("ppm: bad header");
    return value;
}

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at)
{
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 | uint32_t(bytes[at + 3]) << 24;
}

uint16_t Le16(const std::vector<uint8_t>& bytes, size_t at)
{
    return uint16_t(bytes[at] | bytes[at + 1] << 8);
}

} // namespace

Image ReadPpm(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6')
        throw std::runtime_error("ppm: not a binary PPM");
    size_t at = 2;
    const long width = PpmNumber(bytes, at);
    const long height = PpmNumber(bytes, at);
    const long maxValue = PpmNumber(bytes, at);
    CheckSize(width, height, "ppm");
    if (maxValue != 255 || at >= bytes.size() || !std::isspace(bytes[at]))
        throw std::runtime_error("ppm: only 8-bit samples");
    ++at;
    Image image{int(width), int(height)};
    if (bytes.size() - at < image.pixels.size() * 3)
        throw std::runtime_error("ppm: truncated");
    for (Rgb& p : image.pixels) {
        p = {bytes[at], bytes[at + 1], bytes[at + 2]};
        at += 3;
    }
    return image;
}

Image ReadBmp(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M')
        throw std::runtime_error("bmp: not a bitmap file");
    const uint32_t offset = Le32(bytes, 10);
    const uint32_t headerSize = Le32(bytes, 14);
    const long width = long(int32_t(Le32(bytes, 18)));
    const long signedHeight = long(int32_t(Le32(bytes, 22)));
    const int bits = Le16(bytes, 28);
    if (headerSize < 40 || headerSize > bytes.size() - 14 || Le16(bytes, 26) != 1 || (bits != 24 && bits != 8) || Le32(bytes, 30) != 0)
        throw std::runtime_error("bmp: only uncompressed 8-bit and 24-bit bitmaps");
    const bool bottomUp = signedHeight > 0;
    const long height = bottomUp ? signedHeight : -signedHeight;
    CheckSize(width, height, "bmp");
    // 8-bit pixels index the colour table (blue, green, red, unused) after the header.
    std::vector<Rgb> table;
    if (bits == 8) {
        const uint32_t used = Le32(bytes, 46);
        const size_t count = used == 0 ? 256 : used;
        const size_t at = 14 + size_t(headerSize);
        if (count > 256 || (bytes.size() - at) / 4 < count)
            throw std::runtime_error("bmp: bad colour table");
        for (size_t i = 0; i < count; ++i)
            table.push_back({bytes[at + i * 4 + 2], bytes[at + i * 4 + 1], bytes[at + i * 4]});
    }
    const size_t stride = (size_t(width) * size_t(bits / 8) + 3) / 4 * 4;
    if (offset > bytes.size() || (bytes.size() - offset) / stride < size_t(height))
        throw std::runtime_error("bmp: truncated");
    Image image{int(width), int(height)};
    for (int y = 0; y < image.height; ++y) {
        const size_t row = offset + stride * size_t(bottomUp ? image.height - 1 - y : y);
        for (int x = 0; x < image.width; ++x) {
            if (bits == 8) {
                const uint8_t index = bytes[row + size_t(x)];
                if (index >= table.size())
                    throw std::runtime_error("bmp: colour outside the table");
                image.at(x, y) = table[index];
            } else {
                const size_t at = row + size_t(x) * 3;
                image.at(x, y) = {bytes[at + 2], bytes[at + 1], bytes[at]};
            }
        }
    }
    return image;
}

std::vector<uint8_t> WritePpm(const Image& image)
{
    const std::string header = "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
    std::vector<uint8_t> bytes(header.begin(), header.end());
    for (const Rgb& p : image.pixels)
        bytes.insert(bytes.end(), {p.r, p.g, p.b});
    return bytes;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}

Image Crop(const Image& image, int x, int y, int width, int height)
{
    const int left = std::clamp(x, 0, image.width), top = std::clamp(y, 0, image.height);
    const int right = std::clamp(x + width, left, image.width), bottom = std::clamp(y + height, top, image.height);
    Image out(right - left, bottom - top);
    if (out.empty())
        return out;
    for (int row = top; row < bottom; ++row)
        std::copy_n(&image.at(left, row), right - left, &out.at(0, row - top));
    return out;
}

void Paste(Image& image, const Image& picture, int x, int y)
{
    for (int row = std::max(0, -y); row < picture.height && y + row < image.height; ++row)
        for (int col = std::max(0, -x); col < picture.width && x + col < image.width; ++col)
            image.at(x + col, y + row) = picture.at(col, row);
}
