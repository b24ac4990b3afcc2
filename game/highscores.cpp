#include "highscores.h"

#include "records.h"

#include <windows.h>

#include <cstring>

HIGHSCORE g_highScores[cHIGHSCORES];

namespace {

constexpr uint32_t CHECK_SEED = 0x5B7E21D4;

void setName(HIGHSCORE& entry, std::u16string_view name)
{
    size_t cch = name.size() < cchHIGHSCORE_NAME - 1 ? name.size() : cchHIGHSCORE_NAME - 1;
    // Never keep half of a surrogate pair at the cut.
    if (cch < name.size() && cch > 0 && name[cch - 1] >= 0xD800 && name[cch - 1] <= 0xDBFF)
        --cch;
    std::memset(entry.szName, 0, sizeof entry.szName);
    name.copy(entry.szName, cch);
}

} // namespace

void DefaultHighScores()
{
    static const struct {
        std::u16string_view name;
        uint32_t score;
        CALENDARDATE date;
    } defaults[cHIGHSCORES] = {
        {u"Marta", 270000, {2002, 3, 16}}, {u"Ludoviko", 300000, {2002, 6, 5}}, {u"Klara", 405000, {2002, 12, 18}},
        {u"Petro", 435000, {2002, 3, 20}}, {u"Ilona", 600000, {2002, 7, 2}},    {u"Jakobo", 750000, {2002, 7, 23}},
        {u"Sofia", 855000, {2000, 11, 2}}, {u"Vera", 900000, {2000, 9, 3}},     {u"Tomaso", 1065000, {2000, 7, 29}},
    };
    for (int i = 0; i < cHIGHSCORES; ++i) {
        HIGHSCORE& entry = g_highScores[i];
        setName(entry, defaults[i].name);
        entry.dwScore = defaults[i].score;
        entry.dwDate = PackDate(defaults[i].date);
        entry.dwCheck = 0;
    }
}

std::u16string_view HighScoreName(const HIGHSCORE& entry)
{
    size_t cch = 0;
    while (cch < cchHIGHSCORE_NAME && entry.szName[cch])
        ++cch;
    return std::u16string_view(entry.szName, cch);
}

uint32_t EntryCheck(const HIGHSCORE& entry)
{
    uint32_t v = CHECK_SEED;
    for (char16_t c : HighScoreName(entry))
        v = v * 2 + c;
    return ((v ^ entry.dwScore) * 2) ^ entry.dwScore;
}

void CheckHighScores()
{
    for (HIGHSCORE& entry : g_highScores) {
        if (entry.dwCheck != 0 && EntryCheck(entry) != entry.dwCheck) {
            entry.dwCheck = 0;
            setName(entry, u"Cheater");
        }
    }
}

int HighScoreRank(uint32_t time)
{
    for (int i = 0; i < cHIGHSCORES; ++i)
        if (time < g_highScores[i].dwScore)
            return i;
    return -1;
}

void EnterHighScore(int rank, std::u16string_view name, uint32_t time)
{
    if (rank < 0 || rank >= cHIGHSCORES)
        return;
    std::memmove(&g_highScores[rank + 1], &g_highScores[rank], (cHIGHSCORES - 1 - rank) * sizeof(HIGHSCORE));
    HIGHSCORE& entry = g_highScores[rank];
    setName(entry, name);
    entry.dwScore = time;
    entry.dwDate = PackDate();
    entry.dwCheck = EntryCheck(entry);
    SaveRecords();
}

uint32_t PackDate()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return PackDate({now.wYear, now.wMonth, now.wDay});
}
