#include "psp_writer.h"

#include "little_endian.h"

#include <cstring>
#include <stdexcept>
#include <zlib.h>

namespace psp {

namespace {

constexpr char kSignature[32] = "Paint Shop Pro Image File\n\x1a";
constexpr uint16_t kMajorVersion = 5;
constexpr uint16_t kMinorVersion = 0;
constexpr uint32_t kBlockMagic = 0x004B427E;

enum BlockId : uint16_t {
    kGeneralAttributes = 0,
    kPalette = 2,
    kLayerBank = 3,
    kLayer = 4,
    kChannel = 5,
    kSelection = 6,
};

enum BitmapType : uint16_t { kImageBitmap = 0, kSelectionBitmap = 3 };
enum ChannelType : uint16_t { kComposite = 0, kRed = 1, kGreen = 2, kBlue = 3 };

class Writer {
public:
    Bytes& Out() { return m_out; }
    void U8(uint8_t v) { m_out.push_back(v); }
    void U16(uint16_t v) { AppendLe16(m_out, v); }
    void U32(uint32_t v) { AppendLe32(m_out, v); }
    void F64(double v)
    {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        U32(uint32_t(bits));
        U32(uint32_t(bits >> 32));
    }
    void RectOut(const Rect& r)
    {
        U32(uint32_t(r.left));
        U32(uint32_t(r.top));
        U32(uint32_t(r.right));
        U32(uint32_t(r.bottom));
    }
    void Append(const Bytes& bytes) { m_out.insert(m_out.end(), bytes.begin(), bytes.end()); }

