#include "language.h"
#include "registry.h"
#include "tutorial.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class GameStrings : public testing::Test {
protected:
    void SetUp() override
    {
        registry::key(u"HKLM\\Software\\Zelnor\\NLS").erase();
        SelectLanguage("Quibo", 1);
    }
};

std::u16string inLanguage(LANGID language, UINT id)
{
    SetLanguage(language);
    return LoadCatalogString(id);
}

// The string resource as stored, not joined.
std::u16string stored(UINT id)
{
    const WCHAR* text = nullptr;
    const int cch = LoadStringW(nullptr, id, reinterpret_cast<LPWSTR>(&text), 0);
    return cch > 0 ? std::u16string(text, cch) : std::u16string();
}

} // namespace

TEST_F(GameStrings, EveryTextExistsInEnglishThenEsperanto)
{
    EXPECT_EQ(stored(1), u"EN,EO");
    EXPECT_EQ(LanguageCount(), 2);
    for (UINT id = 2; id <= 136; id += 2) // no text uses the pair at 48
        EXPECT_TRUE(id == 48 || (!stored(id).empty() && !stored(id + 1).empty())) << id;
}

// The play screen's labels, the player names and the dialog title are pinned where they are shown.
// The on/off values follow prompts such as "Sonefektoj:", so they are adverbs, which agree with a
// plural prompt as well as a singular one.
TEST_F(GameStrings, QuotedTextsAreExact)
{
    const std::tuple<LANGID, UINT, const char16_t*> cases[]
        = {{LANGID_ENGLISH, 2, u"Quibo"},      {LANGID_ENGLISH, 6, u"Error - Quibo"}, {LANGID_ESPERANTO, 10, u"Tempo:"},
           {LANGID_ENGLISH, 40, u"Off"},       {LANGID_ENGLISH, 42, u"On"},           {LANGID_ESPERANTO, 40, u"Malŝaltite"},
           {LANGID_ESPERANTO, 42, u"Ŝaltite"}, {LANGID_ESPERANTO, 46, u"Esperanto"}};
    for (const auto& [language, id, text] : cases)
        EXPECT_EQ(inLanguage(language, id), text) << id;
    EXPECT_EQ(inLanguage(LANGID_ENGLISH, 8),
              u"Quibo was unable to load graphics appropriate for this device.\n\nQuibo may be installed improperly, "
              u"or there may be insufficient program memory available for Quibo to run.");
}

// The publishing prompt is one short line; the web prompt below it, which wraps, speaks for both.
// Esperanto calls high scores by one name everywhere.
TEST_F(GameStrings, PromptsUseTheAgreedWords)
{
    EXPECT_NE(inLanguage(LANGID_ENGLISH, 22).find(u"network connection"), std::u16string::npos);
    EXPECT_NE(inLanguage(LANGID_ESPERANTO, 22).find(u"retkonekto"), std::u16string::npos);
    for (UINT id = 2; id <= 136; id += 2) {
        const std::u16string text = inLanguage(LANGID_ESPERANTO, id);
        EXPECT_EQ(text.find(u"oento"), std::u16string::npos) << id;
        EXPECT_EQ(text.find(u"ekord"), std::u16string::npos) << id;
    }
    for (UINT id : {18u, 20u, 22u, 124u, 128u, 136u})
        EXPECT_NE(inLanguage(LANGID_ESPERANTO, id).find(u"rafo"), std::u16string::npos) << id;
}

// A page runs from its first string to the one before the next page's, each but its last
// ending in "+"; the last page ends at 130.
TEST_F(GameStrings, TutorialPagesContinueExactlyToTheirLastString)
{
    for (int page = 0; page < cTUTORIAL_PAGES; ++page) {
        const UINT first = g_tutorialPages[page].idText;
        const UINT last = page + 1 < cTUTORIAL_PAGES ? g_tutorialPages[page + 1].idText - 2 : 130;
        for (UINT language = 0; language < 2; ++language) {
            for (UINT id = first; id <= last; id += 2) {
                const std::u16string text = stored(id + language);
                ASSERT_FALSE(text.empty()) << id + language;
                EXPECT_EQ(text.back() == u'+', id != last) << id + language;
            }
        }
        EXPECT_EQ(inLanguage(LANGID_ESPERANTO, first).find(u'+'), std::u16string::npos) << first;
    }
}

namespace {

// Whether the dialog template of that id holds the text.
bool templateHolds(UINT id, std::u16string_view text)
{
    const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    if (!found)
        return false;
    const std::string bytes(static_cast<const char*>(LockResource(LoadResource(nullptr, found))), SizeofResource(nullptr, found));
    return bytes.find(std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t))) != std::string::npos;
}

} // namespace

TEST(GameDialogs, EachTemplateExistsInBothLanguages)
{
    const std::pair<UINT, const char16_t*> holds[]
        = {{200, u"AnimWindow"},
           {201, u"AnimWindow"},
           {216, u"GuiLibDefDlgClass"},
           {217, u"GuiLibDefDlgClass"},
           {216, u"Congratulations!  You got a new high score!\n\nEnter your name for the high score list:"}};
    for (const auto& [id, text] : holds)
        EXPECT_TRUE(templateHolds(id, text)) << id;
}
