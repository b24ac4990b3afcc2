#include "shapes.h"

#include <algorithm>
#include <cmath>

namespace {

float Length(float x, float y)
{
    return std::sqrt(x * x + y * y);
}

} // namespace

Shape Circle(float cx, float cy, float radius)
{
    return {cx - radius, cy - radius, cx + radius, cy + radius, [=](float x, float y) { return Length(x - cx, y - cy) - radius; }};
}

Shape Ellipse(float cx, float cy, float rx, float ry)
{
    // Scaling the distance by the gradient's length keeps edges one pixel soft.
    return {cx - rx, cy - ry, cx + rx, cy + ry, [=](float x, float y) {
                const float nx = (x - cx) / rx, ny = (y - cy) / ry;
                const float k = Length(nx, ny);
                const float gradient = Length(nx / rx, ny / ry);
                return k > 0 ? k * (k - 1.0f) / std::max(gradient, 1e-6f) : -std::min(rx, ry);
            }};
}

Shape RoundRect(float left, float top, float right, float bottom, float radius)
{
    const float cx = (left + right) / 2, cy = (top + bottom) / 2;
    const float hx = (right - left) / 2, hy = (bottom - top) / 2;
    radius = std::min({radius, hx, hy});
    return {left, top, right, bottom, [=](float x, float y) {
                const float qx = std::abs(x - cx) - hx + radius;
                const float qy = std::abs(y - cy) - hy + radius;
                return Length(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - radius;
            }};
}

Shape Polygon(std::vector<Point> points)
{
    Shape shape{1e9f, 1e9f, -1e9f, -1e9f, nullptr};
    for (const Point& p : points) {
        shape.left = std::min(shape.left, p.x);
        shape.top = std::min(shape.top, p.y);
        shape.right = std::max(shape.right, p.x);
        shape.bottom = std::max(shape.bottom, p.y);
    }
    shape.distance = [points = std::move(points)](float x, float y) {
        float best = 1e18f;
        bool inside = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const Point a = points[j], b = points[i];
            const float ex = b.x - a.x, ey = b.y - a.y;
            const float wx = x - a.x, wy = y - a.y;
            const float t = std::clamp((wx * ex + wy * ey) / std::max(ex * ex + ey * ey, 1e-9f), 0.0f, 1.0f);
            const float dx = wx - ex * t, dy = wy - ey * t;
            best = std::min(best, dx * dx + dy * dy);
            if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * ex / ey)
                inside = !inside;
        }
        return inside ? -std::sqrt(best) : std::sqrt(best);
    };
    return shape;
}

Shape Segment(Point a, Point b, float width)
{
    const float r = width / 2;
    return {std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r, std::max(a.y, b.y) + r, [=](float x, float y) {
                const float ex = b.x - a.x, ey = b.y - a.y;
                const float t = std::clamp(((x - a.x) * ex + (y - a.y) * ey) / std::max(ex * ex + ey * ey, 1e-9f), 0.0f, 1.0f);
                return Length(x - a.x - ex * t, y - a.y - ey * t) - r;
            }};
}

Shape Outline(const Shape& shape, float width)
{
    return {shape.left, shape.top, shape.right, shape.bottom, [inner = shape.distance, width](float x, float y) {
                const float d = inner(x, y);
                return std::max(d, -d - width);
            }};
}

Shape Grown(const Shape& shape, float amount)
{
    return {shape.left - amount, shape.top - amount, shape.right + amount, shape.bottom + amount,
            [inner = shape.distance, amount](float x, float y) { return inner(x, y) - amount; }};
}

Shape Union(const Shape& a, const Shape& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom),
            [da = a.distance, db = b.distance](float x, float y) { return std::min(da(x, y), db(x, y)); }};
}

Shape Intersection(const Shape& a, const Shape& b)
{
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom),
            [da = a.distance, db = b.distance](float x, float y) { return std::max(da(x, y), db(x, y)); }};
}

Shape Difference(const Shape& a, const Shape& b)
{
    return {a.left, a.top, a.right, a.bottom,
            [da = a.distance, db = b.distance](float x, float y) { return std::max(da(x, y), -db(x, y)); }};
}

Shape Moved(const Shape& shape, float dx, float dy)
{
    return {shape.left + dx, shape.top + dy, shape.right + dx, shape.bottom + dy,
            [inner = shape.distance, dx, dy](float x, float y) { return inner(x - dx, y - dy); }};
}

Shape Rotated(const Shape& shape, float angle, float cx, float cy)
{
    // The bounds become those of the circle through the farthest corner.
    const float reach = std::max({Length(shape.left - cx, shape.top - cy), Length(shape.right - cx, shape.top - cy),
                                  Length(shape.left - cx, shape.bottom - cy), Length(shape.right - cx, shape.bottom - cy)});
    const float c = std::cos(angle), s = std::sin(angle);
    return {cx - reach, cy - reach, cx + reach, cy + reach, [inner = shape.distance, c, s, cx, cy](float x, float y) {
                const float dx = x - cx, dy = y - cy;
                return inner(cx + dx * c + dy * s, cy - dx * s + dy * c);
            }};
}

float Coverage(const Shape& shape, float x, float y)
{
    return std::clamp(0.5f - shape.distance(x, y), 0.0f, 1.0f);
}

void Fill(Canvas& canvas, const Shape& shape, const Paint& paint, float opacity)
{
    const int x0 = std::max(0, int(std::floor(shape.left)) - 1);
    const int y0 = std::max(0, int(std::floor(shape.top)) - 1);
    const int x1 = std::min(canvas.Width(), int(std::ceil(shape.right)) + 1);
    const int y1 = std::min(canvas.Height(), int(std::ceil(shape.bottom)) + 1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            const float coverage = Coverage(shape, px, py);
            if (coverage > 0)
                canvas.Blend(x, y, paint(px, py), coverage * opacity);
        }
}

void Fill(Canvas& canvas, const Shape& shape, Colour colour)
{
    Fill(canvas, shape, Solid(colour));
}

void Glow(Canvas& canvas, const Shape& shape, Colour colour, float radius)
{
    const Shape halo = Grown(shape, radius);
    const int x0 = std::max(0, int(std::floor(halo.left)) - 1);
    const int y0 = std::max(0, int(std::floor(halo.top)) - 1);
    const int x1 = std::min(canvas.Width(), int(std::ceil(halo.right)) + 1);
    const int y1 = std::min(canvas.Height(), int(std::ceil(halo.bottom)) + 1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float d = shape.distance(float(x) + 0.5f, float(y) + 0.5f);
            if (d >= radius)
                continue;
            const float t = std::clamp(1.0f - d / radius, 0.0f, 1.0f);
            canvas.Blend(x, y, colour, t * t);
        }
}
