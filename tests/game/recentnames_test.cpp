#include "recentnames.h"

#include "records.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace {

std::u16string storedNames()
{
    return std::u16string(RecentNamesText(g_settings.szRecentNames, cchRECENT_NAMES));
}

} // namespace

TEST(RecentNames, TheListIsReadUpToItsFirstEmptyName)
{
    std::u16string list = u"Ada;Bea;", unended = u"NoSeparator";
    EXPECT_EQ(TakeFirstName(list) + u"|" + list, u"Ada|Bea;");
    EXPECT_EQ(TakeFirstName(unended) + u"|" + unended, u"|NoSeparator");

    EXPECT_EQ(RecentNames(u"Ada;Bea;;Cid;"), (std::vector<std::u16string_view>{u"Ada", u"Bea"}));
    EXPECT_EQ(RecentNames(u"Ada;Bea"), (std::vector<std::u16string_view>{u"Ada", u"Bea"}));
    EXPECT_TRUE(RecentNames(u"").empty());
}

TEST(RecentNames, ANameGoesToTheFrontOnceAndTheListStaysWithinItsField)
{
    const std::tuple<const char16_t*, const char16_t*, const char16_t*> cases[]
        = {{u"Ada;Bea;Cid;", u"Bea", u"Bea;Ada;Cid;"}, {u"", u"Eve", u"Eve;"}, {u"Ada;;Bea;", u"Eve", u"Eve;Ada;"}};
    for (const auto& [list, name, remembered] : cases)
        EXPECT_EQ(RememberName(list, name, 512), remembered);

    std::u16string list;
    for (char16_t c = u'a'; c <= u'z'; ++c)
        list += std::u16string(40, c) + u";";
    const std::u16string remembered = RememberName(list, std::u16string(255, u'N'), 512);
    EXPECT_LE(remembered.size() + 8, 512u);
    EXPECT_EQ(remembered.substr(0, 256), std::u16string(255, u'N') + u";");
    EXPECT_EQ(remembered.back(), u';'); // whole names only
}

TEST(RecentNames, TheTypedNameGoesIntoTheSettingsCutTo255)
{
    std::fill(std::begin(g_settings.szRecentNames), std::end(g_settings.szRecentNames), u'z'); // unterminated
    EXPECT_EQ(RememberPlayerName(u"Ada"), u"Ada");
    EXPECT_EQ(storedNames().substr(0, 4), u"Ada;");
    EXPECT_LT(storedNames().size(), static_cast<size_t>(cchRECENT_NAMES));

    EXPECT_EQ(RememberPlayerName(std::u16string(300, u'L')), std::u16string(255, u'L'));
    EXPECT_EQ(RememberPlayerName(u"Ada"), u"Ada");
    EXPECT_EQ(RememberPlayerName(u""), u""); // leaves the list as it was
    EXPECT_EQ(storedNames(), u"Ada;" + std::u16string(255, u'L') + u";");
}
