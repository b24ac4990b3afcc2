#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "records.h"
#include "recentnames.h"

TEST(RecentNames, TakingTheFirstNameRemovesIt)
{
    std::u16string list = u"Ada;Bea;";
    EXPECT_EQ(TakeFirstName(list), u"Ada");
    EXPECT_EQ(list, u"Bea;");
    EXPECT_EQ(TakeFirstName(list), u"Bea");
    EXPECT_EQ(list, u"");

    list = u"NoSeparator";
    EXPECT_EQ(TakeFirstName(list), u"");
    EXPECT_EQ(list, u"NoSeparator");
}

TEST(RecentNames, NamesEndAtTheFirstEmptyOne)
{
    const auto names = RecentNames(u"Ada;Bea;;Cid;");
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1], u"Bea");
    EXPECT_TRUE(RecentNames(u"").empty());
    EXPECT_EQ(RecentNames(u"Ada;Bea").size(), 2u);
}

TEST(RecentNames, ANameAlreadyListedMovesToTheFront)
{
    EXPECT_EQ(RememberName(u"Ada;Bea;Cid;", u"Bea", 512), u"Bea;Ada;Cid;");
    EXPECT_EQ(RememberName(u"Ada;", u"Eve", 512), u"Eve;Ada;");
    EXPECT_EQ(RememberName(u"", u"Eve", 512), u"Eve;");
    EXPECT_EQ(RememberName(u"Ada;;Bea;", u"Eve", 512), u"Eve;Ada;");
}

TEST(RecentNames, TheListStaysWithinItsField)
{
    std::u16string list;
    for (char16_t c = u'a'; c <= u'z'; ++c)
        list += std::u16string(40, c) + u";";
    const std::u16string remembered = RememberName(list, std::u16string(255, u'N'), 512);
    EXPECT_LE(remembered.size() + 8, 512u);
    EXPECT_EQ(remembered.substr(0, 256), std::u16string(255, u'N') + u";");
    // Whole names only: the list still ends in a separator.
    EXPECT_EQ(remembered.back(), u';');
}

TEST(RecentNames, TheTypedNameGoesIntoTheSettings)
{
    std::fill(std::begin(g_settings.szRecentNames), std::end(g_settings.szRecentNames), u'z'); // unterminated
    EXPECT_EQ(RememberPlayerName(u"Ada"), u"Ada");
    const std::u16string stored(RecentNamesText(g_settings.szRecentNames, cchRECENT_NAMES));
    EXPECT_EQ(stored.substr(0, 4), u"Ada;");
    EXPECT_LT(stored.size(), static_cast<size_t>(cchRECENT_NAMES));

    EXPECT_EQ(RememberPlayerName(std::u16string(300, u'L')), std::u16string(255, u'L'));
    EXPECT_EQ(RememberPlayerName(u"Ada"), u"Ada");
    EXPECT_EQ(std::u16string(RecentNamesText(g_settings.szRecentNames, cchRECENT_NAMES)),
              u"Ada;" + std::u16string(255, u'L') + u";");
}

TEST(RecentNames, AnEmptyNameLeavesTheListAsItWas)
{
    std::fill(std::begin(g_settings.szRecentNames), std::end(g_settings.szRecentNames), u'\0');
    RememberPlayerName(u"Ada");
    RememberPlayerName(u"Bea");
    EXPECT_EQ(RememberPlayerName(u""), u"");
    EXPECT_EQ(std::u16string(RecentNamesText(g_settings.szRecentNames, cchRECENT_NAMES)), u"Bea;Ada;");
}
