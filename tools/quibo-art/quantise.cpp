#include "quantise.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace {

constexpr int kKeyIndex = 252; // pure blue among the system colours
constexpr float kDiffusion = 0.8f; // a little less than full error diffusion keeps edges calm

uint32_t Pack(Rgb c)
{
    return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
}

struct Point3 {
    float r, g, b;
};

// Squared distance, weighted roughly as the eye weighs the channels.
float Distance(const Point3& a, const Point3& b)
{
    const float dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return 2 * dr * dr + 4 * dg * dg + 3 * db * db;
}

Point3 ToPoint(Rgb c)
{
    return {float(c.r), float(c.g), float(c.b)};
}

Rgb ToRgb(const Point3& p)
{
    auto byte = [](float v) { return uint8_t(std::clamp(int(v + 0.5f), 0, 255)); };
    return {byte(p.r), byte(p.g), byte(p.b)};
}

struct Weighted {
    Point3 colour;
    double weight;
};

float Channel(const Point3& p, int axis)
{
    return axis == 0 ? p.r : axis == 1 ? p.g : p.b;
}

struct Box {
    std::vector<Weighted> colours;
    Point3 mean{};
    double error = 0; // weighted squared spread around the mean

    void Measure()
    {
        double w = 0, r = 0, g = 0, b = 0;
        for (const Weighted& c : colours) {
            w += c.weight;
            r += c.colour.r * c.weight;
            g += c.colour.g * c.weight;
            b += c.colour.b * c.weight;
        }
        mean = {float(r / w), float(g / w), float(b / w)};
        error = 0;
        for (const Weighted& c : colours)
            error += Distance(c.colour, mean) * c.weight;
    }
};

// Median cut: split the box with the largest spread along its widest channel at the
// weighted median, until there are `count` boxes or nothing left to split.
std::vector<Point3> MedianCut(std::vector<Weighted> colours, size_t count)
{
    std::vector<Box> boxes(1);
    boxes[0].colours = std::move(colours);
    boxes[0].Measure();
    while (boxes.size() < count) {
        auto worst = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.error < b.error; });
        if (worst->colours.size() < 2 || worst->error <= 0)
            break;
        int axis = 0;
        float widest = -1;
        for (int a = 0; a < 3; ++a) {
            auto [lo, hi] = std::minmax_element(worst->colours.begin(), worst->colours.end(), [a](const Weighted& x, const Weighted& y) {
                return Channel(x.colour, a) < Channel(y.colour, a);
            });
            const float range = (Channel(hi->colour, a) - Channel(lo->colour, a)) * (a == 1 ? 2.0f : 1.5f);
            if (range > widest) {
                widest = range;
                axis = a;
            }
        }
        std::vector<Weighted>& all = worst->colours;
        std::stable_sort(all.begin(), all.end(),
                         [axis](const Weighted& x, const Weighted& y) { return Channel(x.colour, axis) < Channel(y.colour, axis); });
        double total = 0;
        for (const Weighted& c : all)
            total += c.weight;
        double run = 0;
        size_t split = 1;
        for (; split < all.size() - 1; ++split) {
            run += all[split - 1].weight;
            if (run >= total / 2)
                break;
        }
        Box upper;
        upper.colours.assign(all.begin() + long(split), all.end());
        all.resize(split);
        worst->Measure();
        upper.Measure();
        boxes.push_back(std::move(upper));
    }
    std::vector<Point3> centres;
    for (const Box& box : boxes)
        centres.push_back(box.mean);
    return centres;
}

