#include "image.h"

#include "run.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

// One header number of a PPM: digits after blanks and comments.
long PpmNumber(const std::vector<uint8_t>& bytes, size_t& at)
{
    while (at < bytes.size() && (std::isspace(bytes[at]) || bytes[at] == '#')) {
        if (bytes[at] == '#')
            while (at < bytes.size() && bytes[at] != '\n')
                ++at;
        else
            ++at;
    }
    long value = 0;
    size_t digits = 0;
    for (; at < bytes.size() && std::isdigit(bytes[at]) && digits < 6; ++digits)
        value = value * 10 + (bytes[at++] - '0');
    if (digits == 0 || (at < bytes.size() && std::isdigit(bytes[at])))
        throw std::runtime_error("ppm: bad header");
    return value;
}

} // namespace

Image ReadPpm(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6')
        throw std::runtime_error("ppm: not a binary PPM");
    size_t at = 2;
    const long width = PpmNumber(bytes, at);
    const long height = PpmNumber(bytes, at);
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        throw std::runtime_error("ppm: bad size");
    if (PpmNumber(bytes, at) != 255 || at >= bytes.size() || !std::isspace(bytes[at++]))
        throw std::runtime_error("ppm: only 8-bit samples");
    Image image{int(width), int(height)};
    if (bytes.size() - at < image.pixels.size() * 3)
        throw std::runtime_error("ppm: truncated");
    for (Rgb& p : image.pixels) {
        p = {bytes[at], bytes[at + 1], bytes[at + 2]};
        at += 3;
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

Image ReadPicture(const std::string& path)
{
    return ReadPpm(Capture({"convert", path, "-depth", "8", "ppm:-"}));
}

void WritePicture(const Image& image, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const std::string temporary = path + ".ppm";
    const std::vector<uint8_t> bytes = WritePpm(image);
    if (!std::ofstream(temporary, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())))
        throw std::runtime_error("cannot write " + temporary);
    Capture({"convert", temporary, path});
    std::filesystem::remove(temporary);
}

Image Crop(const Image& image, int x, int y, int width, int height)
{
    const int left = std::clamp(x, 0, image.width), top = std::clamp(y, 0, image.height);
    const int right = std::clamp(x + width, left, image.width), bottom = std::clamp(y + height, top, image.height);
    Image out(right - left, bottom - top);
    for (int row = top; row < bottom && right > left; ++row)
        std::copy_n(&image.at(left, row), right - left, &out.at(0, row - top));
    return out;
}

void Paste(Image& image, const Image& picture, int x, int y)
{
    for (int row = std::max(0, -y); row < picture.height && y + row < image.height; ++row)
        for (int col = std::max(0, -x); col < picture.width && x + col < image.width; ++col)
            image.at(x + col, y + row) = picture.at(col, row);
}
