// The high-score table: the nine best times, best first, each signed with a check value so
// that an entry edited by hand is recognised.
#pragma once

#include "publishformat.h"

#include <cstdint>
#include <string_view>

constexpr int cHIGHSCORES = 9;
constexpr int cchHIGHSCORE_NAME = 64;

// One entry, exactly as stored in the "HighScores" record.
struct HIGHSCORE {
    char16_t szName[cchHIGHSCORE_NAME]; // zero-terminated, at most 63 characters
    uint32_t dwScore; // milliseconds; lower is better
    uint32_t dwDate; // PackDate
    uint32_t dwCheck; // 0: no check value, never published
};
static_assert(sizeof(HIGHSCORE) == 140);

extern HIGHSCORE g_highScores[cHIGHSCORES];

void DefaultHighScores();

// The entry's name, ending at its zero or at the end of the field, whichever comes first:
// a stored name may fill all 64 units.
std::u16string_view HighScoreName(const HIGHSCORE& entry);

uint32_t EntryCheck(const HIGHSCORE& entry);
// Marks every entry whose check value does not match as "Cheater".
void CheckHighScores();

// The rank a finished game's time takes, or -1 when it does not enter the table. A time
// equal to an entry's ranks below it.
int HighScoreRank(uint32_t time);
// Puts the time in at that rank, dropping the last entry, and stores both records.
void EnterHighScore(int rank, std::u16string_view name, uint32_t time);

// Today's local date, packed.
uint32_t PackDate();
