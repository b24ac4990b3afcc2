// Writes layered paint-program image files (major version 5), the form every image of the
// resource packs and the installer's skin is stored in. Only what our images need: one
// palette, a layer bank with one layer per frame, 8-bit palettised or 24-bit channels,
// transparency and user masks, a selection, and the three channel compressions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace psp {

using Bytes = std::vector<uint8_t>;

enum class Compression : uint16_t { None = 0, RunLength = 1, Deflate = 2 };

enum class MaskKind : uint16_t { Transparency = 1, User = 2 };

// Left, top, right, bottom; right and bottom exclusive.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
};

struct PaletteEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

// One mask plane: rows of the placement's width, 0 transparent to 255 opaque. A transparency
// mask lies where the layer's pixels lie; a user mask lies on the layer's mask rectangle
// when that has a right edge, else where the pixels lie.
struct Mask {
    MaskKind kind = MaskKind::Transparency;
    Bytes values;
};

struct Layer {
    std::string name;
    // Where the layer sits on the canvas (only its left and top place the data) and the
    // rectangle, relative to that corner, that its pixels cover.
    Rect imageRect;
    Rect savedRect;
    Rect maskRect;
    // savedRect's rows top-down: palette indices for 8-bit images, 0x00RRGGBB for 24-bit.
    std::vector<uint32_t> pixels;
    std::vector<Mask> masks;
};

// The saved selection: rows of the canvas width from row 0 down to rect.bottom; only the
// bytes inside rect count.
struct Selection {
    Rect rect;
    Bytes values;
};

struct Image {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitDepth = 24; // 8 or 24
    Compression compression = Compression::None;
    std::vector<PaletteEntry> palette; // written when not empty
    std::vector<Layer> layers;
    std::optional<Selection> selection;
};

// A layer covering the whole canvas with the given pixels.
Layer WholeLayer(const Image& image, std::vector<uint32_t> pixels);

Bytes CompressChannel(const Bytes& data, Compression compression);
Bytes WritePspImage(const Image& image);

} // namespace psp
