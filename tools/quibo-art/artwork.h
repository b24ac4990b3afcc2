// One image of a resource pack as drawn, before it is flattened to 24 or 8 bits.
#pragma once

#include "canvas.h"

#include <string>
#include <vector>

struct Artwork {
    std::string name; // the pack entry without ".zz"
    Canvas canvas;
    bool keyed = false; // transparent areas become the key colour, pure blue
    int cellWidth = 0; // the cells the game cuts it into, for the contact sheets
    int cellHeight = 0;
};

enum class Language { English, Esperanto };

inline const char* Suffix(Language language)
{
    return language == Language::English ? "en" : "eo";
}
