// The high-score screen: the table with one row highlighted, under the banner of its mode.
#pragma once

#include "tl_string.h"

#include <cstdint>

void BuildHighScoreScreen();
void DestroyHighScoreScreen();

// A packed date as "16 Mar 2002": the month's abbreviation is the same in every language.
string FormatDate(uint32_t date);
