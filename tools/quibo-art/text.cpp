#include "text.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <fontconfig/fontconfig.h>
#include <map>
#include <stdexcept>

namespace {

const char* Pattern(Face face)
{
    return face == Face::Condensed ? "DejaVu Sans Condensed:bold" : "DejaVu Sans:bold";
}

std::string FindFontFile(const char* pattern)
{
    FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
    FcDefaultSubstitute(wanted);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, wanted, &result);
    FcPatternDestroy(wanted);
    std::string path;
    FcChar8* file = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
        path = reinterpret_cast<const char*>(file);
    if (match)
        FcPatternDestroy(match);
    if (path.empty())
        throw std::runtime_error(std::string("quibo-art: no font for ") + pattern);
    return path;
}

} // namespace

struct TextRenderer::Fonts {
    std::map<std::pair<Face, int>, TTF_Font*> open;

    ~Fonts()
    {
        for (auto& [key, font] : open)
            TTF_CloseFont(font);
        TTF_Quit();
        FcFini(); // fontconfig keeps its configuration until told to let go
    }

    TTF_Font* Get(Face face, int pixelSize)
    {
        TTF_Font*& font = open[{face, pixelSize}];
        if (!font) {
            font = TTF_OpenFont(FindFontFile(Pattern(face)).c_str(), pixelSize);
            if (!font)
                throw std::runtime_error(std::string("quibo-art: ") + TTF_GetError());
            TTF_SetFontHinting(font, TTF_HINTING_LIGHT);
        }
        return font;
    }
};

TextRenderer::TextRenderer() : fonts_(std::make_unique<Fonts>())
{
    if (TTF_Init() != 0)
        throw std::runtime_error(std::string("quibo-art: ") + TTF_GetError());
}

TextRenderer::~TextRenderer() = default;

Ink TextRenderer::Render(Face face, int pixelSize, const std::string& text)
{
    TTF_Font* font = fonts_->Get(face, pixelSize);
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, text.c_str(), SDL_Color{255, 255, 255, 255});
    if (!rendered)
        throw std::runtime_error(std::string("quibo-art: ") + TTF_GetError());
    SDL_Surface* surface = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (!surface)
        throw std::runtime_error(std::string("quibo-art: ") + SDL_GetError());

    auto alpha = [surface](int x, int y) {
        const auto* row = static_cast<const uint8_t*>(surface->pixels) + size_t(y) * size_t(surface->pitch);
        uint32_t pixel;
        std::memcpy(&pixel, row + size_t(x) * 4, 4);
        return float(pixel >> 24) / 255.0f;
    };
    int left = surface->w, top = surface->h, right = -1, bottom = -1;
    for (int y = 0; y < surface->h; ++y)
        for (int x = 0; x < surface->w; ++x)
            if (alpha(x, y) > 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    Ink ink;
    if (right >= 0) {
        ink.mask = Mask(right - left + 1, bottom - top + 1);
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                ink.mask.coverage[size_t(y - top) * size_t(ink.mask.width) + size_t(x - left)] = alpha(x, y);
        ink.baseline = TTF_FontAscent(font) - top;
    }
    SDL_FreeSurface(surface);
    return ink;
}

Ink Squeezed(const Ink& ink, int width)
{
    if (ink.mask.width <= width)
        return ink;
    Ink narrow{Mask(width, ink.mask.height), ink.baseline};
    const float scale = float(ink.mask.width) / float(width);
    for (int y = 0; y < ink.mask.height; ++y)
        for (int x = 0; x < width; ++x) {
            // Each narrow pixel averages the span of source pixels it covers, partly at the ends.
            const float from = float(x) * scale, to = float(x + 1) * scale;
            float sum = 0;
            for (int sx = int(from); sx < int(std::ceil(to)); ++sx) {
                const float overlap = std::min(to, float(sx + 1)) - std::max(from, float(sx));
                sum += ink.mask.At(sx, y) * overlap;
            }
            narrow.mask.coverage[size_t(y) * size_t(width) + size_t(x)] = std::min(1.0f, sum / scale * 1.15f);
        }
    return narrow;
}
