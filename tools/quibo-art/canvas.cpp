#include "canvas.h"

#include <algorithm>
#include <cmath>

Colour Hex(uint32_t rgb, float alpha)
{
    return {float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f, float(rgb & 0xFF) / 255.0f, alpha};
}

Colour Mix(Colour from, Colour to, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

Colour WithAlpha(Colour colour, float alpha)
{
    colour.a = alpha;
    return colour;
}

Colour Lighter(Colour colour, float amount)
{
    return Mix(colour, {1, 1, 1, colour.a}, amount);
}

Colour Darker(Colour colour, float amount)
{
    return Mix(colour, {0, 0, 0, colour.a}, amount);
}

Paint Solid(Colour colour)
{
    return [colour](float, float) { return colour; };
}

namespace {

Colour AlongStops(const std::vector<Stop>& stops, float t)
{
    if (t <= stops.front().at)
        return stops.front().colour;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].at) {
            const float span = stops[i].at - stops[i - 1].at;
            return Mix(stops[i - 1].colour, stops[i].colour, span > 0 ? (t - stops[i - 1].at) / span : 1.0f);
        }
    }
    return stops.back().colour;
}

} // namespace

Paint Linear(float x0, float y0, float x1, float y1, std::vector<Stop> stops)
{
    const float dx = x1 - x0, dy = y1 - y0;
    const float length2 = std::max(dx * dx + dy * dy, 1e-6f);
    return [=, stops = std::move(stops)](float x, float y) { return AlongStops(stops, ((x - x0) * dx + (y - y0) * dy) / length2); };
}

Paint Radial(float cx, float cy, float radius, std::vector<Stop> stops)
{
    return [=, stops = std::move(stops)](float x, float y) { return AlongStops(stops, std::hypot(x - cx, y - cy) / radius); };
}

Canvas::Canvas(int width, int height) : width_(width), height_(height), pixels_(size_t(width) * size_t(height), Pixel{0, 0, 0, 0}) { }

Colour Canvas::At(int x, int y) const
{
    const Pixel& p = pixels_[size_t(y) * size_t(width_) + size_t(x)];
    if (p.a <= 0)
        return {0, 0, 0, 0};
    return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

void Canvas::Set(int x, int y, Colour c)
{
    pixels_[size_t(y) * size_t(width_) + size_t(x)] = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
}

void Canvas::Blend(int x, int y, Colour c, float coverage)
{
    if (!Inside(x, y))
        return;
    const float a = std::clamp(c.a * coverage, 0.0f, 1.0f);
    if (a <= 0)
        return;
    Pixel& p = pixels_[size_t(y) * size_t(width_) + size_t(x)];
    const float keep = 1.0f - a;
    p = {c.r * a + p.r * keep, c.g * a + p.g * keep, c.b * a + p.b * keep, a + p.a * keep};
}

void Canvas::Draw(const Canvas& source, int x, int y, float opacity)
{
    for (int sy = 0; sy < source.height_; ++sy)
        for (int sx = 0; sx < source.width_; ++sx)
            Blend(x + sx, y + sy, source.At(sx, sy), opacity);
}

void Canvas::Clear(Colour colour)
{
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            Set(x, y, colour);
}

Canvas Canvas::Crop(int x, int y, int width, int height) const
{
    Canvas piece(width, height);
    for (int py = 0; py < height; ++py)
        for (int px = 0; px < width; ++px)
            if (Inside(x + px, y + py))
                piece.pixels_[size_t(py) * size_t(width) + size_t(px)] = pixels_[size_t(y + py) * size_t(width_) + size_t(x + px)];
    return piece;
}
