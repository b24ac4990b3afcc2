#include "pack.h"

#include "buttons.h"
#include "effects.h"
#include "pictures.h"
#include "tiles.h"

std::vector<Artwork> DrawPack(TextRenderer& text, const Geometry& g)
{
    std::vector<Artwork> art;
    art.push_back(DrawPressedFrames());
    art.push_back(DrawButtonFaces(text, Language::English));
    art.push_back(DrawButtonFaces(text, Language::Esperanto));
    art.push_back(DrawSparkles());
    art.push_back(DrawInsets(g));
    art.push_back(DrawTileFaces(g));
    art.push_back(DrawBanners(text, Language::English, g));
    art.push_back(DrawBanners(text, Language::Esperanto, g));
    art.push_back(DrawDivider(g));
    art.push_back(DrawLogo(text, g));
    return art;
}
