// Dates as the high-score screen shows them.
#include "highscreen.h"

#include "highscores.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatDate, ShowsDayMonthAbbreviationAndYear)
{
    struct {
        CALENDARDATE date;
        const char* text;
    } const cases[] = {
        {{2002, 3, 16}, "16 Mar 2002"}, {{2002, 6, 5}, "5 Jun 2002"},   {{2002, 12, 18}, "18 Dec 2002"},
        {{2000, 11, 2}, "2 Nov 2000"},  {{2000, 1, 31}, "31 Jan 2000"}, {{1999, 2, 1}, "1 Feb 1999"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDate(PackDate(c.date)), c.text) << c.text;
    EXPECT_EQ(FormatDate(0), "1 Jan 0");
}

TEST(FormatDate, ShowsTheDefaultTable)
{
    DefaultHighScores();
    const char* const expected[cHIGHSCORES] = {"16 Mar 2002", "5 Jun 2002", "18 Dec 2002", "20 Mar 2002", "2 Jul 2002",
                                               "23 Jul 2002", "2 Nov 2000", "3 Sep 2000",  "29 Jul 2000"};
    for (int i = 0; i < cHIGHSCORES; ++i)
        EXPECT_EQ(FormatDate(g_highScores[i].dwDate), expected[i]) << i;
}

} // namespace
