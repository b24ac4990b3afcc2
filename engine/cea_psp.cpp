#include "cea_psp.h"

#include "little_endian.h"
#include "memmgr.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <zlib.h>

namespace {

constexpr DWORD kFileHeaderSize = 36;
constexpr DWORD kBlockMagic = 0x004B427E;
constexpr DWORD kBlockHeaderSize = 10;
// Larger canvases are refused: no asset comes near, and a forged size would only make the
// reader allocate and walk gigabytes.
constexpr LONG kMaxSide = 16384;
// Masked-out pixels take this colour, which then becomes the transparent colour.
constexpr COLORREF kMaskedColor = 0x00010000;

enum BlockId : WORD {
    kAttributesBlock = 0,
    kPaletteBlock = 2,
    kLayerBankBlock = 3,
    kLayerBlock = 4,
    kChannelBlock = 5,
    kSelectionBlock = 6,
};

enum BitmapType : WORD {
    kImageBitmap = 0,
    kTransparencyMask = 1,
    kUserMask = 2,
    kSelectionBitmap = 3,
};

struct BlockHeader {
    WORD id;
    DWORD end;
};

bool ReadBlockHeader(PspCursor& c, BlockHeader* header)
{
    const DWORD start = c.position;
    const DWORD magic = c.ReadU32();
    const WORD id = c.ReadU16();
    const DWORD length = c.ReadU32();
    if (c.position != start + kBlockHeaderSize || magic != kBlockMagic || length > c.size - c.position) {
        c.Seek(start);
        return false;
    }
    *header = {id, c.position + length};
    return true;
}

struct Attributes {
    LONG width;
    LONG height;
    WORD compression;
    WORD bitDepth;
    WORD cLayers;
};

bool ReadAttributes(PspCursor& c, Attributes* a)
{
    if (c.ReadU32() == 0)
        return false;
    a->width = c.ReadI32();
    a->height = c.ReadI32();
    c.ReadF64();
    c.ReadU8();
    a->compression = c.ReadU16();
    a->bitDepth = c.ReadU16();
    c.ReadU16();
    c.ReadU32();
    c.ReadU8();
    c.ReadU32();
    c.ReadI32();
    a->cLayers = c.ReadU16();
    c.ReadU32();
    return a->width > 0 && a->height > 0 && a->width <= kMaxSide && a->height <= kMaxSide;
}

// Rectangles in 64 bits, so that offsets read from the file cannot overflow.
struct Span {
    int64_t left, top, right, bottom;
    int64_t Width() const { return right - left; }
    int64_t Height() const { return bottom - top; }
};

Span ToSpan(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

struct LayerInfo {
    RECT image;
    RECT savedImage;
    RECT mask;
    WORD cChannels;
};

bool ReadLayerInfo(PspCursor& c, LayerInfo* info)
{
    const DWORD start = c.position;
    const DWORD chunkSize = c.ReadU32();
    c.SkipString();
    c.ReadU8();
    info->image = c.ReadRect();
    info->savedImage = c.ReadRect();
    for (int i = 0; i < 5; ++i)
        c.ReadU8();
    info->mask = c.ReadRect();
    c.ReadRect();
    for (int i = 0; i < 3; ++i)
        c.ReadU8();
    c.Seek(start > UINT32_MAX - chunkSize ? UINT32_MAX : start + chunkSize);
    if (c.ReadU32() != 8)
        return false;
    c.ReadU16();
    info->cChannels = c.ReadU16();
    return true;
}

struct ChannelInfo {
    DWORD cbStored;
    DWORD cbExpected;
    WORD bitmapType;
    WORD channelType;
};

ChannelInfo ReadChannelInfo(PspCursor& c)
{
    ChannelInfo info;
    c.ReadU32();
    info.cbStored = c.ReadU32();
    info.cbExpected = c.ReadU32();
    info.bitmapType = c.ReadU16();
    info.channelType = c.ReadU16();
    return info;
}

// What one call learns as it goes.
struct ReadState {
    Attributes attributes;
    RGBQUAD palette[256];
    bool hasPalette;
    bool maskSeen;
    bool red, green, blue;
};

// The byte of a channel for canvas point (x, y), or none outside the placement or the data.
struct ChannelData {
    const BYTE* bytes;
    DWORD cb;
    Span placement;

    const BYTE* At(int64_t x, int64_t y) const
    {
        if (x < placement.left || x >= placement.right || y < placement.top || y >= placement.bottom)
            return nullptr;
        const uint64_t i = uint64_t(y - placement.top) * uint64_t(placement.Width()) + uint64_t(x - placement.left);
        return i < cb ? bytes + i : nullptr;
    }
};

void ApplyImageChannel(Graphic* dst, const ChannelData& channel, WORD channelType, ReadState& state)
{
    const Span& p = channel.placement;
    const int64_t cx = dst->GetWidth();
    const int64_t cy = dst->GetHeight();
    // Only the part of the placement that lies on the canvas and in the data is visited.
    const int64_t cRowsOfData = p.Width() > 0 ? int64_t(channel.cb) / p.Width() + 1 : 0;
    const int64_t top = std::max<int64_t>(p.top, 0);
    const int64_t bottom = std::min({p.bottom, cy, p.top + cRowsOfData});
    const int64_t left = std::max<int64_t>(p.left, 0);
    const int64_t right = std::min(p.right, cx);
    static const int kShift[4] = {0, 16, 8, 0};
    for (int64_t y = top; y < bottom; ++y) {
        for (int64_t x = left; x < right; ++x) {
            const BYTE* b = channel.At(x, y);
            if (!b)
                break;
            if (channelType == 0) {
                dst->SetPixelValue(int(x), int(y), *b);
            } else if (channelType <= 3) {
                const int shift = kShift[channelType];
                const DWORD v = dst->GetPixelValue(int(x), int(y));
                dst->SetPixelValue(int(x), int(y), (v & ~(DWORD(0xFF) << shift)) | DWORD(*b) << shift);
            }
        }
    }
    state.red |= channelType == 0 || channelType == 1;
    state.green |= channelType == 0 || channelType == 2;
    state.blue |= channelType == 0 || channelType == 3;
}

void ApplyMaskChannel(Graphic* dst, const ChannelData& channel, int* cMasks, ReadState& state)
{
    state.maskSeen = true;
    bool notAllOpaque = false;
    bool partial = false;
    for (DWORD i = 0; i < channel.cb && !(notAllOpaque && partial); ++i) {
        notAllOpaque |= channel.bytes[i] < 255;
        partial |= channel.bytes[i] > 0 && channel.bytes[i] < 255;
    }
    if (!notAllOpaque)
        return;
    const int cx = dst->GetWidth();
    const int cy = dst->GetHeight();
    auto maskAt = [&](int x, int y) {
        const BYTE* b = channel.At(x, y);
        return b ? *b : BYTE(0);
    };
    if (!partial) {
        const TRANSLUCENCY* t = dst->GetTranslucency();
        BYTE* map = t && t->type == kOpacityMap ? t->opacity : nullptr;
        for (int y = 0; y < cy; ++y) {
            for (int x = 0; x < cx; ++x) {
                if (maskAt(x, y) != 0)
                    continue;
                dst->SetPixelColor(x, y, kMaskedColor);
                if (map)
                    map[size_t(y) * t->cbStride + DWORD(x)] = 0;
            }
        }
        dst->SetTransparency(kMaskedColor);
        return;
    }
    if (!dst->SetTranslucency(kOpacityMap, 128))
        return;
    const TRANSLUCENCY* t = dst->GetTranslucency();
    if (!t || !t->opacity)
        return;
    const bool first = ++*cMasks == 1;
    for (int y = 0; y < cy; ++y) {
        BYTE* row = t->opacity + size_t(y) * t->cbStride;
        for (int x = 0; x < cx; ++x)
            row[x] = first ? maskAt(x, y) : BYTE(row[x] * maskAt(x, y) / 255);
    }
    if (dst->GetTransparency() != kMaskedColor)
        return;
    for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x) {
            if (dst->GetPixelColor(x, y) == kMaskedColor)
                t->opacity[size_t(y) * t->cbStride + DWORD(x)] = 0;
        }
    }
}

