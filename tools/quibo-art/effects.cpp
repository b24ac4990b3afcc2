#include "effects.h"

#include "shapes.h"
#include "style.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

// A star of the given number of points, with its inner corners at `waist` of the radius.
Shape Star(float cx, float cy, float radius, int points, float waist, float turn)
{
    std::vector<Point> corners;
    for (int i = 0; i < points * 2; ++i) {
        const float angle = turn + float(i) * kPi / float(points);
        const float r = i % 2 == 0 ? radius : radius * waist;
        corners.push_back({cx + r * std::sin(angle), cy - r * std::cos(angle)});
    }
    return Polygon(corners);
}

// How far through its life a frame is (0 at the first, 1 at the last) and its brightness:
// up quickly, then fading away.
float Life(int frame)
{
    return float(frame) / float(kSparkleFrames - 1);
}

float Brightness(int frame)
{
    const float t = Life(frame);
    return t < 0.3f ? 0.45f + t / 0.3f * 0.55f : 1.0f - (t - 0.3f) / 0.7f * 0.85f;
}

// Kind 0: a golden four-pointed twinkle that swells and turns.
void Twinkle(Canvas& canvas, float cx, float cy, int frame)
{
    const float t = Life(frame), light = Brightness(frame);
    const float radius = 8 + 20 * std::sin(std::min(1.0f, t * 1.6f) * kPi / 2) * (1 - 0.35f * t);
    const Colour gold = Mix(style::kGoldDeep, Lighter(style::kGold, 0.5f), light);
    Glow(canvas, Circle(cx, cy, radius * 0.15f), WithAlpha(style::kGold, 0.75f * light), radius * 0.55f);
    Fill(canvas, Star(cx, cy, radius, 4, 0.18f, t * 0.6f),
         Radial(cx, cy, radius, {{0, Hex(0xFFFFFF, light)}, {0.5f, WithAlpha(gold, light)}, {1, WithAlpha(gold, 0.6f * light)}}));
    Fill(canvas, Star(cx, cy, radius * 0.45f, 4, 0.3f, t * 0.6f + kPi / 4), Hex(0xFFFFFF, 0.8f * light));
}

// Kind 1: a burst of cyan beads flying outwards around a fading core.
void Burst(Canvas& canvas, float cx, float cy, int frame)
{
    const float t = Life(frame), light = Brightness(frame);
    const float spread = 5 + 24 * std::sqrt(t);
    Glow(canvas, Circle(cx, cy, 3 * (1 - t)), WithAlpha(style::kCyan, 0.8f * (1 - t)), 10 * (1 - t) + 1);
    if (t < 0.7f)
        Fill(canvas, Circle(cx, cy, 4.5f * (1 - t)),
             Radial(cx, cy, 4.5f * (1 - t), {{0, Hex(0xFFFFFF, light)}, {1, WithAlpha(style::kCyan, 0)}}));
    for (int i = 0; i < 8; ++i) {
        const float angle = float(i) * kPi / 4 + 0.2f;
        const float r = (i % 2 == 0 ? spread : spread * 0.72f);
        const float bead = (i % 2 == 0 ? 3.2f : 2.4f) * (1 - 0.5f * t);
        const Point at{cx + r * std::cos(angle), cy + r * std::sin(angle)};
        Fill(canvas, Segment({cx + r * 0.7f * std::cos(angle), cy + r * 0.7f * std::sin(angle)}, at, bead * 0.6f),
             WithAlpha(style::kCyan, 0.5f * light));
        Fill(canvas, Circle(at.x, at.y, bead), Radial(at.x, at.y, bead, {{0, Hex(0xFFFFFF, light)}, {1, WithAlpha(style::kCyan, light)}}));
    }
}

// Kind 2: a pink flare, a cross of long rays with a ring that opens and thins.
void Flare(Canvas& canvas, float cx, float cy, int frame)
{
    const float t = Life(frame), light = Brightness(frame);
    const float ray = 10 + 20 * std::sin(std::min(1.0f, t * 1.4f) * kPi / 2);
    const Colour pink = WithAlpha(style::kPink, light);
    Fill(canvas, Outline(Circle(cx, cy, 4 + 18 * t), 2.2f * (1 - t) + 0.6f), WithAlpha(style::kPink, 0.7f * light));
    for (int i = 0; i < 4; ++i) {
        const float angle = float(i) * kPi / 2 + t * 0.5f;
        const float length = i % 2 == 0 ? ray : ray * 0.75f;
        Fill(canvas, Segment({cx, cy}, {cx + length * std::cos(angle), cy + length * std::sin(angle)}, 2.4f * (1 - 0.4f * t)), pink);
    }
    Glow(canvas, Circle(cx, cy, 2.5f), WithAlpha(Lighter(style::kPink, 0.6f), light), 5);
    Fill(canvas, Circle(cx, cy, 2.5f), Hex(0xFFFFFF, light));
}

} // namespace

Artwork DrawSparkles()
{
    Artwork art{"effects", Canvas(kSparkleSize * kSparkleFrames, kSparkleSize * kSparkleKinds), true, kSparkleSize, kSparkleSize};
    for (int kind = 0; kind < kSparkleKinds; ++kind)
        for (int frame = 0; frame < kSparkleFrames; ++frame) {
            Canvas cell(kSparkleSize, kSparkleSize);
            const float centre = kSparkleSize / 2.0f;
            if (kind == 0)
                Twinkle(cell, centre, centre, frame);
            else if (kind == 1)
                Burst(cell, centre, centre, frame);
            else
                Flare(cell, centre, centre, frame);
            art.canvas.Draw(cell, frame * kSparkleSize, kind * kSparkleSize);
        }
    return art;
}
