#include "recentnames.h"

#include "records.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

TEST(RecentNames, TheListIsReadUpToItsFirstEmptyName)
{
    std::u16string list = u"Ada;Bea;", unended = u"NoSeparator";
    const std::u16string first = TakeFirstName(list), none = TakeFirstName(unended);
    EXPECT_EQ(first + u"|" + list + u"|" + none + u"|" + unended, u"Ada|Bea;||NoSeparator");
    EXPECT_EQ(RecentNames(u"Ada;Bea;;Cid;"), (std::vector<std::u16string_view>{u"Ada", u"Bea"}));
    EXPECT_EQ(RecentNames(u"Ada;Bea"), (std::vector<std::u16string_view>{u"Ada", u"Bea"}));
}

// Only whole names are kept, and room for the terminator and some slack.
TEST(RecentNames, ANameGoesToTheFrontOnceAndTheListStaysWithinItsField)
{
    std::u16string full;
    for (char16_t c = u'a'; c <= u'z'; ++c)
        full += std::u16string(40, c) + u";";
    const std::u16string n255(255, u'N'), kept = n255 + u";" + full.substr(0, 41 * 6);
    const std::tuple<std::u16string, std::u16string, std::u16string> cases[]
        = {{u"Ada;Bea;Cid;", u"Bea", u"Bea;Ada;Cid;"}, {u"", u"Eve", u"Eve;"}, {u"Ada;;Bea;", u"Eve", u"Eve;Ada;"}, {full, n255, kept}};
    for (const auto& [list, name, remembered] : cases)
        EXPECT_EQ(RememberName(list, name, 512), remembered);
}

TEST(RecentNames, TheTypedNameGoesIntoTheSettingsCutTo255)
{
    std::fill(std::begin(g_settings.szRecentNames), std::end(g_settings.szRecentNames), u'z'); // unterminated
    EXPECT_EQ(RememberPlayerName(u"Ada"), u"Ada");
    EXPECT_EQ(std::u16string(g_settings.szRecentNames).substr(0, 4), u"Ada;");
    EXPECT_EQ(RememberPlayerName(std::u16string(300, u'L')), std::u16string(255, u'L'));
    EXPECT_EQ(RememberPlayerName(u"Ada") + RememberPlayerName(u""), u"Ada"); // an empty name leaves the list as it was
    EXPECT_EQ(std::u16string(g_settings.szRecentNames), u"Ada;" + std::u16string(255, u'L') + u";");
}
