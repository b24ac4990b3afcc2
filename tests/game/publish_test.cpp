#include <gtest/gtest.h>

#include <string>

#include "highscores.h"
#include "language.h"
#include "publish.h"
#include "records.h"

namespace {

class Publish : public testing::Test {
protected:
    void SetUp() override
    {
        GameKey().erase();
        registry::key(u"HKLM\\Software\\Zelnor\\NLS").erase();
        SelectLanguage("Quibo", 1);
        DefaultSettings();
        DefaultHighScores();
    }
    void TearDown() override { GameKey().erase(); }
};

uint32_t rotateLeft(uint32_t v)
{
    return (v << 1) | (v >> 31);
}

// The publishing check worked out by hand from its definition.
uint32_t expectedCheck(const std::string& spaced, uint32_t score, uint32_t date)
{
    uint32_t v = 0x5B7E21D4 ^ score ^ date;
    for (char c : spaced)
        v = rotateLeft(v) ^ static_cast<unsigned char>(c);
    return v;
}

} // namespace

TEST_F(Publish, TheServerComesFromTheGamesKeyOrTheBuild)
{
    EXPECT_EQ(ScoresServer(), QUIBO_SCORES_SERVER);
    ASSERT_TRUE(registry::value(GameKey(), u"ScoresServer").writeString(u"http://127.0.0.1:9000/"));
    EXPECT_EQ(ScoresServer(), "http://127.0.0.1:9000");
    EXPECT_EQ(ViewScoresAddress(), "http://127.0.0.1:9000/quibo/scores-en.html");
}

TEST_F(Publish, UncheckedEntriesAreNeverSent)
{
    const std::string bare = ScoresServer() + "/cgi-bin/score.cgi?post&game&1&lang&en";
    EXPECT_EQ(PublishAddress(), bare);

    g_highScores[2].dwCheck = 1; // forged: does not match
    EXPECT_EQ(PublishAddress(), bare);
}

TEST_F(Publish, TheLanguageCodeFollowsTheCatalog)
{
    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    EXPECT_EQ(PublishAddress(), ScoresServer() + "/cgi-bin/score.cgi?post&game&1&lang&eo");
    EXPECT_EQ(ViewScoresAddress(), ScoresServer() + "/quibo/scores-eo.html");
}

TEST_F(Publish, NamesAreEncodedForTheAddress)
{
    EXPECT_EQ(EncodePublishName(u"Ada Lovelace, Jr."), "Ada@Lovelace@Jr");
    EXPECT_EQ(EncodePublishName(u"?!&%;"), "");
    EXPECT_EQ(EncodePublishName(u"Ĉu ne?"), "u@ne");
    EXPECT_EQ(EncodePublishName(u"a&b=c#d"), "abcd");
}

TEST_F(Publish, CheckedEntriesAreSentBestFirst)
{
    EnterHighScore(1, u"Ada Lovelace!", 280000);
    EnterHighScore(0, u"?!", 100000);
    const HIGHSCORE& punct = g_highScores[0];
    const HIGHSCORE& ada = g_highScores[2];

    const std::string expected = ScoresServer() + "/cgi-bin/score.cgi?post&game&1&lang&en" + "&score&100000&&" +
                                 std::to_string(punct.dwDate) + "&" +
                                 std::to_string(expectedCheck("", 100000, punct.dwDate)) + "&score&280000&Ada@Lovelace&" +
                                 std::to_string(ada.dwDate) + "&" +
                                 std::to_string(expectedCheck("Ada Lovelace", 280000, ada.dwDate));
    EXPECT_EQ(PublishAddress(), expected);
}

TEST_F(Publish, AFullLengthNameIsSentWithoutRunningPastIt)
{
    HIGHSCORE& entry = g_highScores[0];
    std::fill(std::begin(entry.szName), std::end(entry.szName), u'x');
    entry.dwCheck = EntryCheck(entry);
    const std::string address = PublishAddress();
    EXPECT_NE(address.find("&score&270000&" + std::string(64, 'x') + "&"), std::string::npos);
}

TEST(PublishCheck, RotatesAndCountsAtSignsAsSpaces)
{
    EXPECT_EQ(PublishCheck("", 1, 2), 0x5B7E21D4u ^ 1 ^ 2);
    EXPECT_EQ(PublishCheck("A@b", 7, 9), expectedCheck("A b", 7, 9));
    EXPECT_NE(PublishCheck("A@b", 7, 9), PublishCheck("A@b", 7, 10));
}
