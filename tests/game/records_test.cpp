#include "records.h"

#include "highscores.h"
#include "language.h"
#include "recentnames.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

const registry::value g_owner(registry::key(u"HKCU\\ControlPanel\\Owner"), u"Owner");
const registry::value g_settingsValue(GameKey(), u"Settings");
const registry::value g_scoresValue(GameKey(), u"HighScores");

class Records : public testing::Test {
protected:
    void SetUp() override
    {
        GameKey().erase();
        g_owner.erase();
        registry::key(u"HKLM\\Software\\Zelnor\\NLS").erase();
        SelectLanguage("Quibo", 1);
        std::memset(&g_settings, 0xAB, sizeof g_settings);
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
