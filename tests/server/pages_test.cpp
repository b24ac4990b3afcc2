#include "pages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using testing::AllOf;
using testing::HasSubstr;
using testing::Not;

// Times and dates as people read them; equal times share a rank and the next time takes its
// place in the list; a hundred at most.
TEST(ScoresPages, TheTableShowsTimesAndDatesRanksSpacesNamesAndStopsAtAHundred)
{
    std::string shown;
    for (const uint32_t milliseconds : {0u, 999u, 61999u, 270000u, UINT32_MAX})
        shown += FormatScoreTime(milliseconds) + " ";
    EXPECT_EQ(shown + FormatScoreDate(PackDate({2002, 3, 16})) + " " + FormatScoreDate(0),
              "0:00 0:00 1:01 4:30 71582:47 2002-03-16 0000-01-01");
    std::vector<STOREDSCORE> best = {{"Ada@Lovelace", 60000, 744000}, {"Bea", 61000, 744000}, {"Cy", 61000, 744001}};
    for (uint32_t i = 0; i < 200; ++i)
        best.push_back({"Filler" + std::to_string(i), 70000 + i, 744000});
    EXPECT_THAT(ScoresPage("en", best).html,
                AllOf(HasSubstr("<td class=\"name\">Ada Lovelace</td>"), HasSubstr("<td class=\"n\">2</td><td class=\"name\">Cy</td>"),
                      HasSubstr("<td class=\"n\">4</td><td class=\"name\">Filler0</td>"), HasSubstr("Filler96<"),
                      Not(HasSubstr("Filler97<"))));
}

// The posted pages are checked through the browser; these are the others.
TEST(ScoresPages, EveryPageSpeaksThePostsLanguage)
{
    const POSTQUERY bad{.error = POSTERROR::CheckMismatch, .iEntry = 2, .language = "eo", .scores = {}};
    for (const auto& [page, status, text] : {std::tuple{ScoresPage("en", {}), 200, "No scores have been published yet."},
                                             {ScoresPage("eo", {}), 200, "Ankoraŭ neniu rezulto estas publikigita."},
                                             {BadPostPage(bad), 400, "Rezulto 3: la kontrolvaloro ne kongruas."},
                                             {UnknownAddressPage(), 400, "La servilo de rezultoj ne konas"}}) {
        EXPECT_EQ(page.status, status) << text;
        EXPECT_THAT(page.html, HasSubstr(text));
    }
}
