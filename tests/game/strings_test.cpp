#include <gtest/gtest.h>

#include <string>

#include "language.h"
#include "registry.h"

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

struct PAGE {
    UINT first;
    UINT last;
};

// The strings that make up each tutorial page.
const PAGE g_pages[] = {{50, 54}, {56, 60}, {62, 66},   {68, 70},   {72, 82},   {84, 94},
                        {96, 98}, {100, 110}, {112, 116}, {118, 122}, {124, 126}, {128, 130}};

} // namespace

TEST_F(GameStrings, TheGameOffersEnglishThenEsperanto)
{
    EXPECT_EQ(stored(1), u"EN,EO");
    EXPECT_EQ(LanguageCount(), 2);
}

TEST_F(GameStrings, EveryTextExistsInBothLanguages)
{
    for (UINT id = 2; id <= 136; id += 2) {
        if (id == 48)
            continue; // no text uses this pair
        EXPECT_FALSE(stored(id).empty()) << id;
        EXPECT_FALSE(stored(id + 1).empty()) << id + 1;
        EXPECT_FALSE(inLanguage(LANGID_ENGLISH, id).empty()) << id;
        EXPECT_FALSE(inLanguage(LANGID_ESPERANTO, id).empty()) << id;
    }
}

TEST_F(GameStrings, QuotedTextsAreExact)
{
    EXPECT_EQ(inLanguage(LANGID_ENGLISH, 2), u"Quibo");
    EXPECT_EQ(inLanguage(LANGID_ENGLISH, 4), u"Anonymous");
    EXPECT_EQ(inLanguage(LANGID_ESPERANTO, 4), u"Nenomita");
    EXPECT_EQ(inLanguage(LANGID_ENGLISH, 6), u"Error - Quibo");
    EXPECT_EQ(inLanguage(LANGID_ENGLISH, 8),
              u"Quibo was unable to load graphics appropriate for this device.\n\nQuibo may be installed improperly, "
              u"or there may be insufficient program memory available for Quibo to run.");
    EXPECT_EQ(inLanguage(LANGID_ENGLISH, 10), u"Time:");
    EXPECT_EQ(inLanguage(LANGID_ESPERANTO, 10), u"Tempo:");
    EXPECT_EQ(inLanguage(LANGID_ENGLISH, 12), u"Tiles Left:");
    EXPECT_EQ(inLanguage(LANGID_ENGLISH, 132), u"Average Time:");
    EXPECT_EQ(inLanguage(LANGID_ENGLISH, 134), u"Estimated Finish:");
    EXPECT_EQ(inLanguage(LANGID_ENGLISH, 136), u"New High Score!");
    EXPECT_EQ(inLanguage(LANGID_ESPERANTO, 136), u"Nova Alta Trafo!");
}

// The publishing prompt is one short line; the web prompt below it, which wraps, speaks for both.
TEST_F(GameStrings, NetworkPromptMentionsTheConnection)
{
    EXPECT_NE(inLanguage(LANGID_ENGLISH, 22).find(u"network connection"), std::u16string::npos);
    EXPECT_NE(inLanguage(LANGID_ESPERANTO, 22).find(u"retkonekto"), std::u16string::npos);
}

TEST_F(GameStrings, EsperantoCallsHighScoresByOneName)
{
    for (UINT id = 2; id <= 136; id += 2) {
        const std::u16string text = inLanguage(LANGID_ESPERANTO, id);
        EXPECT_EQ(text.find(u"oento"), std::u16string::npos) << id;
        EXPECT_EQ(text.find(u"ekord"), std::u16string::npos) << id;
    }
    for (UINT id : {18u, 20u, 22u, 124u, 128u, 136u})
        EXPECT_NE(inLanguage(LANGID_ESPERANTO, id).find(u"rafo"), std::u16string::npos) << id;
}

// The on/off values follow prompts such as "Sonefektoj:", so they are adverbs, which agree
// with a plural prompt as well as a singular one.
TEST_F(GameStrings, OnOffValuesAreAdverbs)
{
    EXPECT_EQ(inLanguage(LANGID_ESPERANTO, 40), u"Malŝaltite");
    EXPECT_EQ(inLanguage(LANGID_ESPERANTO, 42), u"Ŝaltite");
    EXPECT_EQ(inLanguage(LANGID_ENGLISH, 40), u"Off");
    EXPECT_EQ(inLanguage(LANGID_ENGLISH, 42), u"On");
}

TEST_F(GameStrings, TutorialPagesContinueExactlyToTheirLastString)
{
    for (const PAGE& page : g_pages) {
        for (UINT language = 0; language < 2; ++language) {
            for (UINT id = page.first; id <= page.last; id += 2) {
                const std::u16string text = stored(id + language);
                ASSERT_FALSE(text.empty()) << id + language;
                EXPECT_EQ(text.back() == u'+', id != page.last) << id + language;
            }
        }
        const std::u16string joined = inLanguage(LANGID_ESPERANTO, page.first);
        EXPECT_EQ(joined.find(u'+'), std::u16string::npos) << page.first;
    }
}

namespace {

// The bytes of a dialog template, or empty when the program has none of that id.
std::string dialogTemplate(UINT id)
{
    const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    if (!found)
        return {};
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    return std::string(bytes, SizeofResource(nullptr, found));
}

bool holds(const std::string& bytes, std::u16string_view text)
{
    const std::string wanted(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
    return bytes.find(wanted) != std::string::npos;
}

} // namespace

TEST(GameDialogs, EachTemplateExistsInBothLanguages)
{
    for (UINT id : {200u, 201u}) {
        const std::string bytes = dialogTemplate(id);
        ASSERT_FALSE(bytes.empty()) << id;
        EXPECT_TRUE(holds(bytes, u"AnimWindow")) << id;
    }
    for (UINT id : {216u, 217u}) {
        const std::string bytes = dialogTemplate(id);
        ASSERT_FALSE(bytes.empty()) << id;
        EXPECT_TRUE(holds(bytes, u"GuiLibDefDlgClass")) << id;
    }
    EXPECT_TRUE(holds(dialogTemplate(216),
                      u"Congratulations!  You got a new high score!\n\nEnter your name for the high score list:"));
}
