// The server reads posts exactly as the game's own publishing code writes them, and refuses
// every alteration of them.
#include "game_reset.h"
#include "publish.h"
#include "publishformat.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

class PostParsing : public testing::Test {
protected:
    void SetUp() override { ResetGameState(); }
    void TearDown() override { GameKey().erase(); }

    // The query part of the address the game opens to publish its table.
    static std::string gameQuery()
    {
        const std::string address = PublishAddress(), path = std::string(SCORES_POST_PATH) + "?";
        EXPECT_NE(address.find(path), std::string::npos) << address;
        return address.substr(address.find(path) + path.size());
    }
};

// The query with its field `i` (counted from 0, between "&") replaced by `value`.
std::string altered(const std::string& query, size_t i, const std::string& value)
{
    size_t begin = 0;
    for (size_t k = 0; k < i; ++k)
        begin = query.find('&', begin) + 1;
    return query.substr(0, begin) + value + query.substr(std::min(query.find('&', begin), query.size()));
}

} // namespace

TEST_F(PostParsing, ReadsBackWhatTheGamePublishesInBothLanguages)
{
    const POSTQUERY empty = ParsePostQuery(gameQuery()); // an empty table is a valid post of nothing
    EXPECT_EQ((std::tuple{empty.error, empty.scores.size()}), (std::tuple{POSTERROR::None, size_t(0)}));
    EnterHighScore(0, u"Ada Lovelace", 61000);
    EnterHighScore(1, u"?!", 62000); // punctuation only: published as an empty name
    EnterHighScore(2, u"Ĉu ne, Zamenhof?", 63000); // letters outside ASCII are dropped
    EnterHighScore(3, std::u16string(63, u'q'), 64000);

    for (const LANGID language : {LANGID_ENGLISH, LANGID_ESPERANTO}) {
        ASSERT_TRUE(SetLanguage(language));
        const POSTQUERY post = ParsePostQuery(gameQuery());
        std::string read = post.language + " " + std::to_string(int(post.error));
        for (size_t i = 0; i < post.scores.size(); ++i)
            read += "|" + post.scores[i].name + " " + std::to_string(post.scores[i].score)
                    + (post.scores[i].date == g_highScores[i].dwDate ? "" : " on another day");
        EXPECT_EQ(read, (language == LANGID_ESPERANTO ? "eo 0" : "en 0") + "|Ada@Lovelace 61000| 62000|u@ne@Zamenhof 63000|"s
                            + std::string(63, 'q') + " 64000");
    }
}

// Each case alters one field of a real post of two entries; the second entry's fields start
// at index 10 (score, time, name, date, check).
TEST_F(PostParsing, EveryAlterationAndMalformedShapeIsRefused)
{
    EnterHighScore(0, u"Ada", 61000);
    EnterHighScore(1, u"Bea Two", 62000);
    const std::string original = gameQuery();
    const PUBLISHEDSCORE second = ParsePostQuery(original).scores.at(1);
    const struct {
        size_t field;
        POSTERROR error;
        size_t entry;
        std::vector<std::string> values;
    } cases[] = {
        {2, POSTERROR::WrongGame, 0, {"2"}},
        {0, POSTERROR::NotAPost, 0, {"get"}},
        {3, POSTERROR::NotAPost, 0, {"language"}},
        {4, POSTERROR::UnknownLanguage, 0, {"fr", "EN"}},
        {5, POSTERROR::Incomplete, 0, {"scores"}},
        {11, POSTERROR::CheckMismatch, 1, {"62001"}}, // a better time
        {12, POSTERROR::CheckMismatch, 1, {"Bea@Tw0"}}, // another name
        {12, POSTERROR::BadName, 1, {"Bea Two", "Bea%40Two", "<b>Bea</b>", std::string(65, 'B')}}, // the game sends a space as "@"
        {13, POSTERROR::CheckMismatch, 1, {std::to_string(second.date + 1)}},
        {14, POSTERROR::CheckMismatch, 1, {std::to_string(second.check ^ 1)}},
        {6, POSTERROR::BadTime, 0, {"61000x", "-61000", "061000", "4294967296", ""}},
        {8, POSTERROR::BadDate, 0, {"", "1e5"}},
        {9, POSTERROR::BadCheckNumber, 0, {"0x10", "99999999999"}},
    };
    for (const auto& c : cases) {
        for (const std::string& value : c.values) {
            const POSTQUERY post = ParsePostQuery(altered(original, c.field, value));
            EXPECT_EQ((std::tuple{post.error, post.iEntry, post.scores.size()}), (std::tuple{c.error, c.entry, size_t(0)}))
                << altered(original, c.field, value);
        }
    }

    // Malformed shapes, and a full table of nine, which is read.
    for (int i = 0; i < cHIGHSCORES; ++i)
        EnterHighScore(i, u"Player " + std::u16string(1, static_cast<char16_t>(u'A' + i)), 1000 + i);
    const std::string full = gameQuery();
    EXPECT_EQ(ParsePostQuery(full).scores.size(), 9u);
    const std::string query = ::PostQuery("en", {{"Ada", 61000, 744000, PublishCheck("Ada", 61000, 744000)}});
    const std::pair<std::string, POSTERROR> shapes[] = {
        {full + query.substr(19), POSTERROR::TooManyScores}, // a tenth entry
        {"", POSTERROR::NotAPost},
        {"post&game", POSTERROR::NotAPost},
        {"post&game&1&lang", POSTERROR::NotAPost},
        {"post&game&&lang&en", POSTERROR::WrongGame},
        {query + "&", POSTERROR::Incomplete},
        {query + "&score&1&A&2", POSTERROR::Incomplete},
        {query.substr(0, query.rfind('&')), POSTERROR::Incomplete},
        {query + std::string(cbPOST_QUERY_MAX + 1 - query.size(), 'x'), POSTERROR::TooLong},
        // Exactly the limit is read, and refused only for what it says.
        {query + "&" + std::string(cbPOST_QUERY_MAX - 1 - query.size(), 'x'), POSTERROR::Incomplete},
    };
    for (const auto& [text, error] : shapes)
        EXPECT_EQ(ParsePostQuery(text).error, error) << text.substr(0, 80);
}
