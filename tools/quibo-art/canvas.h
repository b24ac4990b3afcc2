// The drawing surface of the art generator: floating-point RGBA pixels, premultiplied, and the
// colours and paints that shapes are filled with.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct Colour {
    float r = 0, g = 0, b = 0, a = 0; // straight alpha, each 0..1
};

// 0xRRGGBB as written in a paint program, with an optional opacity.
Colour Hex(uint32_t rgb, float alpha = 1.0f);
Colour Mix(Colour from, Colour to, float t);
Colour WithAlpha(Colour colour, float alpha);
Colour Lighter(Colour colour, float amount); // towards white
Colour Darker(Colour colour, float amount); // towards black

// A paint gives the colour at a point of the canvas.
using Paint = std::function<Colour(float x, float y)>;

Paint Solid(Colour colour);
// Colour stops along the line from (x0, y0) to (x1, y1); clamped beyond its ends.
struct Stop {
    float at;
    Colour colour;
};
Paint Linear(float x0, float y0, float x1, float y1, std::vector<Stop> stops);
Paint Radial(float cx, float cy, float radius, std::vector<Stop> stops);

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // The straight-alpha colour of a pixel.
    Colour At(int x, int y) const;
    void Set(int x, int y, Colour colour);

    // Source-over of a colour with the given coverage (0..1).
    void Blend(int x, int y, Colour colour, float coverage);
    // Source-over of a whole canvas with its top-left at (x, y), clipped.
    void Draw(const Canvas& source, int x, int y, float opacity = 1.0f);
    void Clear(Colour colour);
    // The rectangle (x, y, width, height) as a canvas of its own.
    Canvas Crop(int x, int y, int width, int height) const;

private:
    struct Pixel {
        float r, g, b, a; // premultiplied
    };
    int width_ = 0;
    int height_ = 0;
    std::vector<Pixel> pixels_;
};
