// The Settings and HighScores records: defaults, what is kept of stored bytes, their byte
// layout, the check value that marks hand edits, and entering a new time.
#include "records.h"

#include "highscores.h"
#include "language.h"
#include "recentnames.h"

#include <cstring>
#include <ctime>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

using BYTES = std::vector<BYTE>;
using NUMBERS = std::vector<uint32_t>;

const registry::key g_nls(u"HKLM\\Software\\Zelnor\\NLS");
const registry::value g_owner(registry::key(u"HKCU\\ControlPanel\\Owner"), u"Owner");
const registry::value g_settingsValue(GameKey(), u"Settings");
const registry::value g_scoresValue(GameKey(), u"HighScores");

class Records : public testing::Test {
protected:
    void SetUp() override
    {
        TearDown();
        g_nls.erase();
        SelectLanguage("Quibo", 1);
        std::memset(&g_settings, 0xAB, sizeof g_settings);
        DefaultHighScores();
    }
    void TearDown() override { GameKey().erase(), g_owner.erase(); }
};

void store(const registry::value& value, const BYTES& bytes)
{
    ASSERT_TRUE(value.writeBinary(registry::binary(bytes.data(), static_cast<DWORD>(bytes.size()), false)));
}

BYTES stored(const registry::value& value)
{
    const registry::binary b = value.readBinary();
    return BYTES(b.data(), b.data() + b.size());
}

// A version word and cbBody bytes of fill, with little-endian values of cb bytes at their offsets.
struct AT {
    size_t offset, cb;
    uint32_t value;
};
BYTES record(DWORD version, size_t cbBody, std::initializer_list<AT> values = {}, BYTE fill = 0)
{
    BYTES bytes(4 + cbBody, fill);
    std::memcpy(bytes.data(), &version, 4);
    for (const AT& at : values)
        if (at.offset + at.cb <= bytes.size())
            std::memcpy(&bytes[at.offset], &at.value, at.cb);
    return bytes;
}

NUMBERS settingsFields()
{
    return {g_settings.iEffects, g_settings.fSmoothAnimation, g_settings.fSoundEffects, g_settings.fMusic, g_settings.dwReserved};
}

std::u16string recentNames()
{
    return std::u16string(RecentNamesText(g_settings.szRecentNames, cchRECENT_NAMES));
}

NUMBERS scores()
{
    NUMBERS all;
    for (const HIGHSCORE& entry : g_highScores)
        all.push_back(entry.dwScore);
    return all;
}

std::u16string name(int rank)
{
    return std::u16string(HighScoreName(g_highScores[rank]));
}

// The check value worked out by hand from its definition.
uint32_t expectedCheck(std::u16string_view name, uint32_t score)
{
    uint32_t v = 0x5B7E21D4;
    for (char16_t c : name)
        v = v * 2 + c;
    return ((v ^ score) * 2) ^ score;
}

// Rewrites one entry's field inside the stored record, as a hand edit would.
void editStored(int entry, size_t offset, uint32_t value, size_t cb)
{
    BYTES bytes = stored(g_scoresValue);
    std::memcpy(&bytes[4 + entry * sizeof(HIGHSCORE) + offset], &value, cb);
    store(g_scoresValue, bytes);
}

} // namespace

// The default player name is a catalog text, so the defaults follow the stored language.
TEST_F(Records, AFirstRunGetsTheDefaultsInItsLanguageWrittenBack)
{
    for (const char16_t* language : {u"", u"EO"}) {
        GameKey().erase();
        if (*language) {
            ASSERT_TRUE(registry::value(g_nls, u"Lang-Quibo").writeString(language));
        }
        const std::u16string name = *language ? u"Nenomita;" : u"Anonymous;";
        EXPECT_FALSE(LoadRecords());
        EXPECT_EQ(settingsFields(), (NUMBERS{EFFECTS_SOME, 1, 1, 1, 0}));
        EXPECT_EQ(recentNames(), name);
        EXPECT_EQ(g_settingsValue.size(), 1048u);
        std::memset(&g_settings, 0, sizeof g_settings);
        EXPECT_TRUE(LoadRecords());
        EXPECT_EQ(recentNames(), name);
    }
}

