#include "recentnames.h"

#include "records.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

// The list is read up to its first empty name; a name goes to its front once, and only whole
// names are kept, with room for the terminator and some slack. The typed name is cut to 255
// characters, and an empty one leaves the list as it was.
TEST(RecentNames, ANameGoesToTheFrontOnceAndTheListStaysWithinItsField)
{
    std::u16string full, unended = u"NoSeparator";
    for (char16_t c = u'a'; c <= u'z'; ++c)
        full += std::u16string(40, c) + u";";
    const std::u16string n255(255, u'N'), kept = n255 + u";" + full.substr(0, 41 * 6);
    const std::tuple<std::u16string, std::u16string, std::u16string> cases[]
        = {{u"Ada;Bea;Cid;", u"Bea", u"Bea;Ada;Cid;"}, {u"", u"Eve", u"Eve;"}, {u"Ada;;Bea;", u"Eve", u"Eve;Ada;"}, {full, n255, kept}};
    for (const auto& [list, name, remembered] : cases)
        EXPECT_EQ(RememberName(list, name, 512), remembered);
    EXPECT_EQ(TakeFirstName(unended) + u"|" + std::u16string(RecentNames(u"Ada;Bea")[1]), u"|Bea");

    std::fill(std::begin(g_settings.szRecentNames), std::end(g_settings.szRecentNames), u'z'); // unterminated: read to its end
    EXPECT_EQ(RecentNamesText(g_settings.szRecentNames, cchRECENT_NAMES).size(), size_t(cchRECENT_NAMES));
    EXPECT_EQ(RememberPlayerName(u"Ada"), u"Ada");
    EXPECT_EQ(RememberPlayerName(std::u16string(300, u'L')), std::u16string(255, u'L'));
    EXPECT_EQ(RememberPlayerName(u"Ada") + RememberPlayerName(u""), u"Ada");
    EXPECT_EQ(std::u16string(g_settings.szRecentNames), u"Ada;" + std::u16string(255, u'L') + u";");
}
