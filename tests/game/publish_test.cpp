#include "publish.h"

#include "browser.h"
#include "game_reset.h"
#include "recording_browser.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class Publish : public testing::Test {
protected:
    void SetUp() override { ResetGameState(); }
    void TearDown() override { GameKey().erase(); }
};

// The publishing check worked out by hand from its definition.
uint32_t expectedCheck(const std::string& spaced, uint32_t score, uint32_t date)
{
    uint32_t v = 0x5B7E21D4 ^ score ^ date;
    for (char c : spaced)
        v = (v << 1 | v >> 31) ^ static_cast<unsigned char>(c);
    return v;
}

} // namespace

TEST_F(Publish, AddressesFollowTheServerKeyAndTheLanguageAndSendNoUncheckedEntry)
{
    EXPECT_EQ(ScoresServer(), QUIBO_SCORES_SERVER);
    ASSERT_TRUE(registry::value(GameKey(), u"ScoresServer").writeString(u"http://127.0.0.1:9000/"));
    const std::string post = "http://127.0.0.1:9000/cgi-bin/score.cgi?post&game&1&lang&";
    g_highScores[2].dwCheck = 1; // forged: does not match
    EXPECT_EQ(PublishAddress(), post + "en");
    EXPECT_EQ(ViewScoresAddress(), "http://127.0.0.1:9000/quibo/scores-en.html");
    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    EXPECT_EQ(PublishAddress(), post + "eo");
    EXPECT_EQ(ViewScoresAddress(), "http://127.0.0.1:9000/quibo/scores-eo.html");
}

TEST_F(Publish, NamesAreEncodedForTheAddress)
{
    const std::pair<const char16_t*, const char*> cases[]
        = {{u"Ada Lovelace, Jr.", "Ada@Lovelace@Jr"}, {u"?!&%;", ""}, {u"Ĉu ne?", "u@ne"}, {u"a&b=c#d", "abcd"}};
    for (const auto& [name, encoded] : cases)
        EXPECT_EQ(EncodePublishName(name), encoded) << encoded;
}

TEST_F(Publish, CheckedEntriesAreSentBestFirst)
{
    EnterHighScore(1, u"Ada Lovelace!", 280000);
    EnterHighScore(0, u"?!", 100000);
    const uint32_t first = g_highScores[0].dwDate, third = g_highScores[2].dwDate;
    EXPECT_EQ(PublishAddress(), ScoresServer() + "/cgi-bin/score.cgi?post&game&1&lang&en&score&100000&&" + std::to_string(first) + "&"
                                    + std::to_string(expectedCheck("", 100000, first)) + "&score&280000&Ada@Lovelace&"
                                    + std::to_string(third) + "&" + std::to_string(expectedCheck("Ada Lovelace", 280000, third)));
}

TEST_F(Publish, AFullLengthNameIsSentWithoutRunningPastIt)
{
    std::fill(std::begin(g_highScores[0].szName), std::end(g_highScores[0].szName), u'x');
    g_highScores[0].dwCheck = EntryCheck(g_highScores[0]);
    EXPECT_NE(PublishAddress().find("&score&270000&" + std::string(64, 'x') + "&"), std::string::npos);
}

TEST_F(Publish, ViewingAndPublishingOpenTheirAddressesInTheBrowser)
{
    RecordingBrowser browser;
    EXPECT_EQ(browser.addressOpenedBy(ViewNetScores), ViewScoresAddress());
    EnterHighScore(0, u"Ada Lovelace", 1000);
    EXPECT_EQ(browser.addressOpenedBy(PublishScores), PublishAddress());
}
