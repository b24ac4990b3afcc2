#include "image.h"

#include "run.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

Image ReadPpm(const std::vector<uint8_t>& bytes)
{
    // The header as ImageMagick writes it: "P6", width, height and 255 after blanks, then one blank.
    const std::string head(bytes.begin(), bytes.begin() + std::min<std::ptrdiff_t>(std::ssize(bytes), 40));
    int width = 0, height = 0, depth = 0, at = 0;
    if (std::sscanf(head.c_str(), "P6 %6d %6d %6d%n", &width, &height, &depth, &at) != 3 || depth != 255 || size_t(at) >= head.size()
        || !std::isspace(uint8_t(head[size_t(at++)])))
        throw std::runtime_error("ppm: not a binary PPM of 8-bit samples");
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        throw std::runtime_error("ppm: bad size");
    Image image{width, height};
    if (bytes.size() - size_t(at) < image.pixels.size() * 3)
        throw std::runtime_error("ppm: truncated");
    for (size_t i = 0, p = size_t(at); i < image.pixels.size(); ++i, p += 3)
        image.pixels[i] = {bytes[p], bytes[p + 1], bytes[p + 2]};
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

Image Crop(const Image& image, int x, int y, int width, int height, int step)
{
    const int left = std::clamp(x, 0, image.width), top = std::clamp(y, 0, image.height);
    Image out((std::clamp(x + width, left, image.width) - left) / step, (std::clamp(y + height, top, image.height) - top) / step);
    for (int row = 0; row < out.height; ++row)
        for (int col = 0; col < out.width; ++col)
            out.at(col, row) = image.at(left + col * step, top + row * step);
    return out;
}

void Paste(Image& image, const Image& picture, int x, int y)
{
    for (int row = std::max(0, -y); row < picture.height && y + row < image.height; ++row)
        for (int col = std::max(0, -x); col < picture.width && x + col < image.width; ++col)
            image.at(x + col, y + row) = picture.at(col, row);
}
