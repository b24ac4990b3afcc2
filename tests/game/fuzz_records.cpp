// The Settings and HighScores records loaded at start-up from any stored bytes, then ranked
// and written again. What must hold: an accepted record is the stored bytes cut or zero-filled
// to its size (a table only when whole), a rejected one is replaced by the defaults and written
// back; the check pass marks exactly the entries whose check value does not hold; a new time
// lands at its rank with the entries below moved down; a name remembered goes in front of the
// recent names, whole; and each record written back and read again gives the same bytes.
#include "fuzz_check.h"
#include "fuzz_scratch.h"
#include "highscores.h"
#include "recentnames.h"
#include "records.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

const registry::value g_settingsValue(GameKey(), u"Settings");
const registry::value g_scoresValue(GameKey(), u"HighScores");

uint32_t read32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

bool same(const void* a, const void* b, size_t cb)
{
    return std::memcmp(a, b, cb) == 0;
}

// The value holds the version word and exactly this record.
template<class T> bool storedAs(const registry::value& value, const T& record)
{
    const registry::binary stored = value.readBinary();
    return stored.size() == 4 + sizeof record && read32(stored.data()) == RECORD_VERSION && same(stored.data() + 4, &record, sizeof record);
}

// A new time at the rank it earns, under a name taken from the input; the name then
// remembered. Names are cut at 63 units, one less when the cut would split a surrogate pair.
void enterTime(uint32_t time, const std::u16string& name)
{
    const int rank = HighScoreRank(time);
    for (int i = 0; i < (rank < 0 ? cHIGHSCORES : rank); ++i)
        FUZZ_REQUIRE(g_highScores[i].dwScore <= time);
    HIGHSCORE before[cHIGHSCORES];
    std::memcpy(before, g_highScores, sizeof before);
    if (rank >= 0) {
        FUZZ_REQUIRE(time < g_highScores[rank].dwScore);
        EnterHighScore(rank, name, time);
        for (int i = 0; i < cHIGHSCORES; ++i)
            FUZZ_REQUIRE(i == rank || same(&g_highScores[i], &before[i < rank ? i : i - 1], sizeof(HIGHSCORE)));
        const HIGHSCORE& entry = g_highScores[rank];
        const std::u16string_view stored = HighScoreName(entry);
        FUZZ_REQUIRE(name.starts_with(stored) && entry.dwScore == time && entry.dwCheck == EntryCheck(entry));
        FUZZ_REQUIRE(stored.size() == std::min<size_t>(name.size(), 63)
                     || (stored.size() == 62 && name.size() > 63 && name[62] >= 0xD800 && name[62] <= 0xDBFF));
        FUZZ_REQUIRE(storedAs(g_settingsValue, g_settings) && storedAs(g_scoresValue, g_highScores));
    }

    const std::u16string earlier(RecentNamesText(g_settings.szRecentNames, cchRECENT_NAMES));
    const std::u16string taken = RememberPlayerName(name), typed = name.substr(0, 255);
    const std::u16string list(RecentNamesText(g_settings.szRecentNames, cchRECENT_NAMES));
    FUZZ_REQUIRE(name.empty() ? taken.empty() && list == earlier
                              : g_settings.szRecentNames[cchRECENT_NAMES - 1] == 0 && taken == typed.substr(0, typed.find(u';'))
                                    && list.starts_with(typed + u";"));
    for (std::u16string_view recent : RecentNames(list))
        FUZZ_REQUIRE(!recent.empty() && recent.find(u';') == std::u16string_view::npos);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzScratch();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Both records from the same bytes: each is its own reader of them.
    FUZZ_REQUIRE(g_settingsValue.writeBinary(registry::binary(data, DWORD(size), false)));
    FUZZ_REQUIRE(g_scoresValue.writeBinary(registry::binary(data, DWORD(size), false)));
    std::memset(&g_settings, 0xAB, sizeof g_settings);
    std::memset(g_highScores, 0xAB, sizeof g_highScores);

    // A table shorter than its nine entries would hold times of 0 that nothing beats.
    const bool accepted = size >= 4 && read32(data) >> 16 == RECORD_VERSION >> 16;
    FUZZ_REQUIRE(LoadRecords() == accepted);
    std::vector<uint8_t> body(data + std::min<size_t>(size, 4), data + size);
    body.resize(std::max(body.size(), sizeof g_highScores), 0);
    FUZZ_REQUIRE(accepted ? same(&g_settings, body.data(), sizeof g_settings) : storedAs(g_settingsValue, g_settings));
    // After the start-up check of a whole table: entries whose check holds, or that carry none,
    // are as stored; the others are "Cheater" with no check value, their time and date kept.
    HIGHSCORE before[cHIGHSCORES];
    std::memcpy(before, body.data(), sizeof before);
    for (int i = 0; accepted && size >= 4 + sizeof g_highScores && i < cHIGHSCORES; ++i) {
        const HIGHSCORE& entry = g_highScores[i];
        FUZZ_REQUIRE(before[i].dwCheck == 0 || EntryCheck(before[i]) == before[i].dwCheck
                         ? same(&entry, &before[i], sizeof entry)
                         : HighScoreName(entry) == u"Cheater" && entry.dwCheck == 0 && entry.dwScore == before[i].dwScore
                               && entry.dwDate == before[i].dwDate);
    }
    if (!accepted || size < 4 + sizeof g_highScores) {
        HIGHSCORE loaded[cHIGHSCORES];
        std::memcpy(loaded, g_highScores, sizeof loaded);
        DefaultHighScores();
        FUZZ_REQUIRE(storedAs(g_scoresValue, g_highScores) && same(loaded, g_highScores, sizeof loaded));
    }

    // The name the dialog would give: the input's units after the version word, up to a zero.
    std::u16string name(body.size() / 2, u'\0');
    std::memcpy(name.data(), body.data(), name.size() * 2);
    name = name.substr(0, std::min<size_t>(std::min(name.find(u'\0'), (size > 4 ? size - 4 : 0) / 2), 300));
    const HIGHSCORE& near = g_highScores[size % cHIGHSCORES];
    enterTime(near.dwScore + uint32_t(size % 3) - 1, name);

    // Both records written and read again into cleared memory come back byte for byte.
    const SETTINGS settings = g_settings;
    HIGHSCORE highScores[cHIGHSCORES];
    std::memcpy(highScores, g_highScores, sizeof highScores);
    SaveRecords();
    std::memset(&g_settings, 0, sizeof g_settings);
    std::memset(g_highScores, 0, sizeof g_highScores);
    FUZZ_REQUIRE(ReadSettings());
    LoadHighScores();
    FUZZ_REQUIRE(same(&settings, &g_settings, sizeof settings) && same(highScores, g_highScores, sizeof highScores));
    return 0;
}
