#include "flatten.h"

#include <algorithm>
#include <cmath>

namespace {

uint8_t Byte(float value)
{
    return uint8_t(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

} // namespace

RgbImage Flatten(const Canvas& canvas, bool keyed)
{
    RgbImage image{canvas.Width(), canvas.Height(), {}, keyed};
    image.pixels.reserve(size_t(image.width) * size_t(image.height));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const Colour c = canvas.At(x, y);
            if (keyed && c.a < 0.125f) {
                image.pixels.push_back(kKey);
                continue;
            }
            Rgb pixel{Byte(c.r * c.a), Byte(c.g * c.a), Byte(c.b * c.a)};
            if (keyed && pixel == kKey)
                pixel.b = 254;
            image.pixels.push_back(pixel);
        }
    return image;
}

RgbImage Flatten(const Artwork& art)
{
    return Flatten(art.canvas, art.keyed);
}

Rgb Opaque(Colour colour)
{
    return {Byte(colour.r), Byte(colour.g), Byte(colour.b)};
}
