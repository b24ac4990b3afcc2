#include "publish.h"

#include "browser.h"
#include "game_reset.h"
#include "recording_browser.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct Publish : testing::Test {
    void SetUp() override { ResetGameState(); }
    void TearDown() override { GameKey().erase(); }
};

} // namespace

TEST_F(Publish, AddressesFollowTheServerKeyAndTheLanguageAndSendNoUncheckedEntry)
{
    EXPECT_EQ(ScoresServer(), QUIBO_SCORES_SERVER);
    ASSERT_TRUE(registry::value(GameKey(), u"ScoresServer").writeString(u"http://127.0.0.1:9000/"));
    g_highScores[2].dwCheck = 1; // forged: does not match
    EXPECT_EQ(PublishAddress() + " " + ViewScoresAddress(),
              "http://127.0.0.1:9000/cgi-bin/score.cgi?post&game&1&lang&en http://127.0.0.1:9000/quibo/scores-en.html");
    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    EXPECT_EQ(PublishAddress() + " " + ViewScoresAddress(),
              "http://127.0.0.1:9000/cgi-bin/score.cgi?post&game&1&lang&eo http://127.0.0.1:9000/quibo/scores-eo.html");
}

// Names keep only ASCII letters and digits, a space becoming "@"; a full-length name has no terminator.
TEST_F(Publish, CheckedEntriesAreSentBestFirstUnderTheirEncodedNames)
{
    const std::pair<const char16_t*, const char*> names[]
        = {{u"Ada Lovelace, Jr.", "Ada@Lovelace@Jr"}, {u"?!&%;", ""}, {u"Ĉu ne?", "u@ne"}, {u"a&b=c#d", "abcd"}};
    for (const auto& [name, encoded] : names)
        EXPECT_EQ(EncodePublishName(name), encoded) << encoded;

    EnterHighScore(1, u"Ada Lovelace!", 280000);
    EnterHighScore(0, u"?!", 100000);
    for (HIGHSCORE* entry : {&g_highScores[0], &g_highScores[2]})
        entry->dwDate = 750000, entry->dwCheck = EntryCheck(*entry);
    // The checks worked out by hand.
    EXPECT_EQ(PublishAddress(),
              ScoresServer()
                  + "/cgi-bin/score.cgi?post&game&1&lang&en&score&100000&&750000&1534383812&score&280000&Ada@Lovelace&750000&291047584");
    std::fill(std::begin(g_highScores[1].szName), std::end(g_highScores[1].szName), u'x');
    g_highScores[1].dwCheck = EntryCheck(g_highScores[1]);
    EXPECT_NE(PublishAddress().find("&score&270000&" + std::string(64, 'x') + "&"), std::string::npos);
}

TEST_F(Publish, ViewingAndPublishingOpenTheirAddressesInTheBrowser)
{
    RecordingBrowser browser;
    EXPECT_EQ(browser.addressOpenedBy(ViewNetScores), ViewScoresAddress());
    EnterHighScore(0, u"Ada Lovelace", 1000);
    EXPECT_EQ(browser.addressOpenedBy(PublishScores), PublishAddress());
}
