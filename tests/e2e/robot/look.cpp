#include "look.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Screens go through the engine's blending and palettes: a pixel agrees within this much per
// channel. A match allows this fraction of stray pixels (a cursor, a sparkle's edge).
constexpr int kTolerance = 40;
constexpr double kMaxMisses = 0.03;
constexpr size_t kSamples = 24;

// Whether pixel i of the template agrees with the screen at (x, y), which holds the template.
bool Agrees(const Image& screen, const Template& t, int x, int y, int i)
{
    const Rgb a = screen.at(x + i % t.picture.width, y + i / t.picture.width), b = t.picture.pixels[size_t(i)];
    return std::abs(a.r - b.r) <= kTolerance && std::abs(a.g - b.g) <= kTolerance && std::abs(a.b - b.b) <= kTolerance;
}

} // namespace

Template MakeTemplate(const Image& picture, const std::vector<bool>& counts)
{
    Template t{picture, {}, {}};
    for (size_t i = 0; i < picture.pixels.size(); ++i)
        if (counts[i])
            t.counted.push_back(int(i));
    // Samples spread over the counted pixels: most places fail at the first one or two.
    const size_t step = std::max<size_t>(1, t.counted.size() / kSamples);
    for (size_t i = 0; i < t.counted.size() && t.samples.size() < kSamples; i += step)
        t.samples.push_back(t.counted[i]);
    return t;
}

Template MakeKeyedTemplate(const Image& picture, Rgb key)
{
    std::vector<bool> counts;
    for (const Rgb& p : picture.pixels)
        counts.push_back(!(p == key));
    return MakeTemplate(picture, counts);
}

double MissesAt(const Image& screen, const Template& t, int x, int y)
{
    if (t.counted.empty() || x < 0 || y < 0 || x + t.picture.width > screen.width || y + t.picture.height > screen.height)
        return 1;
    const auto misses = std::count_if(t.counted.begin(), t.counted.end(), [&](int i) { return !Agrees(screen, t, x, y, i); });
    return double(misses) / double(t.counted.size());
}

std::vector<Match> FindAll(const Image& screen, const Template& t)
{
    std::vector<Match> found;
    const int w = t.picture.width, h = t.picture.height;
    if (t.counted.empty() || w > screen.width || h > screen.height)
        return found;
    auto overlaps = [&](int x, int y) {
        return std::any_of(found.begin(), found.end(), [&](const Match& m) { return std::abs(m.x - x) < w && std::abs(m.y - y) < h; });
    };
    for (int y = 0; y + h <= screen.height; ++y) {
        for (int x = 0; x + w <= screen.width; ++x) {
            if (!std::all_of(t.samples.begin(), t.samples.end(), [&](int i) { return Agrees(screen, t, x, y, i); }) || overlaps(x, y))
                continue;
            // The first place that passes may be a pixel or two off a flat picture's true place.
            Match best{x, y, MissesAt(screen, t, x, y)};
            for (int dy = 0; dy <= 3; ++dy)
                for (int dx = -3; dx <= 3; ++dx)
                    if (double m = MissesAt(screen, t, x + dx, y + dy); m < best.misses)
                        best = {x + dx, y + dy, m};
            if (best.misses <= kMaxMisses && !overlaps(best.x, best.y))
                found.push_back(best);
        }
    }
    return found;
}
