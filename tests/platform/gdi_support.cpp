#include "gdi_support.h"

#include "screenshot.h"

#include <algorithm>
#include <cstring>

TestDib::TestDib(int width, int height, int bitCount, std::vector<RGBQUAD> table, const DWORD* masks, bool topDown) :
    width_(width), height_(height), bitCount_(bitCount), pitch_((width * bitCount + 31) / 32 * 4), topDown_(topDown)
{
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
    bmi->bmiHeader
        = {sizeof(BITMAPINFOHEADER), width, topDown ? -height : height, 1, WORD(bitCount), DWORD(masks ? BI_BITFIELDS : BI_RGB), 0, 0, 0,
           DWORD(table.size()),      0};
    if (masks)
        std::memcpy(bmi->bmiColors, masks, 3 * sizeof(DWORD));
    else if (!table.empty())
        std::memcpy(bmi->bmiColors, table.data(), table.size() * sizeof(RGBQUAD));
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<BYTE*>(bits);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
}

TestDib::~TestDib()
{
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

BYTE* TestDib::Row(int y) const
{
    return bits_ + size_t(pitch_) * (topDown_ ? y : height_ - 1 - y);
}

uint32_t TestDib::Raw(int x, int y) const
{
    const BYTE* row = Row(y) + x * bitCount_ / 8;
    if (bitCount_ < 8)
        return *row >> (8 - bitCount_ - x * bitCount_ % 8) & ((1 << bitCount_) - 1);
    uint32_t value = 0;
    for (int i = 0; i < bitCount_ / 8; ++i)
        value |= uint32_t(row[i]) << 8 * i;
    return value;
}

void TestDib::SetRaw(int x, int y, uint32_t value)
{
    BYTE* row = Row(y) + x * bitCount_ / 8;
    const int shift = bitCount_ < 8 ? 8 - bitCount_ - x * bitCount_ % 8 : 0, mask = bitCount_ < 8 ? ((1 << bitCount_) - 1) << shift : 0xFF;
    for (int i = 0; i < std::max(1, bitCount_ / 8); ++i)
        row[i] = BYTE((row[i] & ~mask) | ((value >> 8 * i) << shift & mask));
}

void TestDib::FillRaw(uint32_t value)
{
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            SetRaw(x, y, value);
}

std::vector<uint32_t> TestDib::Pixels(int top, int bottom) const
{
    std::vector<uint32_t> out;
    for (int y = top; y < (bottom < 0 ? height_ : bottom); ++y)
        for (int x = 0; x < width_; ++x)
            out.push_back(Raw(x, y));
    return out;
}

std::vector<uint32_t> TestDib::Rgb() const
{
    TestDib copy(width_, height_, 32);
    BitBlt(copy.Dc(), 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
    std::vector<uint32_t> out = copy.Pixels();
    for (uint32_t& pixel : out)
        pixel &= 0xFFFFFF;
    return out;
}

bool TestDib::SavePng(const std::filesystem::path& name) const
{
    return WritePng(TestOutputDir() / name, width_, height_, Rgb());
}

std::vector<RGBQUAD> TestTable(int size)
{
    static const BYTE colors[16][3] = {
        {0, 0, 0},   {255, 255, 255}, {255, 0, 0}, {0, 255, 0},     {0, 0, 255},    {255, 255, 0},  {0, 255, 255}, {255, 0, 255},
        {128, 0, 0}, {0, 128, 0},     {0, 0, 128}, {128, 128, 128}, {200, 100, 50}, {50, 100, 200}, {255, 128, 7}, {192, 192, 192},
    };
    std::vector<RGBQUAD> table;
    for (int i = 0; i < size; ++i)
        table.push_back({colors[i % 16][2], colors[i % 16][1], colors[i % 16][0], 0});
    return table;
}
