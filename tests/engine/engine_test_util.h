// What the engine suites share: trace capture, the display description set per test, and
// graphics turned into pixels and PNG pictures.
#pragma once

#include "cea_display.h"
#include "cea_graphic.h"

#include <cstdint>
#include <string>
#include <vector>

// Collects every traced line while it lives.
class TraceCapture {
public:
    TraceCapture();
    ~TraceCapture();
    const std::vector<std::string>& Lines() const;
    bool Contains(const std::string& text) const;
};

// Sets the display's depth and 16-bit layout for one test, restoring them afterwards.
class DisplayAs {
public:
    DisplayAs(int bitsPerPixel, bool f555);
    ~DisplayAs();

private:
    DISPLAY m_saved;
};

// The colours of every pixel, 0x00RRGGBB, rows top-down.
std::vector<uint32_t> Pixels(const Graphic& g);
// Writes the graphic's colours as a PNG picture into the test output folder.
void WritePicture(const Graphic& g, const std::string& name);
