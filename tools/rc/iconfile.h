// Icon files (".ico"): a directory of images, each a 32-bit bitmap with its transparency mask.
// A script's ICON statement makes one RT_ICON resource of each image and an RT_GROUP_ICON
// resource that lists them by size, as Win32 programs carry their icons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct IconImage {
    uint8_t width = 0; // 0 stands for 256
    uint8_t height = 0;
    std::vector<uint8_t> bytes; // BITMAPINFOHEADER, colour rows, mask rows
};

struct IconFile {
    std::vector<IconImage> images;
    std::string error; // empty when the file was read; else what is wrong, for "file is/has ..."
};

IconFile ReadIconFile(const std::vector<uint8_t>& file);

// GRPICONDIR: WORD 0, WORD 1, WORD count, then per image BYTE width, height, colours (0),
// reserved (0), WORD planes (1), bit count (32), DWORD size, WORD the RT_ICON id; the images'
// ids run from firstId up.
std::vector<uint8_t> EncodeIconGroup(const std::vector<IconImage>& images, uint16_t firstId);
