#include "engine_test_util.h"

#include "screenshot.h"
#include "test_env.h"

#include <fstream>
#include <iterator>

DisplayAs::DisplayAs(int bitsPerPixel, bool f555, int cx, int cy) : m_saved(GetDisplay())
{
    GetDisplay().bitsPerPixel = bitsPerPixel;
    GetDisplay().f555 = f555;
    GetDisplay().cx = cx ? cx : m_saved.cx;
    GetDisplay().cy = cy ? cy : m_saved.cy;
}

DisplayAs::~DisplayAs()
{
    GetDisplay() = m_saved;
}

std::vector<DWORD> Values(const Graphic& g)
{
    std::vector<DWORD> values;
    for (int i = 0; i < g.GetWidth() * g.GetHeight(); ++i)
        values.push_back(g.GetPixelValue(i % g.GetWidth(), i / g.GetWidth()));
    return values;
}

std::vector<DWORD> At(const Graphic& g, std::initializer_list<POINT> points)
{
    std::vector<DWORD> values;
    for (POINT p : points)
        values.push_back(g.GetPixelValue(p.x, p.y));
    return values;
}

std::vector<uint32_t> Pixels(const Graphic& g)
{
    std::vector<uint32_t> pixels;
    for (int i = 0; i < g.GetWidth() * g.GetHeight(); ++i) {
        const COLORREF c = g.GetPixelColor(i % g.GetWidth(), i / g.GetWidth());
        pixels.push_back((c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
    }
    return pixels;
}

void WritePicture(const Graphic& g, const std::string& name)
{
    WritePng(TestOutputDir() / (name + ".png"), g.GetWidth(), g.GetHeight(), Pixels(g));
}

std::filesystem::path WriteTestFile(const std::string& name, const std::vector<uint8_t>& bytes)
{
    const std::filesystem::path path = TestRoot() / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