    // A block header whose length is filled in by EndBlock.
    size_t BeginBlock(uint16_t id)
    {
        U32(kBlockMagic);
        U16(id);
        U32(0);
        return m_out.size();
    }
    void EndBlock(size_t start) { Patch(start - 4, uint32_t(m_out.size() - start)); }
    void Patch(size_t at, uint32_t v) { StoreLe32(m_out.data() + at, v); }

private:
    Bytes m_out;
};

Bytes RunLengthEncode(const Bytes& data)
{
    Bytes out;
    size_t i = 0;
    while (i < data.size()) {
        size_t run = 1;
        while (i + run < data.size() && run < 127 && data[i + run] == data[i])
            ++run;
        if (run >= 3) {
            out.push_back(uint8_t(128 + run));
            out.push_back(data[i]);
            i += run;
            continue;
        }
        // Literals up to the next run of three, at most 128 of them.
        size_t n = 0;
        while (i + n < data.size() && n < 128) {
            if (i + n + 2 < data.size() && data[i + n] == data[i + n + 1] && data[i + n] == data[i + n + 2])
                break;
            ++n;
        }
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + ptrdiff_t(i), data.begin() + ptrdiff_t(i + n));
        i += n;
    }
    return out;
}

Bytes Deflate(const Bytes& data)
{
    uLongf cb = compressBound(uLong(data.size()));
    Bytes out(cb);
    if (compress2(out.data(), &cb, data.data(), uLong(data.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("psp: deflate failed");
    out.resize(cb);
    return out;
}

void WriteChannel(Writer& w, const Bytes& data, Compression compression, uint16_t bitmapType, uint16_t channelType)
{
    const Bytes stored = CompressChannel(data, compression);
    const size_t block = w.BeginBlock(kChannel);
    w.U32(16);
    w.U32(uint32_t(stored.size()));
    w.U32(uint32_t(data.size()));
    w.U16(bitmapType);
    w.U16(channelType);
    w.Append(stored);
    w.EndBlock(block);
}

void WriteAttributes(Writer& w, const Image& image)
{
    const size_t block = w.BeginBlock(kGeneralAttributes);
    w.U32(46);
    w.U32(uint32_t(image.width));
    w.U32(uint32_t(image.height));
    w.F64(72.0);
    w.U8(1); // metric resolution unit
    w.U16(uint16_t(image.compression));
    w.U16(image.bitDepth);
    w.U16(image.bitDepth == 8 ? 1 : 3);
    w.U32(image.bitDepth == 8 ? uint32_t(image.palette.size()) : 1u << 24);
    w.U8(0);
    w.U32(uint32_t(image.width) * uint32_t(image.height) * (image.bitDepth / 8u));
    w.U32(0);
    w.U16(uint16_t(image.layers.size()));
    w.U32(image.selection ? 3 : 1);
    w.EndBlock(block);
}

void WritePalette(Writer& w, const std::vector<PaletteEntry>& palette)
{
    const size_t block = w.BeginBlock(kPalette);
    w.U32(8);
    w.U32(uint32_t(palette.size()));
    for (const PaletteEntry& e : palette) {
        w.U8(e.blue);
        w.U8(e.green);
        w.U8(e.red);
        w.U8(0);
    }
    w.EndBlock(block);
}

void WriteLayerInfo(Writer& w, const Layer& layer, uint16_t cChannels)
{
    const size_t start = w.Out().size();
    w.U32(0);
    w.U16(uint16_t(layer.name.size()));
    w.Append(Bytes(layer.name.begin(), layer.name.end()));
    w.U8(1); // normal raster layer
    w.RectOut(layer.imageRect);
    w.RectOut(layer.savedRect);
    w.U8(255); // opacity
    w.U8(0); // normal blend
    w.U8(1); // visible
    w.U8(0); // transparency not protected
    w.U8(0); // no link group
    w.RectOut(layer.maskRect);
    w.RectOut(layer.maskRect);
    w.U8(0); // mask not linked
    w.U8(0); // mask enabled
    w.U8(0); // no inversion on blend
    w.Patch(start, uint32_t(w.Out().size() - start));

    w.U32(8);
    w.U16(uint16_t(1 + layer.masks.size()));
    w.U16(cChannels);
}

void WriteLayer(Writer& w, const Image& image, const Layer& layer)
{
    const size_t cPixels = size_t(layer.savedRect.Width()) * size_t(layer.savedRect.Height());
    if (layer.savedRect.Width() < 0 || layer.savedRect.Height() < 0 || layer.pixels.size() != cPixels)
        throw std::runtime_error("psp: layer \"" + layer.name + "\" has the wrong number of pixels");
    const bool fIndexed = image.bitDepth == 8;
    const size_t block = w.BeginBlock(kLayer);
    WriteLayerInfo(w, layer, uint16_t((fIndexed ? 1 : 3) + layer.masks.size()));
    if (fIndexed) {
        Bytes plane(cPixels);
        for (size_t i = 0; i < cPixels; ++i)
            plane[i] = uint8_t(layer.pixels[i]);
        WriteChannel(w, plane, image.compression, kImageBitmap, kComposite);
    } else {
        const uint16_t types[3] = {kRed, kGreen, kBlue};
        for (int c = 0; c < 3; ++c) {
            Bytes plane(cPixels);
            for (size_t i = 0; i < cPixels; ++i)
                plane[i] = uint8_t(layer.pixels[i] >> (16 - 8 * c));
            WriteChannel(w, plane, image.compression, kImageBitmap, types[c]);
        }
    }
    for (const Mask& mask : layer.masks)
        WriteChannel(w, mask.values, image.compression, uint16_t(mask.kind), kComposite);
    w.EndBlock(block);
}

void WriteSelection(Writer& w, const Image& image, const Selection& selection)
{
    const size_t block = w.BeginBlock(kSelection);
    w.U32(36);
    w.RectOut(selection.rect);
    w.RectOut(selection.rect);
    w.U32(8);
    w.U16(1);
    w.U16(1);
    WriteChannel(w, selection.values, image.compression, kSelectionBitmap, kComposite);
    w.EndBlock(block);
}

} // namespace

Layer WholeLayer(const Image& image, std::vector<uint32_t> pixels)
{
    Layer layer;
    layer.imageRect = {0, 0, image.width, image.height};
    layer.savedRect = layer.imageRect;
    layer.pixels = std::move(pixels);
    return layer;
}

Bytes CompressChannel(const Bytes& data, Compression compression)
{
    switch (compression) {
    case Compression::None: return data;
    case Compression::RunLength: return RunLengthEncode(data);
    case Compression::Deflate: return Deflate(data);
    }
    throw std::runtime_error("psp: unknown compression");
}

Bytes WritePspImage(const Image& image)
{
    if (image.bitDepth != 8 && image.bitDepth != 24)
        throw std::runtime_error("psp: only 8-bit and 24-bit images are written");
    if (image.palette.size() > 256)
        throw std::runtime_error("psp: a palette holds at most 256 colours");
    Writer w;
    for (char c : kSignature)
        w.U8(uint8_t(c));
    w.U16(kMajorVersion);
    w.U16(kMinorVersion);
    WriteAttributes(w, image);
    if (!image.palette.empty())
        WritePalette(w, image.palette);
    const size_t bank = w.BeginBlock(kLayerBank);
    for (const Layer& layer : image.layers)
        WriteLayer(w, image, layer);
    w.EndBlock(bank);
    if (image.selection)
        WriteSelection(w, image, *image.selection);
    return std::move(w.Out());
}

} // namespace psp
