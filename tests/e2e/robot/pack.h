// The pictures of one resource pack, decoded with the project's own pack tool.
#pragma once

#include "tiles.h"

#include <string>
#include <vector>

struct PackPictures {
    TileCells tiles;
    std::vector<Image> captions; // the 14 English button captions (35 x 12 at (16, 17) of each face)
    std::vector<Image> banners; // the 3 English banners of the high-score screen
};

// Button captions by face cell.
enum Caption { kMenu = 0, kPause = 1, kNew = 2, kExit = 3, kNext = 13, kAdd = 9, kHint = 10, kDone = 8, kScores = 7 };
// Banners by cell.
enum Banner { kViewed = 0, kGameOver = 1, kNewHighScore = 2 };

// The pack's layout text, extracted into the folder with `quibo-pack`.
std::string ReadLayout(const std::string& packTool, const std::string& pack, const std::string& folder);
// Extracts, unpacks and converts the pack's images into the folder with `quibo-pack`; what an
// earlier run left in the folder is read again rather than decoded anew.
PackPictures DecodePack(const std::string& packTool, const std::string& pack, const std::string& folder);

// A number from a layout text ("key = value" lines); 0 when absent, as the game reads it.
int LayoutNumber(const std::string& layout, const std::string& key);
