// Pictures the robot looks at: screenshots (PPM from the screen grabber) and the pack's cells
// (24-bit BMP from quibo-pack). Readers check every size against the bytes they were given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels; // row by row, top row first

    Image() = default;
    Image(int w, int h, Rgb fill = {}) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) { }
    Rgb& at(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    const Rgb& at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    bool empty() const { return pixels.empty(); }
};

// Both throw std::runtime_error on anything they cannot read whole.
Image ReadPpm(const std::vector<uint8_t>& bytes);
Image ReadBmp(const std::vector<uint8_t>& bytes);

std::vector<uint8_t> WritePpm(const Image& image);
std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// The rectangle (x, y, width, height) of the image, clipped to it.
Image Crop(const Image& image, int x, int y, int width, int height);
// Copies the picture onto the image with its top left at (x, y), clipped.
void Paste(Image& image, const Image& picture, int x, int y);
