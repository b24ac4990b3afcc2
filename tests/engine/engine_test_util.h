// What the engine suites share: the display description set per test, graphics
// filled, read and written as PNG pictures, and files in the test's folder.
#pragma once

#include "cea_display.h"
#include "cea_graphic.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Sets the display's depth and 16-bit layout, and its size when given, for one test, restoring
// them afterwards.
class DisplayAs {
public:
    DisplayAs(int bitsPerPixel, bool f555, int cx = 0, int cy = 0);
    ~DisplayAs();

private:
    DISPLAY m_saved;
};

// Sets every pixel to value(x, y).
template<class Value> void Fill(Graphic& g, Value value)
{
    for (int y = 0; y < g.GetHeight(); ++y)
        for (int x = 0; x < g.GetWidth(); ++x)
            g.SetPixelValue(x, y, DWORD(value(x, y)));
}
// The pixel values, rows top-down.
std::vector<DWORD> Values(const Graphic& g);
// The values at these points.
std::vector<DWORD> At(const Graphic& g, std::initializer_list<POINT> points);
// The colours of every pixel, 0x00RRGGBB, rows top-down.
std::vector<uint32_t> Pixels(const Graphic& g);
// Writes the graphic's colours as a PNG picture into the test output folder.
void WritePicture(const Graphic& g, const std::string& name);

// A file of these bytes in the test's folder, and a whole file's bytes.
std::filesystem::path WriteTestFile(const std::string& name, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);
