#include "icon.h"

#include "emblem.h"
#include "little_endian.h"
#include "png_writer.h"
#include "shapes.h"
#include "style.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

uint8_t Channel(float value)
{
    return uint8_t(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f);
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file)
        throw std::runtime_error("quibo-icons: cannot write " + path.string());
}

// BITMAPINFOHEADER (its height counts the colour rows and the mask rows), the colour rows
// bottom-up as blue, green, red, alpha, then the mask: a bit set where the icon is clear.
std::vector<uint8_t> EncodeIcoImage(const Canvas& canvas)
{
    const int width = canvas.Width(), height = canvas.Height();
    const size_t maskStride = size_t((width + 31) / 32) * 4;
    std::vector<uint8_t> out;
    for (const uint32_t field : {40u, uint32_t(width), uint32_t(height * 2)})
        AppendLe32(out, field);
    AppendLe16(out, 1); // planes
    AppendLe16(out, 32); // bits per pixel
    AppendLe32(out, 0); // BI_RGB
    AppendLe32(out, uint32_t(size_t(height) * (size_t(width) * 4 + maskStride)));
    for (int i = 0; i < 4; ++i) // resolution and palette: none
        AppendLe32(out, 0);
    std::vector<uint8_t> mask(size_t(height) * maskStride, 0);
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;
        for (int x = 0; x < width; ++x) {
            const Colour c = canvas.At(x, y);
            const uint8_t alpha = Channel(c.a);
            out.insert(out.end(), {Channel(c.b), Channel(c.g), Channel(c.r), alpha});
            if (alpha == 0)
                mask[size_t(row) * maskStride + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        }
    }
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

} // namespace

Canvas DrawIcon(int size)
{
    using namespace style;
    const float s = float(size);
    Canvas canvas(size, size);
    // A portrait card, as the tiles stand on the board, with room for a soft shadow below.
    const float left = s * 0.17f, right = s * 0.83f, top = s * 0.03f, bottom = s * 0.94f;
    const float radius = std::max(2.0f, s * 0.1f);
    const float edge = std::max(1.0f, s * 0.035f);
    if (size >= 32)
        Glow(canvas, Moved(RoundRect(left, top, right, bottom, radius), 0, s * 0.02f), Hex(0x000000, 0.35f), s * 0.03f);
    Fill(canvas, RoundRect(left, top, right, bottom, radius), kFaceEdge);
    Fill(canvas, RoundRect(left + edge, top + edge, right - edge, bottom - edge, radius - edge),
         Linear(left, top, right, bottom, {{0, kFaceHighlight}, {0.45f, kFace}, {1, kFaceShadow}}));
    // One of each shape in its colour, top to bottom: rectangle, circle, triangle.
    const float step = (bottom - top) / 3.0f;
    const float shape = std::min(step * 0.72f, (right - left) * 0.62f);
    for (int i = 0; i < 3; ++i)
        DrawEmblemShape(canvas, i, s / 2, top + step * (float(i) + 0.5f), shape);
    return canvas;
}

std::vector<uint8_t> EncodePngRgba(const Canvas& canvas)
{
    const int width = canvas.Width(), height = canvas.Height();
    const size_t stride = size_t(width) * 4 + 1; // each row starts with filter 0, none
    std::vector<uint8_t> raw(size_t(height) * stride, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Colour c = canvas.At(x, y);
            uint8_t* out = &raw[size_t(y) * stride + 1 + size_t(x) * 4];
            out[0] = Channel(c.r);
            out[1] = Channel(c.g);
            out[2] = Channel(c.b);
            out[3] = Channel(c.a);
        }
    return EncodePngRows(width, height, 4, raw, 9);
}

void WriteIcons(const std::string& root, const std::string& name)
{
    namespace fs = std::filesystem;
    for (const int size : kIconSizes) {
        const fs::path folder = fs::path(root) / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
        fs::create_directories(folder);
        const std::vector<uint8_t> bytes = EncodePngRgba(DrawIcon(size));
        WriteFile(folder / (name + ".png"), bytes);
    }
}

// ICONDIR, one 16-byte ICONDIRENTRY per image, then the images.
std::vector<uint8_t> EncodeIco()
{
    constexpr size_t count = std::size(kIcoSizes);
    std::vector<uint8_t> out;
    AppendLe16(out, 0);
    AppendLe16(out, 1); // an icon, not a cursor
    AppendLe16(out, uint16_t(count));
    std::vector<uint8_t> images;
    for (const int size : kIcoSizes) {
        const std::vector<uint8_t> image = EncodeIcoImage(DrawIcon(size));
        out.insert(out.end(), {uint8_t(size), uint8_t(size), 0, 0}); // width, height, no palette
        AppendLe16(out, 1);
        AppendLe16(out, 32);
        AppendLe32(out, uint32_t(image.size()));
        AppendLe32(out, uint32_t(6 + 16 * count + images.size()));
        images.insert(images.end(), image.begin(), image.end());
    }
    out.insert(out.end(), images.begin(), images.end());
    return out;
}

void WriteIco(const std::string& path)
{
    WriteFile(path, EncodeIco());
}
