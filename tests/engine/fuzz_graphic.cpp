// A graphic made from any bitmap data: with or without the file header, every depth, colour
// tables whole or cut short, bit-field masks, rows top-down and bottom-up. What must hold: a
// header the engine can draw loads at its size and depth with the colour table the data
// carries; the pixels are the data's rows, flipped when stored bottom-up, or blank when the
// data is too short; the graphic saved as a bitmap file loads again, from memory and from an
// open file, as the same picture; a pixel written reads back and leaves its neighbours alone.
#include "cea_graphic.h"
#include "fuzz_check.h"
#include "fuzz_scratch.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace {

// Pictures above this only measure the allocator, and every pixel is compared.
constexpr uint64_t kMaxPixels = 1u << 14;
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

uint32_t read16(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}

uint32_t read32(const uint8_t* p)
{
    return read16(p) | read16(p + 2) << 16;
}

struct HEADER {
    size_t at; // where the information header starts
    int32_t width;
    int32_t height; // positive: rows stored bottom-up
    int bitCount;
    uint64_t cbTable;
    uint64_t cbPitch;
    uint64_t cRows;
};

std::optional<HEADER> readHeader(const uint8_t* data, size_t size)
{
    const size_t at = size >= kFileHeaderSize && data[0] == 'B' && data[1] == 'M' ? kFileHeaderSize : 0;
    if (size < kFileHeaderSize || size - at < kInfoHeaderSize)
        return std::nullopt;
    const int32_t width = int32_t(read32(data + at + 4)), height = int32_t(read32(data + at + 8));
    const uint32_t bits = read16(data + at + 12) * read16(data + at + 14);
    const int bitCount = bits > 32 ? 0 : int(bits);
    const uint64_t cbPitch = (uint64_t(uint32_t(width)) * uint32_t(bitCount) + 31) / 32 * 4, cRows = height < 0 ? -int64_t(height) : height;
    return HEADER{at, width, height, bitCount, bitCount <= 8 ? 4u << bitCount : 0u, cbPitch, cRows};
}

// The depths of the platform's bitmap sections: 2-bit pictures load as no bitmap.
bool drawable(const HEADER& h)
{
    const bool depth = h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8 || h.bitCount == 16 || h.bitCount == 24 || h.bitCount == 32;
    return depth && h.width > 0 && h.height != 0 && h.height != INT32_MIN;
}

// The value of pixel x in a row of packed pixels, as a bitmap file stores them.
DWORD rawPixel(const uint8_t* row, int x, int bitCount)
{
    switch (bitCount) {
    case 16: return read16(row + 2 * x);
    case 24: return read16(row + 3 * x) | uint32_t(row[3 * x + 2]) << 16;
    case 32: return read32(row + 4 * x);
    default: {
        const int bit = x * bitCount;
        return (row[bit / 8] >> (8 - bitCount - bit % 8)) & ((1u << bitCount) - 1);
    }
    }
}

void requireLoaded(const Graphic& g, const HEADER& h, const uint8_t* data, size_t size)
{
    FUZZ_REQUIRE(g.HasBitmap());
    FUZZ_REQUIRE(g.GetWidth() == h.width && uint64_t(g.GetHeight()) == h.cRows && g.GetBitCount() == h.bitCount);
    // A table cut short by the end of the data is black from there on.
    const auto tableByte = [&](uint64_t i) { return h.at + kInfoHeaderSize + i < size ? data[h.at + kInfoHeaderSize + i] : 0; };
    for (uint64_t i = 0; i < h.cbTable / 4; ++i)
        FUZZ_REQUIRE(g.GetPaletteColor(UINT(i)) == RGB(tableByte(4 * i + 2), tableByte(4 * i + 1), tableByte(4 * i)));
    const uint64_t offset = h.at + kInfoHeaderSize + h.cbTable;
    const bool covered = offset <= size && size - offset >= h.cbPitch * h.cRows;
    for (uint64_t y = 0; y < h.cRows; ++y) {
        const uint64_t stored = h.height > 0 ? h.cRows - 1 - y : y;
        const uint8_t* row = data + offset + stored * h.cbPitch;
        for (int x = 0; x < h.width; ++x)
            FUZZ_REQUIRE(g.GetPixelValue(x, int(y)) == (covered ? rawPixel(row, x, h.bitCount) : 0));
    }
}

