#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "highscores.h"
#include "language.h"
#include "records.h"
#include "recentnames.h"

namespace {

const registry::value g_owner(registry::key(u"HKCU\\ControlPanel\\Owner"), u"Owner");

registry::value settingsValue()
{
    return registry::value(GameKey(), u"Settings");
}

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

void storeSettings(DWORD version, size_t cbBody, BYTE fill)
{
    std::vector<BYTE> bytes(4 + cbBody, fill);
    std::memcpy(bytes.data(), &version, 4);
    ASSERT_TRUE(settingsValue().writeBinary(registry::binary(bytes.data(), static_cast<DWORD>(bytes.size()), false)));
}

void storeOwner(const std::vector<BYTE>& bytes)
{
    ASSERT_TRUE(g_owner.writeBinary(registry::binary(bytes.data(), static_cast<DWORD>(bytes.size()), false)));
}

std::u16string recentNames()
{
    return std::u16string(RecentNamesText(g_settings.szRecentNames, cchRECENT_NAMES));
}

} // namespace

TEST_F(Records, AFirstRunGetsTheDefaultsWrittenBack)
{
    EXPECT_FALSE(LoadRecords());
    EXPECT_EQ(g_settings.iEffects, static_cast<uint32_t>(EFFECTS_SOME));
    EXPECT_EQ(g_settings.fSmoothAnimation, 1u);
    EXPECT_EQ(g_settings.fSoundEffects, 1u);
    EXPECT_EQ(g_settings.fMusic, 1u);
    EXPECT_EQ(g_settings.dwReserved, 0u);
    EXPECT_EQ(recentNames(), u"Anonymous;");
    EXPECT_EQ(settingsValue().size(), 1048u);

    std::memset(&g_settings, 0, sizeof g_settings);
    EXPECT_TRUE(LoadRecords());
    EXPECT_EQ(recentNames(), u"Anonymous;");
}

TEST_F(Records, TheOwnersNameIsTheDefaultPlayer)
{
    const char16_t owner[] = u"Ada\0junk";
    storeOwner(std::vector<BYTE>(reinterpret_cast<const BYTE*>(owner), reinterpret_cast<const BYTE*>(owner) + sizeof owner));
    EXPECT_EQ(DefaultPlayerName(), u"Ada");

    // Neither terminated nor a whole number of units.
    storeOwner({'B', 0, 'o', 0, 'b'});
    EXPECT_EQ(DefaultPlayerName(), u"Bo");

    storeOwner({0, 0});
    EXPECT_EQ(DefaultPlayerName(), u"Anonymous");
    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    EXPECT_EQ(DefaultPlayerName(), u"Nenomita");
}

TEST_F(Records, OnlyVersionThreeSettingsAreKept)
{
    for (DWORD version : {0x00020000u, 0x00020005u, 0x00040000u}) {
        storeSettings(version, sizeof(SETTINGS), 0);
        EXPECT_FALSE(LoadRecords()) << std::hex << version;
        EXPECT_EQ(g_settings.fMusic, 1u);
    }
    storeSettings(0x00030001, sizeof(SETTINGS), 0);
    EXPECT_TRUE(LoadRecords());
    EXPECT_EQ(g_settings.fMusic, 0u);
}

TEST_F(Records, ALongRecordNeverLeavesTheRecentNamesUnbounded)
{
    // Cut to the record: the names then fill their field without a terminator.
    storeSettings(0x00030000, 2000, 'x');
    EXPECT_TRUE(LoadRecords());
    EXPECT_EQ(recentNames().size(), static_cast<size_t>(cchRECENT_NAMES));
}

TEST_F(Records, BothRecordsAreSavedAndTheReservedWordKept)
{
    LoadRecords();
    g_settings.dwReserved = 0xCAFE;
    DefaultHighScores();
    g_highScores[0].dwScore = 1;
    SaveRecords();

    std::memset(&g_settings, 0, sizeof g_settings);
    std::memset(g_highScores, 0, sizeof g_highScores);
    EXPECT_TRUE(LoadRecords());
    LoadHighScores();
    EXPECT_EQ(g_settings.dwReserved, 0xCAFEu);
    EXPECT_EQ(g_highScores[0].dwScore, 1u);
}

