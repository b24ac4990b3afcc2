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
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(g_settings.iEffects, static_cast<uint32_t>(EFFECTS_SOME));
    EXPECT_EQ(g_settings.fSmoothAnimation, 1u);
    EXPECT_EQ(g_settings.fSoundEffects, 1u);
    EXPECT_EQ(g_settings.fMusic, 1u);
    EXPECT_EQ(g_settings.dwReserved, 0u);
    EXPECT_EQ(recentNames(), u"Anonymous;");
    EXPECT_EQ(settingsValue().size(), 1048u);

    std::memset(&g_settings, 0, sizeof g_settings);
    EXPECT_TRUE(LoadSettings());
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
        EXPECT_FALSE(LoadSettings()) << std::hex << version;
        EXPECT_EQ(g_settings.fMusic, 1u);
    }
    storeSettings(0x00030001, sizeof(SETTINGS), 0);
    EXPECT_TRUE(LoadSettings());
    EXPECT_EQ(g_settings.fMusic, 0u);
}

TEST_F(Records, ALongRecordNeverLeavesTheRecentNamesUnbounded)
{
    // Cut to the record: the names then fill their field without a terminator.
    storeSettings(0x00030000, 2000, 'x');
    EXPECT_TRUE(LoadSettings());
    EXPECT_EQ(recentNames().size(), static_cast<size_t>(cchRECENT_NAMES));
}

TEST_F(Records, BothRecordsAreSavedAndTheReservedWordKept)
{
    LoadSettings();
    g_settings.dwReserved = 0xCAFE;
    DefaultHighScores();
    g_highScores[0].dwScore = 1;
    SaveRecords();

    std::memset(&g_settings, 0, sizeof g_settings);
    std::memset(g_highScores, 0, sizeof g_highScores);
    EXPECT_TRUE(LoadSettings());
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