void ReadChannel(PspCursor& c, Graphic* dst, const LayerInfo& layer, int* cMasks, ReadState& state)
{
    const ChannelInfo info = ReadChannelInfo(c);
    if (info.bitmapType > kUserMask)
        return;
    Span placement = ToSpan(info.bitmapType == kUserMask && layer.mask.right != 0 ? layer.mask : layer.savedImage);
    placement.left += layer.image.left;
    placement.right += layer.image.left;
    placement.top += layer.image.top;
    placement.bottom += layer.image.top;
    if (placement.Width() <= 0 || placement.Height() <= 0)
        return;
    const DWORD stride = (DWORD(state.attributes.width) + 3) / 4 * 4;
    DWORD cbExpected = std::min(info.cbExpected, stride * DWORD(std::max(dst->GetHeight(), 0)));
    const BYTE* stored = c.Take(info.cbStored);
    if (!stored)
        return;
    BYTE* data = DecompressPspChannel(stored, info.cbStored, &cbExpected, state.attributes.compression);
    if (!data)
        return;
    const ChannelData channel = {data, cbExpected, placement};
    if (info.bitmapType == kImageBitmap)
        ApplyImageChannel(dst, channel, info.channelType, state);
    else
        ApplyMaskChannel(dst, channel, cMasks, state);
    MEM_FREE(data);
}

