#include "mask.h"

#include <algorithm>
#include <cmath>

Mask Dilated(const Mask& mask, float radius)
{
    Mask grown(mask.width, mask.height);
    const int reach = int(std::ceil(radius)) + 1;
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) {
            float best = 0;
            for (int dy = -reach; dy <= reach; ++dy)
                for (int dx = -reach; dx <= reach; ++dx) {
                    const float reachHere = std::clamp(radius + 0.5f - std::sqrt(float(dx * dx + dy * dy)), 0.0f, 1.0f);
                    if (reachHere > 0)
                        best = std::max(best, mask.At(x + dx, y + dy) * reachHere);
                }
            grown.coverage[size_t(y) * size_t(mask.width) + size_t(x)] = best;
        }
    return grown;
}

namespace {

Mask BoxBlur(const Mask& mask, int radius)
{
    Mask across(mask.width, mask.height), result(mask.width, mask.height);
    const float scale = 1.0f / float(2 * radius + 1);
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) {
            float sum = 0;
            for (int d = -radius; d <= radius; ++d)
                sum += mask.At(x + d, y);
            across.coverage[size_t(y) * size_t(mask.width) + size_t(x)] = sum * scale;
        }
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) {
            float sum = 0;
            for (int d = -radius; d <= radius; ++d)
                sum += across.At(x, y + d);
            result.coverage[size_t(y) * size_t(mask.width) + size_t(x)] = sum * scale;
        }
    return result;
}

} // namespace

Mask Blurred(const Mask& mask, int radius)
{
    return BoxBlur(BoxBlur(mask, radius), radius);
}

Mask Padded(const Mask& mask, int margin)
{
    Mask padded(mask.width + 2 * margin, mask.height + 2 * margin);
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            padded.coverage[size_t(y + margin) * size_t(padded.width) + size_t(x + margin)] = mask.At(x, y);
    return padded;
}

void FillMask(Canvas& canvas, const Mask& mask, int x, int y, const Paint& paint, float opacity)
{
    for (int my = 0; my < mask.height; ++my)
        for (int mx = 0; mx < mask.width; ++mx) {
            const float coverage = mask.At(mx, my);
            if (coverage > 0)
                canvas.Blend(x + mx, y + my, paint(float(x + mx) + 0.5f, float(y + my) + 0.5f), coverage * opacity);
        }
}
