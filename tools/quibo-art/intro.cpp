#include "intro.h"

#include "emblem.h"
#include "shapes.h"
#include "style.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kShapeSize = 30;
constexpr float kShapesY = 34;
constexpr int kWordmarkPixels = 38;

// Ease out with a little overshoot, so each shape lands with a bounce.
float Arrive(float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    const float s = 1.9f;
    const float u = t - 1;
    return 1 + u * u * ((s + 1) * u + s);
}

struct Flight {
    float fromX, fromY; // start, relative to the resting place
    int firstFrame; // frames before this one do not show the shape yet
    float spin; // turns made on the way
};

// Rectangle from the left, circle from above, triangle from the right, one after another.
constexpr Flight kFlights[3] = {{-140, 10, 0, -1.0f}, {0, -90, 2, 0.0f}, {140, 10, 4, 1.0f}};
constexpr int kLandingFrame = 12;

void DrawShapes(Canvas& frame, int index)
{
    const float cx = kIntroWidth / 2.0f;
    for (int i = 0; i < 3; ++i) {
        const Flight& f = kFlights[i];
        if (index < f.firstFrame)
            continue;
        const float restX = cx + float(i - 1) * kShapeSize * 1.6f;
        auto place = [&](int at) {
            const float t = float(at - f.firstFrame) / float(kLandingFrame - f.firstFrame);
            const float p = Arrive(t);
            return Point{restX + f.fromX * (1 - p), kShapesY + f.fromY * (1 - p)};
        };
        const float t = std::min(1.0f, float(index - f.firstFrame) / float(kLandingFrame - f.firstFrame));
        // A fading trail behind a shape still in flight.
        if (t < 1) {
            for (int back = 2; back >= 1; --back) {
                if (index - back < f.firstFrame)
                    continue;
                Canvas ghost(kIntroWidth, kIntroHeight);
                const Point at = place(index - back);
                DrawEmblemShape(ghost, i, at.x, at.y, kShapeSize,
                                f.spin * 6.283f * (1 - Arrive(float(index - back - f.firstFrame) / float(kLandingFrame - f.firstFrame))));
                frame.Draw(ghost, 0, 0, 0.18f / float(back));
            }
        }
        const Point at = place(index);
        DrawEmblemShape(frame, i, at.x, at.y, kShapeSize, f.spin * 6.283f * (1 - Arrive(t)));
    }
}

void DrawName(Canvas& frame, TextRenderer& text, int index)
{
    const float t = float(index - kLandingFrame) / float(kIntroFrames - 1 - kLandingFrame); // 1/7 .. 1
    const Ink ink = WordmarkInk(text, kWordmarkPixels, 2.5f);
    const int x = (kIntroWidth - ink.mask.width) / 2;
    const int y = 54 + int(std::lround(10 * (1 - Arrive(t))));
    DrawWordmark(frame, text, kWordmarkPixels, 2.5f, x, y, std::min(1.0f, t * 1.6f));
    // A glint runs over the letters and ends as a star beside them.
    const float glintX = float(x) + float(ink.mask.width) * (t * 1.1f - 0.1f);
    Canvas shine(kIntroWidth, kIntroHeight);
    FillMask(shine, ink.mask, x, y, [glintX](float px, float py) {
        const float d = std::abs(px - glintX + (py - 70) * 0.4f);
        return Hex(0xFFFFFF, std::clamp(1.0f - d / 6.0f, 0.0f, 1.0f) * 0.8f);
    });
    frame.Draw(shine, 0, 0);
    if (index == kIntroFrames - 1 || index == kIntroFrames - 2) {
        const float r = index == kIntroFrames - 1 ? 9.0f : 5.0f;
        const float sx = float(x + ink.mask.width) - 2, sy = float(y) + 6;
        const Shape star = Union(Polygon({{sx - r, sy}, {sx, sy - 0.25f * r}, {sx + r, sy}, {sx, sy + 0.25f * r}}),
                                 Polygon({{sx, sy - r}, {sx + 0.25f * r, sy}, {sx, sy + r}, {sx - 0.25f * r, sy}}));
        Glow(frame, Circle(sx, sy, 1.5f), WithAlpha(style::kGold, 0.7f), r * 0.6f);
        Fill(frame, star, Hex(0xFFFFFF));
    }
}

} // namespace

Canvas DrawIntro(TextRenderer& text)
{
    Canvas strip(kIntroWidth, kIntroHeight * kIntroFrames);
    strip.Clear(Hex(0x000000));
    for (int index = 0; index < kIntroFrames; ++index) {
        Canvas frame(kIntroWidth, kIntroHeight);
        frame.Clear(Hex(0x000000));
        DrawShapes(frame, std::min(index, kLandingFrame));
        if (index > kLandingFrame)
            DrawName(frame, text, index);
        strip.Draw(frame, 0, index * kIntroHeight);
    }
    return strip;
}
