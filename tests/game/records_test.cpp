// The Settings and HighScores records: defaults, what is kept of stored bytes, their byte
// layout, the check value that marks hand edits, and entering a new time.
#include "records.h"

#include "highscores.h"
#include "language.h"
#include "recentnames.h"

#include <cstddef>
#include <cstring>
#include <ctime>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <vector>

namespace {

const registry::value g_owner(registry::key(u"HKCU\\ControlPanel\\Owner"), u"Owner");
const registry::value g_settingsValue(GameKey(), u"Settings");
const registry::value g_scoresValue(GameKey(), u"HighScores");

class Records : public testing::Test {
protected:
    void SetUp() override
    {
        TearDown();
        registry::key(u"HKLM\\Software\\Zelnor\\NLS").erase();
        SelectLanguage("Quibo", 1);
        std::memset(&g_settings, 0xAB, sizeof g_settings);
        DefaultHighScores();
    }
    void TearDown() override
    {
        GameKey().erase();
        g_owner.erase();
    }
};

void store(const registry::value& value, const std::vector<BYTE>& bytes)
{
    ASSERT_TRUE(value.writeBinary(registry::binary(bytes.data(), static_cast<DWORD>(bytes.size()), false)));
}

// A version word followed by cbBody bytes of fill.
std::vector<BYTE> record(DWORD version, size_t cbBody, BYTE fill = 0)
{
    std::vector<BYTE> bytes(4 + cbBody, fill);
    std::memcpy(bytes.data(), &version, 4);
    return bytes;
}

std::u16string recentNames()
{
    return std::u16string(RecentNamesText(g_settings.szRecentNames, cchRECENT_NAMES));
}

// A little-endian value of cb bytes at offset, or ~0 when it lies outside the stored bytes.
uint32_t storedAt(const registry::binary& stored, size_t offset, size_t cb)
{
    if (offset + cb > stored.size())
        return ~0u;
    uint32_t v = 0;
    for (size_t i = 0; i < cb; ++i)
        v |= static_cast<uint32_t>(stored.data()[offset + i]) << (8 * i);
    return v;
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
    const registry::binary before = g_scoresValue.readBinary();
    std::vector<BYTE> bytes(before.data(), before.data() + before.size());
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
            ASSERT_TRUE(registry::value(registry::key(u"HKLM\\Software\\Zelnor\\NLS"), u"Lang-Quibo").writeString(language));
        }
        const std::u16string name = *language ? u"Nenomita;" : u"Anonymous;";
        EXPECT_FALSE(LoadRecords());
        const uint32_t fields[]
            = {g_settings.iEffects, g_settings.fSmoothAnimation, g_settings.fSoundEffects, g_settings.fMusic, g_settings.dwReserved};
        EXPECT_EQ(std::vector<uint32_t>(std::begin(fields), std::end(fields)), (std::vector<uint32_t>{EFFECTS_SOME, 1, 1, 1, 0}));
        EXPECT_EQ(recentNames(), name);
        EXPECT_EQ(g_settingsValue.size(), 1048u);

        std::memset(&g_settings, 0, sizeof g_settings);
        EXPECT_TRUE(LoadRecords());
        EXPECT_EQ(recentNames(), name);
    }
}

