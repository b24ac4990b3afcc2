// Reads back the PNG files the art tools write (8-bit RGB or RGBA, one IDAT, no filters),
// checking every chunk's CRC.
#pragma once

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <zlib.h>

inline uint32_t PngU32(const std::vector<uint8_t>& bytes, size_t at)
{
    return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

struct DecodedPng {
    int width = 0, height = 0, colourType = 0;
    std::vector<uint8_t> rows; // each row: its filter byte, then the pixels
};

inline DecodedPng DecodePng(const std::vector<uint8_t>& png)
{
    DecodedPng decoded;
    EXPECT_EQ(std::string(png.begin(), png.begin() + 8), "\x89PNG\r\n\x1a\n");
    std::vector<uint8_t> packed;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = PngU32(png, at);
        const std::string type(png.begin() + long(at) + 4, png.begin() + long(at) + 8);
        EXPECT_EQ(PngU32(png, at + 8 + length), uint32_t(crc32(0, png.data() + at + 4, uInt(length + 4)))) << type;
        if (type == "IHDR") {
            decoded.width = int(PngU32(png, at + 8));
            decoded.height = int(PngU32(png, at + 12));
            decoded.colourType = png[at + 17];
        } else if (type == "IDAT") {
            packed.assign(png.begin() + long(at) + 8, png.begin() + long(at + 8 + length));
        }
        at += 12 + length;
    }
    const size_t channels = decoded.colourType == 6 ? 4 : 3;
    decoded.rows.resize(size_t(decoded.height) * (size_t(decoded.width) * channels + 1));
    uLongf rawSize = uLongf(decoded.rows.size());
    EXPECT_EQ(uncompress(decoded.rows.data(), &rawSize, packed.data(), uLong(packed.size())), Z_OK);
    EXPECT_EQ(rawSize, decoded.rows.size());
    return decoded;
}