size_t Nearest(const std::vector<Point3>& palette, const Point3& colour, size_t skip)
{
    size_t best = 0;
    float bestDistance = 1e30f;
    for (size_t i = 0; i < palette.size(); ++i) {
        if (i == skip)
            continue;
        const float d = Distance(palette[i], colour);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// A few rounds of moving each free colour to the middle of the colours nearest to it; the
// fixed colours stay and take what lies nearest to them.
void Refine(std::vector<Point3>& palette, size_t firstFree, const std::vector<Weighted>& colours, int rounds)
{
    for (int round = 0; round < rounds; ++round) {
        std::vector<double> w(palette.size()), r(palette.size()), g(palette.size()), b(palette.size());
        for (const Weighted& c : colours) {
            const size_t i = Nearest(palette, c.colour, size_t(-1));
            w[i] += c.weight;
            r[i] += c.colour.r * c.weight;
            g[i] += c.colour.g * c.weight;
            b[i] += c.colour.b * c.weight;
        }
        for (size_t i = firstFree; i < palette.size(); ++i)
            if (w[i] > 0)
                palette[i] = {float(r[i] / w[i]), float(g[i] / w[i]), float(b[i] / w[i])};
    }
}

IndexedImage Map(const RgbImage& image, const std::vector<Point3>& palette, const std::array<Rgb, 256>& entries,
                 const std::unordered_map<uint32_t, uint8_t>& exact, std::unordered_map<uint32_t, uint8_t>& memo)
{
    IndexedImage out{image.width, image.height, std::vector<uint8_t>(image.pixels.size()), image.keyed};
    std::vector<Point3> error(size_t(image.width) + 2, {0, 0, 0}), next(error.size(), {0, 0, 0});
    for (int y = 0; y < image.height; ++y) {
        std::fill(next.begin(), next.end(), Point3{0, 0, 0});
        for (int x = 0; x < image.width; ++x) {
            const size_t at = size_t(y) * size_t(image.width) + size_t(x);
            const Rgb pixel = image.pixels[at];
            if (image.keyed && pixel == kKey) {
                out.indices[at] = kKeyIndex;
                continue;
            }
            if (auto found = exact.find(Pack(pixel)); found != exact.end()) {
                out.indices[at] = found->second;
                continue;
            }
            const Point3 p = ToPoint(pixel);
            const Point3& e = error[size_t(x) + 1];
            const Rgb wanted = ToRgb({p.r + e.r, p.g + e.g, p.b + e.b});
            auto [slot, fresh] = memo.try_emplace(Pack(wanted), uint8_t(0));
            if (fresh)
                slot->second = uint8_t(Nearest(palette, ToPoint(wanted), kKeyIndex));
            const uint8_t index = slot->second;
            out.indices[at] = index;
            const Point3 got = ToPoint(entries[index]), want = ToPoint(wanted);
            const Point3 spill{(want.r - got.r) * kDiffusion, (want.g - got.g) * kDiffusion, (want.b - got.b) * kDiffusion};
            auto add = [](Point3& to, const Point3& what, float share) {
                to.r += what.r * share;
                to.g += what.g * share;
                to.b += what.b * share;
            };
            add(error[size_t(x) + 2], spill, 7.0f / 16);
            add(next[size_t(x)], spill, 3.0f / 16);
            add(next[size_t(x) + 1], spill, 5.0f / 16);
            add(next[size_t(x) + 2], spill, 1.0f / 16);
        }
        std::swap(error, next);
    }
    return out;
}

} // namespace

const std::array<Rgb, 18>& SystemColours()
{
    static const std::array<Rgb, 18> colours = {{
        {128, 0, 0},
        {0, 128, 0},
        {128, 128, 0},
        {0, 0, 128},
        {128, 0, 128},
        {0, 128, 128},
        {192, 192, 192},
        {192, 220, 192},
        {166, 202, 240},
        {255, 251, 240},
        {160, 160, 164},
        {128, 128, 128},
        {255, 0, 0},
        {0, 255, 0},
        {255, 255, 0},
        {0, 0, 255},
        {255, 0, 255},
        {0, 255, 255},
    }};
    return colours;
}

IndexedSet Quantise(const std::vector<RgbImage>& images, const std::vector<Rgb>& exactColours)
{
    IndexedSet set;
    std::vector<bool> taken(256, false);
    std::unordered_map<uint32_t, uint8_t> exact;
    auto place = [&](size_t index, Rgb colour) {
        set.palette[index] = colour;
        taken[index] = true;
        exact.emplace(Pack(colour), uint8_t(index));
    };
    place(0, {0, 0, 0});
    place(255, {255, 255, 255});
    for (size_t i = 0; i < 18; ++i)
        place(i < 9 ? i + 1 : i + 237, SystemColours()[i]);
    size_t free = 10;
    for (const Rgb& colour : exactColours)
        if (!exact.contains(Pack(colour)))
            place(free++, colour);

    std::map<uint32_t, double> histogram;
    for (const RgbImage& image : images)
        for (const Rgb& pixel : image.pixels)
            if (!(image.keyed && pixel == kKey) && !exact.contains(Pack(pixel)))
                histogram[Pack(pixel)] += 1;
    std::vector<Weighted> colours;
    for (const auto& [packed, count] : histogram)
        colours.push_back({{float(packed >> 16), float((packed >> 8) & 0xFF), float(packed & 0xFF)}, count});

    // The free entries start where median cut puts them and are then refined, while the
    // fixed entries (black, white, the system and the exact colours) take what lies nearest.
    std::vector<Point3> joined;
    for (size_t i = 0; i < 256; ++i)
        if (taken[i])
            joined.push_back(ToPoint(set.palette[i]));
    const size_t fixedCount = joined.size();
    if (!colours.empty()) {
        for (const Point3& centre : MedianCut(colours, 246 - free))
            joined.push_back(centre);
        Refine(joined, fixedCount, colours, 4);
    }
    for (size_t i = fixedCount; i < joined.size(); ++i)
        set.palette[free + i - fixedCount] = ToRgb(joined[i]);

    std::vector<Point3> search;
    for (const Rgb& entry : set.palette)
        search.push_back(ToPoint(entry));

    std::unordered_map<uint32_t, uint8_t> memo;
    for (const RgbImage& image : images)
        set.images.push_back(Map(image, search, set.palette, exact, memo));
    return set;
}

RgbImage Expand(const IndexedImage& image, const std::array<Rgb, 256>& palette)
{
    RgbImage out{image.width, image.height, {}, image.keyed};
    out.pixels.reserve(image.indices.size());
    for (const uint8_t index : image.indices)
        out.pixels.push_back(palette[index]);
    return out;
}
