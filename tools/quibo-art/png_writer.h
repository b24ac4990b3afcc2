// A minimal PNG writer (8-bit RGB or RGBA, one zlib stream) for the contact sheets and icons.
#pragma once

#include "flatten.h"

#include <string>

// rows: height rows of 1 + width * channels bytes, each led by its filter byte (0, none).
std::vector<uint8_t> EncodePngRows(int width, int height, int channels, const std::vector<uint8_t>& rows, int level);
std::vector<uint8_t> EncodePng(const RgbImage& image);
void WritePng(const std::string& path, const RgbImage& image);
