#include "game_reset.h"
#include "language.h"
#include "registry.h"
#include "tutorial.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct GameStrings : testing::Test {
    void SetUp() override { ResetGameState(); }
    static std::u16string in(LANGID language, UINT id) { return SetLanguage(language), LoadCatalogString(id); }

    // The string resource as stored, not joined.
    static std::u16string stored(UINT id)
    {
        const WCHAR* text = nullptr;
        const int cch = LoadStringW(nullptr, id, reinterpret_cast<LPWSTR>(&text), 0);
        return cch > 0 ? std::u16string(text, cch) : std::u16string();
    }
};

} // namespace

// Every text exists in English, then Esperanto (no text uses the pair at 48), and Esperanto
// calls high scores by one name everywhere. The quoted texts, player names and dialog title are
// pinned where they are shown. The on/off values follow prompts such as "Sonefektoj:", so they
// are adverbs, which agree with a plural prompt as well as a singular one. The publishing
// prompt is one short line; the web prompt below it, which wraps, speaks for both.
TEST_F(GameStrings, EveryTextExistsInBothLanguagesAndTheQuotedOnesAreExact)
{
    EXPECT_EQ(stored(1) + std::u16string(LanguageCount(), u'.'), u"EN,EO..");
    for (UINT id = 2; id <= 136; id += 2) {
        const std::u16string eo = in(LANGID_ESPERANTO, id);
        EXPECT_TRUE(id == 48 || (!stored(id).empty() && !eo.empty() && eo.find(u"oento") == eo.npos && eo.find(u"ekord") == eo.npos)) << id;
    }
    const std::tuple<LANGID, UINT, const char16_t*> cases[]
        = {{LANGID_ENGLISH, 2, u"Quibo"},
           {LANGID_ENGLISH, 6, u"Error - Quibo"},
           {LANGID_ESPERANTO, 10, u"Tempo:"},
           {LANGID_ENGLISH, 40, u"Off"},
           {LANGID_ENGLISH, 42, u"On"},
           {LANGID_ESPERANTO, 40, u"Malŝaltite"},
           {LANGID_ESPERANTO, 42, u"Ŝaltite"},
           {LANGID_ESPERANTO, 46, u"Esperanto"},
           {LANGID_ENGLISH, 8,
            u"Quibo was unable to load graphics appropriate for this device.\n\nQuibo may be installed improperly, "
            u"or there may be insufficient program memory available for Quibo to run."}};
    for (const auto& [language, id, text] : cases)
        EXPECT_EQ(in(language, id), text) << id;
    EXPECT_TRUE(in(LANGID_ENGLISH, 22).find(u"network connection") != std::u16string::npos
                && in(LANGID_ESPERANTO, 22).find(u"retkonekto") != std::u16string::npos);
    for (UINT id : {18u, 20u, 22u, 124u, 128u, 136u})
        EXPECT_NE(in(LANGID_ESPERANTO, id).find(u"rafo"), std::u16string::npos) << id;
}

// A page runs from its first string to the one before the next page's, each but its last
// ending in "+"; the last page ends at 130.
TEST_F(GameStrings, TutorialPagesContinueExactlyToTheirLastString)
{
    for (int page = 0; page < cTUTORIAL_PAGES; ++page) {
        const UINT first = g_tutorialPages[page].idText;
        const UINT last = page + 1 < cTUTORIAL_PAGES ? g_tutorialPages[page + 1].idText - 2 : 130;
        for (UINT id = first; id <= last + 1; ++id)
            EXPECT_TRUE(!stored(id).empty() && (stored(id).back() == u'+') == (id < last)) << id;
        EXPECT_EQ(in(LANGID_ESPERANTO, first).find(u'+'), std::u16string::npos) << first;
    }
}

// The main window's and the name dialog's; the name dialog's text is looked at where it shows.
TEST_F(GameStrings, EachDialogTemplateExistsInBothLanguages)
{
    for (UINT id : {200, 201, 216, 217})
        EXPECT_TRUE(FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5))) << id;
}
