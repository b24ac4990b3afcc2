// The same behaviour from both stores, and from the answers built on them.
#include "publishformat.h"
#include "service.h"
#include "storefixture.h"
#include "test_env.h"

#include <cstdint>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using testing::AllOf;
using testing::HasSubstr;
using testing::Not;

using Stores = EachStore;

TEST_P(Stores, KeepsEachWholeScoreOnceAcrossAReopenAndCountsTheNewOnes)
{
    auto store = Open();
    // The same name and time on another day is another score.
    const STOREDSCORE a{"Ada", 61000, 744000}, b{"Bea", 60000, 744000}, c{"Cy", 60000, 743000}, aLater{"Ada", 61000, 744001};
    EXPECT_EQ((std::vector{store->Add({a, b}), store->Add({b, c, c}), store->Add({}), store->Add({aLater})}),
              (std::vector<size_t>{2, 1, 0, 1}));
    EXPECT_EQ(store->Best(10), (std::vector<STOREDSCORE>{c, b, a, aLater}));
    EXPECT_EQ(store->Best(2), (std::vector<STOREDSCORE>{c, b}));

    // Whole values, across a reopen.
    const std::vector<STOREDSCORE> extremes
        = {{"", 0, 0}, {"A@b@1", 2147483648u, 2147483648u}, {std::string(64, 'z'), UINT32_MAX, UINT32_MAX}};
    EXPECT_EQ(store->Add(extremes), 3u);
    store = Open();
    EXPECT_EQ(store->Best(10), (std::vector<STOREDSCORE>{extremes[0], c, b, a, aLater, extremes[1], extremes[2]}));
    EXPECT_EQ(store->Add(extremes), 0u);
}

TEST_P(Stores, AnUnusableStoreIsRefusedWithItsReason)
{
    const std::string notADatabase = (TestRoot() / "not-a-database.db").string();
    std::ofstream(notADatabase) << std::string(4096, 'x');
    for (const std::string& location :
         GetParam() == STOREKIND::Sqlite
             ? std::vector<std::string>{(TestRoot() / "missing-folder" / "s.db").string(), notADatabase}
             : std::vector<std::string>{m_location + " dbname=no_such_database", "host=/nonexistent-quibo-socket-folder"}) {
        m_location = location;
        EXPECT_THAT([this] { Open(); }, testing::ThrowsMessage<StoreError>(testing::SizeIs(testing::Gt(10u)))) << location;
    }
}

TEST_P(Stores, BadRequestsStoreNothingGoodOnesAreAnsweredInTheirLanguageAndNoPageEchoesMarkup)
{
    auto store = Open();
    const STOREDSCORE good{"Ada", 61000, 744000};
    std::string tampered = PostOf({good, {"Bea", 62000, 744000}});
    tampered.back() = tampered.back() == '1' ? '2' : '1';
    for (const std::string& target : std::initializer_list<std::string>{
             tampered, PostOf({good}) + std::string(cbPOST_QUERY_MAX, '9'),
             std::string(SCORES_POST_PATH) + "?post&game&1&lang&en&score&1&<script>x</script>&2&3", "/cgi-bin/score.cgi",
             "/cgi-bin/score.cgi?post&game&2&lang&en", "/quibo/scores-fr.html", "/quibo/<img src=x onerror=alert(1)>", "/"}) {
        const PAGE page = Respond(*store, target);
        EXPECT_EQ(page.status, 400) << target;
        EXPECT_THAT(page.html, AllOf(Not(HasSubstr("<script")), Not(HasSubstr("<img")))) << target;
    }
    EXPECT_TRUE(store->Best(10).empty());

    const std::vector<STOREDSCORE> scores = {{"Ada@Lovelace", 61000, 744000}, {"", 62000, 744000}};
    const PAGE first = Respond(*store, PostOf(scores, "eo")), again = Respond(*store, PostOf(scores)),
               page = Respond(*store, "/quibo/scores-en.html?fresh");
    EXPECT_EQ((std::tuple{first.status, again.status, page.status}), (std::tuple{200, 200, 200}));
    EXPECT_THAT(first.html + again.html + page.html,
                AllOf(HasSubstr("Akceptitaj: <strong>2</strong>"), HasSubstr("Accepted: <strong>0</strong>"),
                      HasSubstr("Rejected as already published: <strong>2</strong>"),
                      HasSubstr("Ada Lovelace</td><td class=\"n\">1:01</td>")));

    // A store filled by other means (an edited database) still cannot put markup on the page.
    store->Add({{"<b onmouseover=\"x\">&", 1000, 744000}});
    EXPECT_THAT(Respond(*store, "/quibo/scores-eo.html").html,
                AllOf(HasSubstr("&lt;b onmouseover=&quot;x&quot;&gt;&amp;"), Not(HasSubstr("<b "))));
}

INSTANTIATE_FOR_EACH_STORE(Stores);

TEST(Respond, AStoreFailureIsNeverReportedAsSuccess)
{
    struct Broken : ScoreStore {
        size_t Add(const std::vector<STOREDSCORE>&) override { throw StoreError("disk full"); }
        std::vector<STOREDSCORE> Best(size_t) override { throw StoreError("disk full"); }
    } broken;
    const PAGE posted = Respond(broken, PostOf({{"Ada", 61000, 744000}}, "eo")), page = Respond(broken, "/quibo/scores-en.html");
    EXPECT_EQ((std::tuple{posted.status, page.status}), (std::tuple{503, 503}));
    EXPECT_THAT(posted.html, HasSubstr("Bonvolu publikigi denove poste."));
}
