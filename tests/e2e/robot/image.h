// Pictures the robot looks at: screenshots and the pack's cells. Everything reaches the robot as
// binary PPM (ImageMagick converts other formats); the reader checks every size against the
// bytes it was given.
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

// Throws std::runtime_error on anything it cannot read whole.
Image ReadPpm(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> WritePpm(const Image& image);
// A picture file of any format ImageMagick reads, and one written in the format its name gives.
Image ReadPicture(const std::string& path);
void WritePicture(const Image& image, const std::string& path);

// The rectangle (x, y, width, height) of the image, clipped to it; with a step, every step-th
// pixel of it both ways (a screen shown at a whole factor, back at its own size).
Image Crop(const Image& image, int x, int y, int width, int height, int step = 1);
// Copies the picture onto the image with its top left at (x, y), clipped.
void Paste(Image& image, const Image& picture, int x, int y);
