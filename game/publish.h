// The scores server's addresses: the one that publishes the high-score table, and the page
// of published scores.
#pragma once

#include "publishformat.h"

#include <string>

// The server's base address: "ScoresServer" of the game's key, else the built-in default.
std::string ScoresServer();
// "eo" in Esperanto, "en" otherwise.
std::string ScoresLanguageCode();

// The posting address carries every entry whose check value holds.
std::string PublishAddress();
std::string ViewScoresAddress();
