// The Settings and HighScores records: defaults, what is kept of stored bytes, their byte
// layout, the check value that marks hand edits, and entering a new time.
#include "records.h"

#include "game_reset.h"
#include "highscores.h"
#include "language.h"
#include "recentnames.h"
#include "utf.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <gtest/gtest.h>
#include <vector>

namespace {

using BYTES = std::vector<BYTE>;
using NUMBERS = std::vector<uint32_t>;

struct AT {
    size_t offset, cb;
    uint32_t value;
};

struct Records : testing::Test {
    void SetUp() override { ResetGameState(), std::memset(&g_settings, 0xAB, sizeof g_settings); }
    void TearDown() override { GameKey().erase(), owner.erase(); }

    inline static const registry::value owner{registry::key(u"HKCU\\ControlPanel\\Owner"), u"Owner"};
    inline static const registry::value settings{GameKey(), u"Settings"}, scores{GameKey(), u"HighScores"};

    static void store(const registry::value& v, const BYTES& b) { v.writeBinary(registry::binary(b.data(), DWORD(b.size()), false)); }
    static BYTES stored(const registry::value& v)
    {
        const registry::binary b = v.readBinary();
        return BYTES(b.data(), b.data() + b.size());
    }
    static std::u16string name(int rank) { return std::u16string(HighScoreName(g_highScores[rank])); }

    // A version word and cbBody bytes of fill, with little-endian values of cb bytes at their offsets.
    static BYTES record(DWORD version, size_t cbBody, std::initializer_list<AT> values = {}, BYTE fill = 0)
    {
        BYTES bytes(4 + cbBody, fill);
        std::memcpy(bytes.data(), &version, 4);
        for (const AT& at : values)
            if (at.offset + at.cb <= bytes.size())
                std::memcpy(&bytes[at.offset], &at.value, at.cb);
        return bytes;
    }
    // A record as it is written: its version word, then its bytes.
    static BYTES written(DWORD version, const void* p, size_t cb)
    {
        BYTES b = record(version, cb);
        std::memcpy(&b[4], p, cb);
        return b;
    }

    // "effects smooth sounds music reserved names"
    static std::string settingsText()
    {
        std::string text;
        for (uint32_t v :
             {g_settings.iEffects, g_settings.fSmoothAnimation, g_settings.fSoundEffects, g_settings.fMusic, g_settings.dwReserved})
            text += std::to_string(v) + " ";
        return text + Utf16ToUtf8(RecentNamesText(g_settings.szRecentNames, cchRECENT_NAMES));
    }

    static NUMBERS times()
    {
        NUMBERS all(cHIGHSCORES);
        std::ranges::transform(g_highScores, all.begin(), &HIGHSCORE::dwScore);
        return all;
    }
};

} // namespace

// Of a stored Settings record only version 3.0 and later minors are read; otherwise the
// defaults are written back. Their player name is the device owner's (neither terminated nor a
// whole number of units, the second), else a catalog text in the stored language.
TEST_F(Records, SettingsAreReadFromVersionThreeElseTheDefaultsAreWrittenBack)
{
    const struct {
        BYTES owner;
        const char16_t* language;
        DWORD version; // 0: nothing stored
        const char* settings; // read, else the defaults
    } cases[] = {{{}, u"", 0, "1 1 1 1 0 Anonymous;"},
                 {{}, u"EO", 0, "1 1 1 1 0 Nenomita;"},
                 {{'A', 0, 'd', 0, 'a', 0, 0, 0, 'j', 0}, u"", 0, "1 1 1 1 0 Ada;"},
                 {{'B', 0, 'o', 0, 'b'}, u"EO", 0x00020000, "1 1 1 1 0 Bo;"},
                 {{0, 0}, u"", 0x00020005, "1 1 1 1 0 Anonymous;"},
                 {{}, u"", 0x00040000, "1 1 1 1 0 Anonymous;"},
                 {{}, u"EO", 0x00030001, "0 0 0 0 0 "},
                 {{}, u"", 0x00030000, "0 0 0 0 0 "}};
    for (const auto& c : cases) {
        GameKey().erase();
        store(owner, c.owner);
        ASSERT_TRUE(registry::value(registry::key(u"HKLM\\Software\\Zelnor\\NLS"), u"Lang-Quibo").writeString(c.language));
        if (c.version)
            store(settings, record(c.version, sizeof(SETTINGS)));
        std::memset(&g_settings, 0xAB, sizeof g_settings);
        const bool kept = c.settings[0] == '0';
        EXPECT_EQ(LoadRecords(), kept) << c.version;
        EXPECT_EQ(settingsText(), c.settings) << c.version;
        EXPECT_EQ(stored(settings), written(kept ? c.version : RECORD_VERSION, &g_settings, sizeof g_settings));
    }
}

