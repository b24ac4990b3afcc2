// Coverage masks: one opacity per pixel, for text and for the outlines and shadows around it.
#pragma once

#include "canvas.h"

#include <vector>

struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> coverage; // row by row, 0..1

    Mask() = default;
    Mask(int w, int h) : width(w), height(h), coverage(size_t(w) * size_t(h), 0.0f) { }
    float At(int x, int y) const
    {
        return x < 0 || y < 0 || x >= width || y >= height ? 0.0f : coverage[size_t(y) * size_t(width) + size_t(x)];
    }
};

// The mask grown by radius pixels (round pen), with a soft edge.
Mask Dilated(const Mask& mask, float radius);
// A box blur of the given radius, run twice for a softer falloff.
Mask Blurred(const Mask& mask, int radius);
// The mask padded by a margin on every side, so that growing it keeps the edges.
Mask Padded(const Mask& mask, int margin);

// Paints the mask's coverage onto the canvas with its top-left at (x, y); the paint is asked
// in canvas coordinates.
void FillMask(Canvas& canvas, const Mask& mask, int x, int y, const Paint& paint, float opacity = 1.0f);