TEST_F(Records, TheOwnersNameIsTheDefaultPlayer)
{
    // The second is neither terminated nor a whole number of units.
    const std::pair<BYTES, const char16_t*> cases[]
        = {{{'A', 0, 'd', 0, 'a', 0, 0, 0, 'j', 0}, u"Ada"}, {{'B', 0, 'o', 0, 'b'}, u"Bo"}, {{0, 0}, u"Anonymous"}};
    for (const auto& [owner, name] : cases) {
        store(g_owner, owner);
        EXPECT_EQ(DefaultPlayerName(), name);
    }
    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    EXPECT_EQ(DefaultPlayerName(), u"Nenomita");
}

TEST_F(Records, OnlyVersionThreeSettingsAreKept)
{
    for (DWORD version : {0x00020000u, 0x00020005u, 0x00040000u, 0x00030001u}) {
        store(g_settingsValue, record(version, sizeof(SETTINGS)));
        EXPECT_EQ(LoadRecords(), version >> 16 == 3) << std::hex << version;
        EXPECT_EQ(g_settings.fMusic, version >> 16 == 3 ? 0u : 1u);
    }
    // Cut to the record: the names then fill their field without a terminator.
    store(g_settingsValue, record(0x00030000, 2000, {}, 'x'));
    EXPECT_TRUE(LoadRecords());
    EXPECT_EQ(recentNames().size(), static_cast<size_t>(cchRECENT_NAMES));
}

// A short table would hold times of 0 ms that no game could beat.
TEST_F(Records, AnUnusableHighScoreTableIsReplacedByTheDefaultsAndWrittenBack)
{
    const size_t whole = sizeof g_highScores;
    const struct {
        DWORD version;
        size_t cb; // 0: nothing stored
    } cases[] = {
        {0, 0}, {0x00020000, whole}, {RECORD_VERSION, 1}, {RECORD_VERSION, 140}, {RECORD_VERSION, whole - 1}, {RECORD_VERSION, whole + 10}};
    for (const auto& c : cases) {
        const bool kept = c.version == RECORD_VERSION && c.cb >= whole;
        GameKey().erase();
        std::memset(g_highScores, 0, sizeof g_highScores);
        if (c.cb)
            store(g_scoresValue, record(c.version, c.cb, {{4 + 8 * 140 + 128, 4, 5}}));
        LoadHighScores();
        EXPECT_EQ(g_highScores[8].dwScore, kept ? 5u : 1065000u) << c.cb;
        EXPECT_EQ(g_scoresValue.size(), kept ? 4 + c.cb : 1264u) << c.cb;
    }
}

// Every field at its offset: a swapped or resized field moves bytes other readers rely on.
TEST_F(Records, StoredRecordsKeepTheirByteLayoutAndReadBack)
{
    constexpr size_t last = 4 + 8 * 140; // the ninth entry
    const BYTES settings = record(
        0x00030000, 1044, {{4, 4, 0x11}, {8, 4, 0x22}, {12, 4, 0x33}, {16, 4, 0x44}, {20, 4, 0x55}, {24, 2, u'Ŝ'}, {1046, 2, u'z'}});
    const BYTES table = record(0x00030000, 1260,
                               {{4, 2, u'A'}, {last + 126, 2, u'Q'}, {last + 128, 4, 0x66}, {last + 132, 4, 0x77}, {last + 136, 4, 0x88}});
    store(g_settingsValue, settings);
    store(g_scoresValue, table);
    ASSERT_TRUE(ReadSettings());
    LoadHighScores();
    const HIGHSCORE& ninth = g_highScores[8];
    NUMBERS read = settingsFields();
    read.insert(read.end(), {g_settings.szRecentNames[0], g_settings.szRecentNames[cchRECENT_NAMES - 1], g_highScores[0].szName[0],
                             ninth.szName[63], ninth.dwScore, ninth.dwDate, ninth.dwCheck});
    EXPECT_EQ(read, (NUMBERS{0x11, 0x22, 0x33, 0x44, 0x55, u'Ŝ', u'z', u'A', u'Q', 0x66, 0x77, 0x88}));

    GameKey().erase();
    SaveRecords();
    EXPECT_EQ(stored(g_settingsValue), settings);
    EXPECT_EQ(stored(g_scoresValue), table);
}