// A short table would hold times of 0 ms that no game could beat. Size 0: nothing stored.
TEST_F(Records, AnUnusableHighScoreTableIsReplacedByTheDefaultsAndWrittenBack)
{
    const size_t whole = sizeof g_highScores;
    const std::pair<DWORD, size_t> cases[] = {
        {0, 0}, {0x00020000, whole}, {RECORD_VERSION, 1}, {RECORD_VERSION, 140}, {RECORD_VERSION, whole - 1}, {RECORD_VERSION, whole + 10}};
    for (const auto& [version, cb] : cases) {
        const bool kept = version == RECORD_VERSION && cb >= whole;
        GameKey().erase();
        std::memset(g_highScores, 0, whole);
        if (cb)
            store(scores, record(version, cb, {{4 + 8 * 140 + 128, 4, 5}}));
        LoadHighScores();
        EXPECT_EQ(g_highScores[8].dwScore, kept ? 5u : 1065000u) << cb;
        EXPECT_EQ(scores.size(), kept ? 4 + cb : 1264u) << cb;
    }
}

// Every field at its offset: a swapped or resized field moves bytes other readers rely on.
TEST_F(Records, StoredRecordsKeepTheirByteLayoutAndReadBack)
{
    constexpr size_t last = 4 + 8 * 140; // the ninth entry
    const BYTES stSettings = record(
        0x00030000, 1044, {{4, 4, 0x11}, {8, 4, 0x22}, {12, 4, 0x33}, {16, 4, 0x44}, {20, 4, 0x55}, {24, 2, u'Ŝ'}, {1046, 2, u'z'}});
    const BYTES stScores = record(
        0x00030000, 1260, {{4, 2, u'A'}, {last + 126, 2, u'Q'}, {last + 128, 4, 0x66}, {last + 132, 4, 0x77}, {last + 136, 4, 0x88}});
    store(settings, stSettings);
    store(scores, stScores);
    ASSERT_TRUE(ReadSettings());
    LoadHighScores();
    const HIGHSCORE& ninth = g_highScores[8];
    EXPECT_EQ((NUMBERS{g_settings.iEffects, g_settings.fSmoothAnimation, g_settings.fSoundEffects, g_settings.fMusic, g_settings.dwReserved,
                       g_settings.szRecentNames[0], g_settings.szRecentNames[cchRECENT_NAMES - 1], g_highScores[0].szName[0],
                       ninth.szName[63], ninth.dwScore, ninth.dwDate, ninth.dwCheck}),
              (NUMBERS{0x11, 0x22, 0x33, 0x44, 0x55, u'Ŝ', u'z', u'A', u'Q', 0x66, 0x77, 0x88}));
    GameKey().erase();
    SaveRecords();
    EXPECT_EQ(stored(settings), stSettings);
    EXPECT_EQ(stored(scores), stScores);
}

// The defaults carry no check value, and the start-up check leaves them alone. A new time enters signed, dated and stored at once; names
// are cut to 63 characters, never inside a surrogate pair. A hand edit of a name or a time (not a date) voids the check.
TEST_F(Records, ATimeMustBeStrictlyBetterToEnterAndEntersCheckedDatedAndStored)
{
    CheckHighScores();
    EXPECT_EQ(name(0), u"Marta");

    EXPECT_EQ((std::vector<int>{HighScoreRank(1065000), HighScoreRank(1064999), HighScoreRank(0), HighScoreRank(300000)}),
              (std::vector<int>{-1, 8, 0, 2}));
    EnterHighScore(8, u"Last", 1064999);
    EnterHighScore(2, u"Tĵe", 300000); // the old ninth goes; the check, worked out by hand, takes whole units
    EXPECT_EQ(times(), (NUMBERS{270000, 300000, 300000, 405000, 435000, 600000, 750000, 855000, 900000}));
    EXPECT_EQ((NUMBERS{g_highScores[2].dwCheck, g_highScores[2].dwDate}), (NUMBERS{3085930846, PackDate()}));
    EXPECT_EQ(stored(scores), written(RECORD_VERSION, g_highScores, sizeof g_highScores));

    EnterHighScore(0, std::u16string(70, u'n'), 1);
    EnterHighScore(0, std::u16string(62, u'a') + u"\U0001F600", 2);
    EXPECT_EQ(name(0) + u"|" + name(1), std::u16string(62, u'a') + u"|" + std::u16string(63, u'n'));

    BYTES edited = stored(scores);
    edited[4 + 2 * 61] = 'Z'; // the first entry's last letter
    edited[4 + 140 + 128] = 9; // the second entry's time
    edited[4 + 4 * 140 + 132] ^= 1; // the fifth's date: "Tĵe" stays
    store(scores, edited);
    LoadRecords();
    EXPECT_EQ(name(0) + u"," + name(1) + u"," + name(4), u"Cheater,Cheater,Tĵe");
    EXPECT_EQ((NUMBERS{g_highScores[0].dwCheck, g_highScores[1].dwScore}), (NUMBERS{0, 9}));
}

TEST_F(Records, StoredDatesPackDayMonthAndYearIntoOneNumber)
{
    const CALENDARDATE zero = UnpackDate(0);
    EXPECT_EQ((NUMBERS{PackDate({2002, 3, 16}), zero.year, zero.month, zero.day, UnpackDate(PackDate({2031, 12, 31})).day}),
              (NUMBERS{2002u * 372 + 2 * 31 + 15, 0, 1, 1, 31}));
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    EXPECT_EQ(PackDate(), PackDate({uint32_t(t.tm_year + 1900), uint32_t(t.tm_mon + 1), uint32_t(t.tm_mday)}));
}
