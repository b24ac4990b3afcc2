// How published scores travel between the game and the scores server: the server's paths,
// the posting query, the check value that ties each entry to its name, time and date, and the
// packed date. The game writes with these and the server reads with them, so the two sides
// cannot drift apart. Nothing here touches the platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr std::string_view SCORES_POST_PATH = "/cgi-bin/score.cgi";
constexpr std::string_view SCORES_PAGE_PREFIX = "/quibo/scores-";
constexpr size_t cPUBLISHED_MAX = 9; // the whole high-score table
constexpr size_t cchPUBLISHED_NAME_MAX = 64; // a full name field, every unit a letter
constexpr size_t cbPOST_QUERY_MAX = 8 * 1024;

struct CALENDARDATE {
    uint32_t year;
    uint32_t month; // 1..12
    uint32_t day; // 1..31
};

uint32_t PackDate(const CALENDARDATE& date);
CALENDARDATE UnpackDate(uint32_t packed);

// The name as the server takes it: spaces become "@", letters and digits stay, the rest
// is dropped.
std::string EncodePublishName(std::u16string_view name);
uint32_t PublishCheck(std::string_view encodedName, uint32_t score, uint32_t date);

// One entry of a post; the name as encoded above.
struct PUBLISHEDSCORE {
    std::string name;
    uint32_t score;
    uint32_t date;
    uint32_t check;
};

// "post&game&1&lang&" + language code + one "&score&TIME&NAME&DATE&CHECK" group per entry.
std::string PostQuery(std::string_view languageCode, const std::vector<PUBLISHEDSCORE>& entries);
// "/quibo/scores-" + language code + ".html".
std::string ScoresPagePath(std::string_view languageCode);

enum class POSTERROR {
    None,
    TooLong, // over cbPOST_QUERY_MAX
    NotAPost, // does not start "post&game&"
    WrongGame, // a game number other than 1
    UnknownLanguage, // neither "en" nor "eo"
    TooManyScores, // more than cPUBLISHED_MAX entries
    Incomplete, // an entry short of its five fields, or not starting "score"
    BadTime, // not a decimal number as the game writes it (no sign, no leading zero, 32 bits)
    BadName, // a character the game never sends, or too long
    BadDate,
    BadCheckNumber,
    CheckMismatch, // the check value does not belong to the name, time and date
};

// A parsed post: either every entry is well formed and carries its true check value, or
// `error` says what is wrong and `iEntry` at which entry (0-based; 0 for faults before any).
struct POSTQUERY {
    POSTERROR error = POSTERROR::None;
    size_t iEntry = 0;
    std::string language;
    std::vector<PUBLISHEDSCORE> scores;
};

// Reads the query part of a posting address (what follows "?"), exactly as the game writes it.
POSTQUERY ParsePostQuery(std::string_view query);
