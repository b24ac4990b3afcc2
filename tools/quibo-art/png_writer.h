// A minimal PNG writer (8-bit RGB, one zlib stream) for the contact sheets.
#pragma once

#include <string>

#include "flatten.h"

std::vector<uint8_t> EncodePng(const RgbImage& image);
void WritePng(const std::string& path, const RgbImage& image);
