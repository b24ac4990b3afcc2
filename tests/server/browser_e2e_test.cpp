// The whole road: the game publishes through its browser call, a real browser opens the
// address on a running server, and the scores page shows what was published. Screenshots go
// to the test output folder.
#include "browser.h"
#include "game_reset.h"
#include "pages.h"
#include "publish.h"
#include "recording_browser.h"
#include "screenshot.h"
#include "serverprocess.h"
#include "storefixture.h"
#include "utf.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <iterator>
#include <string>

using testing::AllOf;
using testing::EndsWith;
using testing::HasSubstr;
using testing::Not;

namespace {

const char CHROMIUM[] = "/usr/bin/chromium";

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class PublishedScores : public EachStore {
protected:
    void SetUp() override
    {
        EachStore::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (!std::filesystem::exists(CHROMIUM))
            GTEST_SKIP() << "Chromium is not installed (" << CHROMIUM << "): the pages are not opened";
        ResetGameState();
    }
    void TearDown() override { GameKey().erase(); }

    // Opens the address in headless Chromium with a fresh profile, saves a screenshot named
    // `shot` and returns the page's DOM.
    std::string openInChromium(const std::string& address, const std::string& shot)
    {
        static int count = 0;
        const std::filesystem::path run = TestRoot() / ("chromium" + std::to_string(++count));
        std::filesystem::create_directories(run);
        const std::filesystem::path picture = TestOutputDir() / ("scores_" + shot + "_" + StoreKindName({GetParam(), 0}) + ".png");
        const std::string command
            = "cd '" + run.string() + "' && timeout 90 " + CHROMIUM
              + " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking"
                " --disable-component-update --disable-sync --no-proxy-server --hide-scrollbars --user-data-dir=profile"
                " --window-size=1000,600 --screenshot='"
              + picture.string() + "' --dump-dom '" + address + "' >dom.html 2>chromium.log";
        EXPECT_EQ((std::tuple{std::system(command.c_str()), std::filesystem::exists(picture)}), (std::tuple{0, true}))
            << readFile(run / "chromium.log");
        return readFile(run / "dom.html");
    }

    RecordingBrowser m_browser; // the game's browser call reaches it instead of a browser
};

std::string row(int rank, const std::string& name, const HIGHSCORE& entry)
{
    return "<td class=\"n\">" + std::to_string(rank) + "</td><td class=\"name\">" + name + "</td><td class=\"n\">"
           + FormatScoreTime(entry.dwScore) + "</td><td class=\"n\">" + FormatScoreDate(entry.dwDate) + "</td>";
}

} // namespace

TEST_P(PublishedScores, PublishFromTheGameShowsOnThePage)
{
    ServerProcess server;
    ASSERT_TRUE(server.Start(ServerArgs())) << server.Log();
    ASSERT_TRUE(registry::value(GameKey(), u"ScoresServer").writeString(Utf8ToUtf16(server.BaseAddress())));

    EnterHighScore(0, u"Ada Lovelace", 271500);
    EnterHighScore(1, u"?!", 300250);
    EnterHighScore(2, u"<b>Bold</b> & Co", 612000);
    const HIGHSCORE ada = g_highScores[0], nameless = g_highScores[1], bold = g_highScores[2];

    const std::string publishAddress = m_browser.addressOpenedBy(PublishScores);
    ASSERT_EQ(publishAddress, PublishAddress());
    std::string dom = openInChromium(publishAddress, "posted");
    EXPECT_THAT(dom, AllOf(HasSubstr("Accepted: <strong>3</strong>"), HasSubstr("Rejected as already published: <strong>0</strong>")));

    dom = openInChromium(m_browser.addressOpenedBy(ViewNetScores), "page");
    EXPECT_THAT(dom, AllOf(HasSubstr("<title>Quibo: best published times</title>"), HasSubstr(row(1, "Ada Lovelace", ada)),
                           HasSubstr(row(2, "\u2014", nameless)), HasSubstr(row(3, "bBoldb  Co", bold)), Not(HasSubstr("<b>"))));

    // What the HTTP layer refuses before any page is built still gets a 400 page.
    httplib::Client client("127.0.0.1", server.Port());
    const auto tooLong = client.Get(std::string(SCORES_POST_PATH) + "?post&game&1&lang&en" + std::string(2 * cbPOST_QUERY_MAX, '9'));
    const auto posted = client.Post(std::string(SCORES_POST_PATH), "post&game&1&lang&en", "text/plain");
    ASSERT_TRUE(tooLong && posted);
    EXPECT_EQ((std::tuple{tooLong->status, posted->status}), (std::tuple{400, 400}));
    EXPECT_THAT(tooLong->body + posted->body, AllOf(HasSubstr("The query is longer than 8 KiB."), HasSubstr("does not know this address")));

    // A clean stop, with one log line per request.
    EXPECT_EQ(server.Stop(), 0) << server.Log();
    EXPECT_THAT(server.Log(), AllOf(HasSubstr(" GET /quibo/scores-en.html 200 "),
                                    HasSubstr(" GET " + publishAddress.substr(server.BaseAddress().size()) + " 200 "),
                                    HasSubstr(" POST /cgi-bin/score.cgi 400 "), EndsWith("quibo-scores: stopped\n")));
}

INSTANTIATE_FOR_EACH_STORE(PublishedScores);