TEST_F(Records, TheOwnersNameIsTheDefaultPlayer)
{
    const struct {
        std::vector<BYTE> owner;
        const char16_t* name;
    } cases[] = {
        {{'A', 0, 'd', 0, 'a', 0, 0, 0, 'j', 0}, u"Ada"},
        {{'B', 0, 'o', 0, 'b'}, u"Bo"}, // neither terminated nor a whole number of units
        {{0, 0}, u"Anonymous"},
    };
    for (const auto& c : cases) {
        store(g_owner, c.owner);
        EXPECT_EQ(DefaultPlayerName(), c.name);
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
    store(g_settingsValue, record(0x00030000, 2000, 'x'));
    EXPECT_TRUE(LoadRecords());
    EXPECT_EQ(recentNames().size(), static_cast<size_t>(cchRECENT_NAMES));
}

// A short table would hold times of 0 ms that no game could beat.
TEST_F(Records, AnUnusableHighScoreTableIsReplacedByTheDefaultsAndWrittenBack)
{
    const struct {
        DWORD version;
        size_t cb; // 0: nothing stored
        bool kept;
    } cases[] = {
        {0, 0, false},
        {0x00020000, sizeof g_highScores, false},
        {RECORD_VERSION, 1, false},
        {RECORD_VERSION, 140, false},
        {RECORD_VERSION, sizeof g_highScores - 1, false},
        {RECORD_VERSION, sizeof g_highScores + 10, true},
    };
    for (const auto& c : cases) {
        GameKey().erase();
        std::memset(g_highScores, 0, sizeof g_highScores);
        if (c.cb) {
            std::vector<BYTE> bytes = record(c.version, c.cb);
            if (c.cb >= sizeof g_highScores)
                reinterpret_cast<HIGHSCORE*>(bytes.data() + 4)[8].dwScore = 5;
            store(g_scoresValue, bytes);
        }
        LoadHighScores();
        EXPECT_EQ(g_highScores[8].dwScore, c.kept ? 5u : 1065000u) << c.cb;
        EXPECT_EQ(g_scoresValue.size(), c.kept ? 4 + c.cb : 1264u) << c.cb;
    }
}

// Every field at its offset: a swapped or resized field moves bytes other readers rely on.
TEST_F(Records, StoredRecordsKeepTheirByteLayoutAndReadBack)
{
    std::memset(&g_settings, 0, sizeof g_settings);
    g_settings.iEffects = 0x11;
    g_settings.fSmoothAnimation = 0x22;
    g_settings.fSoundEffects = 0x33;
    g_settings.fMusic = 0x44;
    g_settings.dwReserved = 0x55;
    g_settings.szRecentNames[0] = u'Ŝ';
    g_settings.szRecentNames[cchRECENT_NAMES - 1] = u'z';
    std::memset(g_highScores, 0, sizeof g_highScores);
    g_highScores[0].szName[0] = u'A';
    g_highScores[8].szName[63] = u'Q';
    g_highScores[8].dwScore = 0x66;
    g_highScores[8].dwDate = 0x77;
    g_highScores[8].dwCheck = 0x88;
    const SETTINGS settings = g_settings;
    HIGHSCORE scores[cHIGHSCORES];
    std::memcpy(scores, g_highScores, sizeof scores);
    SaveRecords();

    const registry::binary storedSettings = g_settingsValue.readBinary();
    const registry::binary storedScores = g_scoresValue.readBinary();
    ASSERT_EQ(storedSettings.size(), 1048u);
    ASSERT_EQ(storedScores.size(), 1264u);
    constexpr size_t last = 4 + 8 * 140; // the ninth entry
    const struct {
        const registry::binary* stored;
        size_t offset;
        size_t cb;
        uint32_t value;
    } fields[] = {
        {&storedSettings, 0, 4, 0x00030000},  {&storedSettings, 4, 4, 0x11},        {&storedSettings, 8, 4, 0x22},
        {&storedSettings, 12, 4, 0x33},       {&storedSettings, 16, 4, 0x44},       {&storedSettings, 20, 4, 0x55},
        {&storedSettings, 24, 2, u'Ŝ'},       {&storedSettings, 1046, 2, u'z'},     {&storedScores, 0, 4, 0x00030000},
        {&storedScores, 4, 2, u'A'},          {&storedScores, last + 126, 2, u'Q'}, {&storedScores, last + 128, 4, 0x66},
        {&storedScores, last + 132, 4, 0x77}, {&storedScores, last + 136, 4, 0x88},
    };
    for (const auto& field : fields)
        EXPECT_EQ(storedAt(*field.stored, field.offset, field.cb), field.value) << "offset " << field.offset;

    std::memset(&g_settings, 0, sizeof g_settings);
    std::memset(g_highScores, 0, sizeof g_highScores);
    EXPECT_TRUE(ReadSettings());
    LoadHighScores();
    EXPECT_EQ(std::memcmp(&g_settings, &settings, sizeof settings), 0);
    EXPECT_EQ(std::memcmp(g_highScores, scores, sizeof scores), 0);
}

// Their dates are pinned where the high-score screen shows them.
TEST_F(Records, DefaultHighScoresAreNineDistinctUncheckedEntriesBestFirst)
{
    const uint32_t scores[] = {270000, 300000, 405000, 435000, 600000, 750000, 855000, 900000, 1065000};
    CheckHighScores();
    std::set<std::u16string_view> names;
    for (int i = 0; i < cHIGHSCORES; ++i) {
        EXPECT_EQ(g_highScores[i].dwScore, scores[i]);
        EXPECT_EQ(g_highScores[i].dwCheck, 0u);
        names.insert(HighScoreName(g_highScores[i]));
    }
    EXPECT_EQ(names.size(), 9u);
    EXPECT_FALSE(names.contains(u"") || names.contains(u"Cheater"));
}

TEST_F(Records, EntryCheckFollowsNameAndScoreOnlyAndReadsNoFurtherThanTheName)
{
    // On the heap, sized exactly, so that a read past the entry is caught.
    auto entry = std::make_unique<HIGHSCORE>();
    std::fill(std::begin(entry->szName), std::end(entry->szName), u'Q');
    entry->dwScore = 5;
    EXPECT_EQ(HighScoreName(*entry), std::u16string(64, u'Q'));
    EXPECT_EQ(EntryCheck(*entry), expectedCheck(std::u16string(64, u'Q'), 5));
    HIGHSCORE named{u"Ĵeli Ŭ", 123456, 999999, 0};
    EXPECT_EQ(EntryCheck(named), expectedCheck(u"Ĵeli Ŭ", 123456));
}

TEST_F(Records, EditedNamesAndScoresBecomeCheatersButDatesDoNot)
{
    EnterHighScore(0, u"Ada", 1000);
    EnterHighScore(0, u"Bea", 900);
    EnterHighScore(0, u"Cid", 800);
    editStored(0, 0, u'Z', sizeof(char16_t)); // "Zid"
    editStored(1, offsetof(HIGHSCORE, dwScore), 850, 4);
    editStored(2, offsetof(HIGHSCORE, dwDate), 12345, 4);

    LoadHighScores();
    CheckHighScores();
    EXPECT_EQ(HighScoreName(g_highScores[0]), u"Cheater");
    EXPECT_EQ(g_highScores[0].dwCheck, 0u);
    EXPECT_EQ(g_highScores[0].dwScore, 800u);
    EXPECT_EQ(HighScoreName(g_highScores[1]), u"Cheater");
    EXPECT_EQ(g_highScores[1].dwScore, 850u);
    EXPECT_EQ(HighScoreName(g_highScores[2]), u"Ada");
    EXPECT_EQ(g_highScores[2].dwDate, 12345u);
}

TEST_F(Records, ATimeMustBeStrictlyBetterToEnterAndEntersCheckedDatedAndStored)
{
    EXPECT_EQ(HighScoreRank(1065000), -1);
    EXPECT_EQ(HighScoreRank(1064999), 8);
    EXPECT_EQ(HighScoreRank(0), 0);
    EXPECT_EQ(HighScoreRank(300000), 2);

    EnterHighScore(8, u"Last", 1064999);
    EXPECT_EQ(g_highScores[8].dwScore, 1064999u);
    EXPECT_EQ(g_highScores[7].dwScore, 900000u);
    EnterHighScore(2, u"Tie", 300000);
    EXPECT_EQ(HighScoreName(g_highScores[2]), u"Tie");
    EXPECT_EQ(g_highScores[1].dwScore, 300000u);
    EXPECT_EQ(g_highScores[3].dwScore, 405000u);
    EXPECT_EQ(g_highScores[8].dwScore, 900000u); // the old ninth is gone
    EXPECT_EQ(g_highScores[2].dwCheck, expectedCheck(u"Tie", 300000));
    EXPECT_EQ(g_highScores[2].dwDate, PackDate());

    HIGHSCORE stored[cHIGHSCORES];
    ASSERT_TRUE(g_scoresValue.readVersioned(RECORD_VERSION, stored, sizeof stored));
    EXPECT_EQ(std::memcmp(stored, g_highScores, sizeof stored), 0);

    // Names are cut to 63 characters, never inside a surrogate pair.
    EnterHighScore(0, std::u16string(70, u'n'), 1);
    EXPECT_EQ(HighScoreName(g_highScores[0]), std::u16string(63, u'n'));
    EnterHighScore(0, std::u16string(62, u'a') + u"\U0001F600", 1);
    EXPECT_EQ(HighScoreName(g_highScores[0]), std::u16string(62, u'a'));
}

TEST_F(Records, StoredDatesPackDayMonthAndYearIntoOneNumber)
{
    EXPECT_EQ(PackDate({2002, 3, 16}), 2002u * 372 + 2 * 31 + 15);
    const CALENDARDATE zero = UnpackDate(0);
    EXPECT_EQ(std::vector<uint32_t>({zero.year, zero.month, zero.day}), std::vector<uint32_t>({0, 1, 1}));
    EXPECT_EQ(UnpackDate(PackDate({2031, 12, 31})).day, 31u);
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    EXPECT_EQ(PackDate(), PackDate({uint32_t(t.tm_year + 1900), uint32_t(t.tm_mon + 1), uint32_t(t.tm_mday)}));
}
