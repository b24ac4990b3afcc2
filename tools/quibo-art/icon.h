// The desktop icon: an ivory tile showing the game's three shapes, on a transparent square,
// written as RGBA PNG files in the sizes desktops look for, and as an icon file (".ico") for
// the programs' resources.
#pragma once

#include "canvas.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
// The icon file's sizes: a window's small and big icons, and the big one at 150 %.
inline constexpr int kIcoSizes[] = {16, 32, 48};

Canvas DrawIcon(int size);
// 8-bit RGBA, straight alpha, one zlib stream.
std::vector<uint8_t> EncodePngRgba(const Canvas& canvas);
// Writes ROOT/NxN/apps/NAME.png for every size, ROOT being an icon theme's folder.
void WriteIcons(const std::string& root, const std::string& name);
// An icon file with one image per kIcoSizes entry, each a 32-bit bottom-up bitmap with
// straight alpha and the transparency mask after it.
std::vector<uint8_t> EncodeIco();
void WriteIco(const std::string& path);
