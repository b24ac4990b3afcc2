// The high-score table as the game stores it in the registry, read back for checking.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct StoredScore {
    std::u16string name;
    uint32_t score = 0;
    uint32_t date = 0;
    uint32_t check = 0;
};

// The check value an honest entry carries.
uint32_t ExpectedCheck(const std::u16string& name, uint32_t score);
// Today as the game packs dates.
uint32_t PackedToday();

// Parses the stored value: a 4-byte version word and nine 140-byte entries. Nothing when the
// value is not that.
std::optional<std::vector<StoredScore>> ParseHighScores(const std::vector<uint8_t>& value);
// The "HighScores" value of the game's key, empty when missing.
std::vector<uint8_t> ReadHighScoresValue();
bool WriteHighScoresValue(const std::vector<uint8_t>& value);
// Makes the first entry an honest one with this name and score, dated today.
bool SeedEntry(std::vector<uint8_t>& value, const std::u16string& name, uint32_t score);
// Changes one character of the named entry's name, leaving its check value as it was.
bool ForgeName(std::vector<uint8_t>& value, const std::u16string& name);
