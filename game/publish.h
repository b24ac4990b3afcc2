// The scores server's addresses: the one that publishes the high-score table, and the page
// of published scores.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The name as the server takes it: spaces become "@", letters and digits stay, the rest
// is dropped.
std::string EncodePublishName(std::u16string_view name);
uint32_t PublishCheck(std::string_view encodedName, uint32_t score, uint32_t date);

// The server's base address: "ScoresServer" of the game's key, else the built-in default.
std::string ScoresServer();
// "eo" in Esperanto, "en" otherwise.
std::string ScoresLanguageCode();

// The posting address carries every entry whose check value holds.
std::string PublishAddress();
std::string ViewScoresAddress();
