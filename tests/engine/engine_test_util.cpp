#include "engine_test_util.h"

#include "screenshot.h"
#include "trace.h"

#include <mutex>

namespace {

std::mutex g_lock;
std::vector<std::string> g_lines;

void Collect(const char* line)
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_lines.emplace_back(line);
}

uint32_t Rgb(COLORREF c)
{
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

} // namespace

TraceCapture::TraceCapture()
{
    g_lines.clear();
    SetTraceSink(Collect);
}

TraceCapture::~TraceCapture()
{
    SetTraceSink(nullptr);
}

const std::vector<std::string>& TraceCapture::Lines() const
{
    return g_lines;
}

bool TraceCapture::Contains(const std::string& text) const
{
    for (const std::string& line : g_lines) {
        if (line.find(text) != std::string::npos)
            return true;
    }
    return false;
}

DisplayAs::DisplayAs(int bitsPerPixel, bool f555) : m_saved(GetDisplay())
{
    GetDisplay().bitsPerPixel = bitsPerPixel;
    GetDisplay().f555 = f555;
}

DisplayAs::~DisplayAs()
{
    GetDisplay() = m_saved;
}

std::vector<uint32_t> Pixels(const Graphic& g)
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < g.GetHeight(); ++y) {
        for (int x = 0; x < g.GetWidth(); ++x)
            pixels.push_back(Rgb(g.GetPixelColor(x, y)));
    }
    return pixels;
}

void WritePicture(const Graphic& g, const std::string& name)
{
    WritePng(TestOutputDir() / (name + ".png"), g.GetWidth(), g.GetHeight(), Pixels(g));
}
