#include "icon.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "emblem.h"
#include "shapes.h"
#include "style.h"

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
{
    PutU32(out, uint32_t(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutU32(out, uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))));
}

uint8_t Channel(float value)
{
    return uint8_t(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f);
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
        Glow(canvas, Moved(RoundRect(left, top, right, bottom, radius), 0, s * 0.02f), Hex(0x000000, 0.35f),
             s * 0.03f);
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
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 9) != Z_OK)
        throw std::runtime_error("quibo-icons: PNG compression failed");
    packed.resize(packedSize);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutU32(header, uint32_t(width));
    PutU32(header, uint32_t(height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter, no interlace
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

void WriteIcons(const std::string& root, const std::string& name)
{
    namespace fs = std::filesystem;
    for (const int size : kIconSizes) {
        const fs::path folder = fs::path(root) / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
        fs::create_directories(folder);
        const std::vector<uint8_t> bytes = EncodePngRgba(DrawIcon(size));
        const fs::path path = folder / (name + ".png");
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!file)
            throw std::runtime_error("quibo-icons: cannot write " + path.string());
    }
}
