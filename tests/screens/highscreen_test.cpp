// Dates as the high-score screen shows them.
#include "highscreen.h"

#include "highscores.h"

#include <gtest/gtest.h>

namespace {

// The default table's dates are pinned as the screen shows them.
TEST(FormatDate, ShowsDayMonthAbbreviationAndYear)
{
    DefaultHighScores();
    const char* const defaults[cHIGHSCORES] = {"16 Mar 2002", "5 Jun 2002", "18 Dec 2002", "20 Mar 2002", "2 Jul 2002",
                                               "23 Jul 2002", "2 Nov 2000", "3 Sep 2000",  "29 Jul 2000"};
    for (int i = 0; i < cHIGHSCORES; ++i)
        EXPECT_EQ(FormatDate(g_highScores[i].dwDate), defaults[i]) << i;
    EXPECT_EQ(FormatDate(PackDate({2000, 1, 31})), "31 Jan 2000");
    EXPECT_EQ(FormatDate(PackDate({1999, 2, 1})), "1 Feb 1999");
    EXPECT_EQ(FormatDate(0), "1 Jan 0");
}

} // namespace