// Their dates are pinned where the high-score screen shows them.
TEST_F(Records, DefaultHighScoresAreNineDistinctUncheckedEntriesBestFirst)
{
    CheckHighScores();
    EXPECT_EQ(scores(), (NUMBERS{270000, 300000, 405000, 435000, 600000, 750000, 855000, 900000, 1065000}));
    std::set<std::u16string> names;
    for (int i = 0; i < cHIGHSCORES; ++i) {
        EXPECT_EQ(g_highScores[i].dwCheck, 0u);
        names.insert(name(i));
    }
    EXPECT_EQ(names.size(), 9u);
    EXPECT_FALSE(names.contains(u"") || names.contains(u"Cheater"));
}

TEST_F(Records, EditedNamesAndScoresBecomeCheatersButDatesDoNot)
{
    EnterHighScore(0, u"Ada", 1000);
    EnterHighScore(0, u"Bea", 900);
    EnterHighScore(0, u"Cid", 800);
    editStored(0, 0, u'Z', sizeof(char16_t)); // "Zid"
    editStored(1, offsetof(HIGHSCORE, dwScore), 850, 4);
    editStored(2, offsetof(HIGHSCORE, dwDate), 12345, 4);
    LoadRecords(); // start-up checks the table
    EXPECT_EQ(name(0) + u"," + name(1) + u"," + name(2), u"Cheater,Cheater,Ada");
    EXPECT_EQ((NUMBERS{g_highScores[0].dwCheck, g_highScores[0].dwScore, g_highScores[1].dwScore, g_highScores[2].dwDate}),
              (NUMBERS{0, 800, 850, 12345}));
}

TEST_F(Records, ATimeMustBeStrictlyBetterToEnterAndEntersCheckedDatedAndStored)
{
    EXPECT_EQ((std::vector<int>{HighScoreRank(1065000), HighScoreRank(1064999), HighScoreRank(0), HighScoreRank(300000)}),
              (std::vector<int>{-1, 8, 0, 2}));
    EnterHighScore(8, u"Last", 1064999);
    EXPECT_EQ(scores(), (NUMBERS{270000, 300000, 405000, 435000, 600000, 750000, 855000, 900000, 1064999}));
    EnterHighScore(2, u"Tĵe", 300000); // the old ninth goes; the check takes whole units
    EXPECT_EQ(scores(), (NUMBERS{270000, 300000, 300000, 405000, 435000, 600000, 750000, 855000, 900000}));
    EXPECT_EQ(name(2), u"Tĵe");
    EXPECT_EQ(g_highScores[2].dwCheck, expectedCheck(u"Tĵe", 300000));
    EXPECT_EQ(g_highScores[2].dwDate, PackDate());
    HIGHSCORE table[cHIGHSCORES];
    ASSERT_TRUE(g_scoresValue.readVersioned(RECORD_VERSION, table, sizeof table));
    EXPECT_EQ(std::memcmp(table, g_highScores, sizeof table), 0);

    // Names are cut to 63 characters, never inside a surrogate pair.
    EnterHighScore(0, std::u16string(70, u'n'), 1);
    EXPECT_EQ(name(0), std::u16string(63, u'n'));
    EnterHighScore(0, std::u16string(62, u'a') + u"\U0001F600", 1);
    EXPECT_EQ(name(0), std::u16string(62, u'a'));
}

TEST_F(Records, StoredDatesPackDayMonthAndYearIntoOneNumber)
{
    EXPECT_EQ(PackDate({2002, 3, 16}), 2002u * 372 + 2 * 31 + 15);
    const CALENDARDATE zero = UnpackDate(0);
    EXPECT_EQ((NUMBERS{zero.year, zero.month, zero.day, UnpackDate(PackDate({2031, 12, 31})).day}), (NUMBERS{0, 1, 1, 31}));
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    EXPECT_EQ(PackDate(), PackDate({uint32_t(t.tm_year + 1900), uint32_t(t.tm_mon + 1), uint32_t(t.tm_mday)}));
}