void ReadPalette(PspCursor& c, ReadState& state)
{
    const DWORD start = c.position;
    const DWORD chunkSize = c.ReadU32();
    const DWORD cEntries = std::min(c.ReadU32(), DWORD(256));
    c.Seek(start > UINT32_MAX - chunkSize ? UINT32_MAX : start + chunkSize);
    std::memset(state.palette, 0, sizeof state.palette);
    for (DWORD i = 0; i < cEntries; ++i) {
        const BYTE* e = c.Take(4);
        if (!e)
            break;
        state.palette[i] = {e[0], e[1], e[2], e[3]};
    }
    state.palette[255].rgbBlue = state.palette[255].rgbGreen = state.palette[255].rgbRed = 255;
    state.hasPalette = true;
}

void ReadLayerBank(PspCursor& c, Graphic* target, FrameList* frames, ReadState& state)
{
    const Attributes& a = state.attributes;
    const bool intoFrames = frames && a.cLayers > 1;
    const RGBQUAD* palette = state.hasPalette ? state.palette : nullptr;
    for (DWORD i = 0; i < a.cLayers; ++i) {
        if (!intoFrames && i > 0)
            return;
        state.red = state.green = state.blue = false;
        BlockHeader header;
        LayerInfo layer;
        if (!ReadBlockHeader(c, &header) || header.id != kLayerBlock || !ReadLayerInfo(c, &layer))
            return;
        // The destination is made only once its layer is known to be there.
        Graphic* dst = target;
        if (intoFrames) {
            dst = MEM_NEW(Graphic, a.width, a.height, a.bitDepth, palette);
            frames->Add(dst);
        } else if (!target->HasBitmap() && !target->Create(a.width, a.height, a.bitDepth, palette)) {
            return;
        }
        int cMasks = 0;
        for (DWORD ch = 0; ch < layer.cChannels; ++ch) {
            BlockHeader channel;
            if (!ReadBlockHeader(c, &channel))
                break;
            if (channel.id == kChannelBlock)
                ReadChannel(c, dst, layer, &cMasks, state);
            c.Seek(channel.end);
        }
    }
}

void ReadSelection(PspCursor& c, Graphic* target, ReadState& state)
{
    const DWORD start = c.position;
    const DWORD chunkSize = c.ReadU32();
    if (chunkSize == 0)
        return;
    c.ReadRect();
    const RECT saved = c.ReadRect();
    c.Seek(start > UINT32_MAX - chunkSize ? UINT32_MAX : start + chunkSize);
    if (c.ReadU32() != 8 || c.ReadU16() != 1 || c.ReadU16() != 1)
        return;
    BlockHeader header;
    if (!ReadBlockHeader(c, &header) || header.id != kChannelBlock)
        return;
    const ChannelInfo info = ReadChannelInfo(c);
    if (info.bitmapType != kSelectionBitmap)
        return;
    const LONG cx = state.attributes.width;
    const LONG cy = state.attributes.height;
    const BYTE* stored = c.Take(info.cbStored);
    DWORD cbExpected = std::min(info.cbExpected, DWORD(cx) * DWORD(cy));
    BYTE* data = stored ? DecompressPspChannel(stored, info.cbStored, &cbExpected, state.attributes.compression) : nullptr;
    if (!data)
        return;
    if (BYTE* selection = target->NewSelection(cx, cy)) {
        const LONG bottom = std::min(saved.bottom, cy);
        for (LONG y = std::max(saved.top, LONG(0)); y < bottom; ++y) {
            for (LONG x = std::max(saved.left, LONG(0)); x < std::min(saved.right, cx); ++x) {
                const DWORD i = DWORD(y) * DWORD(cx) + DWORD(x);
                if (i < cbExpected)
                    selection[i] = data[i];
            }
        }
    }
    MEM_FREE(data);
}

} // namespace