TEST_F(Records, UnusableHighScoresAreReplacedAndWrittenBack)
{
    std::memset(g_highScores, 0, sizeof g_highScores);
    LoadHighScores();
    EXPECT_EQ(g_highScores[0].dwScore, 270000u);
    EXPECT_EQ(registry::value(GameKey(), u"HighScores").size(), 1264u);

    const DWORD wrong = 0x00020000;
    ASSERT_TRUE(registry::value(GameKey(), u"HighScores").writeVersioned(wrong, g_highScores, 16));
    g_highScores[0].dwScore = 7;
    LoadHighScores();
    EXPECT_EQ(g_highScores[0].dwScore, 270000u);
}

TEST_F(Records, AFirstRunInEsperantoRecordsTheEsperantoDefaultName)
{
    ASSERT_TRUE(registry::value(registry::key(u"HKLM\\Software\\Zelnor\\NLS"), u"Lang-Quibo").writeString(u"EO"));
    EXPECT_FALSE(LoadRecords());
    EXPECT_EQ(CurrentLanguageId(), LANGID_ESPERANTO);
    EXPECT_EQ(recentNames(), u"Nenomita;");
}

TEST_F(Records, AShortHighScoreTableFallsBackToTheDefaults)
{
    // Zero-filled entries would score 0 ms, and no game could enter the table again.
    for (DWORD cb : {0u, 140u, static_cast<DWORD>(sizeof g_highScores - 1)}) {
        std::vector<BYTE> body(cb, 0);
        ASSERT_TRUE(registry::value(GameKey(), u"HighScores").writeVersioned(RECORD_VERSION, body.data(), cb));
        LoadHighScores();
        EXPECT_EQ(g_highScores[8].dwScore, 1065000u) << cb;
        EXPECT_EQ(registry::value(GameKey(), u"HighScores").size(), 4 + sizeof g_highScores) << cb;
    }
    std::vector<BYTE> longer(sizeof g_highScores + 10, 0);
    reinterpret_cast<HIGHSCORE*>(longer.data())[8].dwScore = 5;
    ASSERT_TRUE(registry::value(GameKey(), u"HighScores")
                    .writeVersioned(RECORD_VERSION, longer.data(), static_cast<DWORD>(longer.size())));
    LoadHighScores();
    EXPECT_EQ(g_highScores[8].dwScore, 5u);
}

namespace {

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

TEST_F(Records, StoredRecordsKeepTheirByteLayout)
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
    SaveRecords();

    const registry::binary settings = settingsValue().readBinary();
    const registry::binary scores = registry::value(GameKey(), u"HighScores").readBinary();
    ASSERT_EQ(settings.size(), 1048u);
    ASSERT_EQ(scores.size(), 1264u);
    constexpr size_t last = 4 + 8 * 140; // the ninth entry
    const struct {
        const registry::binary* stored;
        size_t offset;
        size_t cb;
        uint32_t value;
    } fields[] = {
        {&settings, 0, 4, 0x00030000}, {&settings, 4, 4, 0x11},  {&settings, 8, 4, 0x22},
        {&settings, 12, 4, 0x33},      {&settings, 16, 4, 0x44}, {&settings, 20, 4, 0x55},
        {&settings, 24, 2, u'Ŝ'},      {&settings, 1046, 2, u'z'},
        {&scores, 0, 4, 0x00030000},   {&scores, 4, 2, u'A'},    {&scores, last + 126, 2, u'Q'},
        {&scores, last + 128, 4, 0x66}, {&scores, last + 132, 4, 0x77}, {&scores, last + 136, 4, 0x88},
    };
    for (const auto& field : fields)
        EXPECT_EQ(storedAt(*field.stored, field.offset, field.cb), field.value) << "offset " << field.offset;
}
