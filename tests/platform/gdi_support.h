// Bitmaps with a DC for the GDI suites, and direct access to their pixels.
#pragma once

#include "windows.h"

#include <cstdint>
#include <filesystem>
#include <vector>

class TestDib {
public:
    // masks: red, green, blue for BI_BITFIELDS; none means BI_RGB.
    TestDib(int width, int height, int bitCount, std::vector<RGBQUAD> table = {}, const DWORD* masks = nullptr, bool topDown = true);
    ~TestDib();
    TestDib(const TestDib&) = delete;
    TestDib& operator=(const TestDib&) = delete;

    HBITMAP Bitmap() const { return bitmap_; }
    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Raw pixel value at (x, y), y counted from the top whatever the storage order.
    uint32_t Raw(int x, int y) const;
    void SetRaw(int x, int y, uint32_t value);
    void FillRaw(uint32_t value);
    // The raw values of rows [top, bottom), all rows by default.
    std::vector<uint32_t> Pixels(int top = 0, int bottom = -1) const;
    // The picture as 0x00RRGGBB, through a 32-bit copy made by BitBlt.
    std::vector<uint32_t> Rgb() const;
    bool SavePng(const std::filesystem::path& name) const;

private:
    BYTE* Row(int y) const;

    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
    BYTE* bits_ = nullptr;
    int width_, height_, bitCount_, pitch_;
    bool topDown_;
};

inline const DWORD k555[3] = {0x7C00, 0x3E0, 0x1F}, k565[3] = {0xF800, 0x7E0, 0x1F};

// The sixteen colours the blit tests use as a colour table.
std::vector<RGBQUAD> TestTable(int size);