const BYTE* PspCursor::Take(DWORD n)
{
    if (position > size || n > size - position)
        return nullptr;
    const BYTE* p = data + position;
    position += n;
    return p;
}

BYTE PspCursor::ReadU8()
{
    const BYTE* p = Take(1);
    return p ? p[0] : 0;
}

WORD PspCursor::ReadU16()
{
    const BYTE* p = Take(2);
    return p ? LoadLe16(p) : 0;
}

DWORD PspCursor::ReadU32()
{
    const BYTE* p = Take(4);
    return p ? LoadLe32(p) : 0;
}

RECT PspCursor::ReadRect()
{
    RECT r;
    r.left = ReadI32();
    r.top = ReadI32();
    r.right = ReadI32();
    r.bottom = ReadI32();
    return r;
}

DWORD PspCursor::Tell(DWORD offset) const
{
    return position > UINT32_MAX - offset ? UINT32_MAX : position + offset;
}

bool ReadPspImage(Graphic* target, FrameList* frames, const BYTE* data, DWORD size, COLORREF defaultTransparency)
{
    PspCursor c = {data, size, 0};
    ReadState state = {};
    BlockHeader header;
    if (!c.Take(kFileHeaderSize) || !ReadBlockHeader(c, &header) || header.id != kAttributesBlock || !ReadAttributes(c, &state.attributes))
        return false;
    // The attributes chunk is read field by field; the blocks after it start where it ends.
    while (ReadBlockHeader(c, &header)) {
        switch (header.id) {
        case kPaletteBlock: ReadPalette(c, state); break;
        case kLayerBankBlock: ReadLayerBank(c, target, frames, state); break;
        case kSelectionBlock: ReadSelection(c, target, state); break;
        default: break;
        }
        c.Seek(header.end);
    }
    if (!state.maskSeen) {
        if (frames && frames->Count() > 0) {
            for (Graphic* frame : *frames)
                frame->SetTransparency(defaultTransparency);
        } else {
            target->SetTransparency(defaultTransparency);
        }
    }
    return state.red && state.green && state.blue;
}

BYTE* DecompressPspChannel(const BYTE* stored, DWORD cbStored, DWORD* pcbExpected, WORD compression)
{
    const DWORD cbExpected = *pcbExpected;
    BYTE* out = static_cast<BYTE*>(MEM_ALLOC(std::max(cbExpected, DWORD(1)), "cbData"));
    if (!out) {
        *pcbExpected = 0;
        return nullptr;
    }
    std::memset(out, 0, std::max(cbExpected, DWORD(1)));
    bool ok = true;
    switch (compression) {
    case kPspUncompressed: {
        const DWORD cb = std::min(cbStored, cbExpected);
        std::memcpy(out, stored, cb);
        *pcbExpected = cb;
        return out;
    }
    case kPspRunLength: {
        DWORD in = 0;
        DWORD produced = 0;
        while (in < cbStored) {
            const BYTE n = stored[in++];
            if (n > 128) {
                if (in >= cbStored)
                    break;
                const BYTE b = stored[in++];
                const DWORD count = std::min(DWORD(n - 128), cbExpected - produced);
                std::memset(out + produced, b, count);
                produced += count;
            } else {
                const DWORD count = std::min({DWORD(n), cbStored - in, cbExpected - produced});
                std::memcpy(out + produced, stored + in, count);
                produced += count;
                in += std::min(DWORD(n), cbStored - in);
            }
        }
        return out;
    }
    case kPspDeflate: {
        z_stream z = {};
        z.next_in = const_cast<Bytef*>(stored);
        z.avail_in = cbStored;
        z.next_out = out;
        z.avail_out = cbExpected;
        if (inflateInit(&z) != Z_OK) {
            ok = false;
            break;
        }
        const int result = inflate(&z, Z_FINISH);
        const DWORD produced = cbExpected - z.avail_out;
        inflateEnd(&z);
        // A stream with more than the expected bytes still fills the channel.
        ok = result == Z_STREAM_END || (result == Z_BUF_ERROR && produced == cbExpected && cbExpected > 0);
        // A stream that ends early is padded with its last byte (zero when it gave none).
        if (ok && produced > 0 && produced < cbExpected)
            std::memset(out + produced, out[produced - 1], cbExpected - produced);
        break;
    }
    default: ok = false; break;
    }
    if (!ok) {
        MEM_FREE(out);
        *pcbExpected = 0;
        return nullptr;
    }
    return out;
}