// Size, depth, colour table and pixel values, to compare two graphics by.
std::vector<DWORD> picture(const Graphic& g)
{
    std::vector<DWORD> v = {DWORD(g.HasBitmap()), DWORD(g.GetWidth()), DWORD(g.GetHeight()), DWORD(g.GetBitCount())};
    for (UINT i = 0; g.GetBitCount() <= 8 && i < (1u << g.GetBitCount()); ++i)
        v.push_back(g.GetPaletteColor(i));
    for (int i = 0; i < g.GetWidth() * g.GetHeight(); ++i)
        v.push_back(g.GetPixelValue(i % g.GetWidth(), i / g.GetWidth()));
    return v;
}

void requireSavedAlike(Graphic& g)
{
    const std::u16string path = (FuzzScratch() / "saved.bmp").u16string();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    FUZZ_REQUIRE(file != INVALID_HANDLE_VALUE);
    const bool saved = g.Save(file);
    CloseHandle(file);
    FUZZ_REQUIRE(saved);
    const std::vector<uint8_t> bytes = ReadScratchFile(FuzzScratch() / "saved.bmp");
    FUZZ_REQUIRE(bytes.size() == g.GetSaveSize(true));
    FUZZ_REQUIRE(picture(g) == picture(Graphic(bytes.data(), DWORD(bytes.size()))));

    file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    FUZZ_REQUIRE(file != INVALID_HANDLE_VALUE);
    const Graphic fromFile(file, nullptr, kNoColor);
    CloseHandle(file);
    FUZZ_REQUIRE(picture(g) == picture(fromFile));
}

// Writes a value taken from the input at (x, y) and reads it and the pixels beside it back.
void requirePixelWrite(Graphic& g, int x, int y, DWORD value)
{
    const DWORD mask = g.GetBitCount() >= 32 ? 0xFFFFFFFF : (DWORD(1) << g.GetBitCount()) - 1;
    const DWORD left = x > 0 ? g.GetPixelValue(x - 1, y) : 0;
    const DWORD right = x + 1 < g.GetWidth() ? g.GetPixelValue(x + 1, y) : 0;
    g.SetPixelValue(x, y, value);
    FUZZ_REQUIRE(g.GetPixelValue(x, y) == (value & mask));
    FUZZ_REQUIRE((x > 0 ? g.GetPixelValue(x - 1, y) : 0) == left);
    FUZZ_REQUIRE((x + 1 < g.GetWidth() ? g.GetPixelValue(x + 1, y) : 0) == right);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzScratch();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Layered image files have a reader and a fuzzer of their own.
    if (size > 25 && std::memcmp(data, "Paint Shop Pro Image File", 25) == 0)
        return 0;
    const std::optional<HEADER> header = readHeader(data, size);
    if (header && uint64_t(uint32_t(header->width)) * header->cRows > kMaxPixels)
        return 0;

    Graphic g(data, DWORD(size));
    if (!header || !drawable(*header)) {
        FUZZ_REQUIRE(!g.HasBitmap());
        return 0;
    }
    requireLoaded(g, *header, data, size);
    requireSavedAlike(g);
    const DWORD value = read32(data + size - 4);
    requirePixelWrite(g, 0, 0, value);
    requirePixelWrite(g, g.GetWidth() - 1, g.GetHeight() - 1, ~value);
    requirePixelWrite(g, int(value % uint32_t(g.GetWidth())), int((value >> 16) % uint32_t(g.GetHeight())), value >> 3);
    return 0;
}
