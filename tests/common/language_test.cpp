#include "language.h"

#include "registry.h"
#include "sformat.h"

#include <gtest/gtest.h>

namespace {

const registry::key g_nls(u"HKLM\\Software\\Zelnor\\NLS");

registry::value recorded()
{
    return registry::value(g_nls, u"Lang-Test");
}

class Language : public testing::Test {
protected:
    void SetUp() override { g_nls.erase(); }
    void TearDown() override { g_nls.erase(); }
};

std::u16string windowText(HWND hwnd)
{
    WCHAR text[64] = {};
    GetWindowTextW(hwnd, text, 64);
    return text;
}

std::u16string g_caption;

INT_PTR CALLBACK recordCaption(HWND dialog, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg != WM_INITDIALOG)
        return FALSE;
    g_caption = windowText(dialog) + u"/" + windowText(GetDlgItem(dialog, IDOK));
    EndDialog(dialog, lParam);
    return TRUE;
}

} // namespace

TEST_F(Language, TheRecordedLanguageIsChosenIfListedElseTheListsFirst)
{
    const struct {
        const char16_t* record; // nullptr: none
        UINT list;
        LANGID id;
        int index, count;
        const char16_t *recordedAfter, *listAfter;
    } cases[] = {
        {nullptr, 1, LANGID_ENGLISH, 0, 2, u"EN", u"EN,EO"},
        {nullptr, 904, LANGID_ESPERANTO, 0, 2, u"EO", u"EO,EN"}, // the list's order decides, not English
        {u"eo", 1, LANGID_ESPERANTO, 1, 2, u"eo", u"EN,EO"},
        {u"FR", 1, LANGID_ENGLISH, 0, 2, u"EN", u"EN,EO"}, // a known code outside the list
        {u"XX", 1, LANGID_ENGLISH, 0, 2, u"EN", u"EN,EO"},
        {u"", 1, LANGID_ENGLISH, 0, 2, u"EN", u"EN,EO"},
        {u"EO", 900, LANGID_ESPERANTO, 1, 2, u"EO", u",EN,,EO,"}, // empty entries are skipped
        {u"EO", 902, LANGID_ENGLISH, 0, 1, u"EN", u"EN"}, // no list means English
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        g_nls.erase();
        if (c.record) {
            ASSERT_TRUE(recorded().writeString(c.record));
        }
        SelectLanguage("Test", c.list);
        EXPECT_EQ(CurrentLanguageId(), c.id);
        EXPECT_EQ(CurrentLanguageIndex(), c.index);
        EXPECT_EQ(LanguageCount(), c.count);
        EXPECT_EQ(recorded().readString(), c.recordedAfter);
        EXPECT_EQ(registry::value(g_nls, u"Opt-Test").readString(), c.listAfter);
    }
    // A later call without a name changes nothing.
    ASSERT_TRUE(recorded().writeString(u"EO"));
    SelectLanguage("", 1);
    EXPECT_EQ(CurrentLanguageId(), LANGID_ENGLISH);
}

TEST_F(Language, SetLanguageSwitchesOnlyToListedLanguages)
{
    SelectLanguage("Test", 1);
    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    EXPECT_EQ(CurrentLanguageIndex(), 1);
    EXPECT_EQ(recorded().readString(), u"EO");
    EXPECT_FALSE(SetLanguage(0x40C));
    EXPECT_EQ(CurrentLanguageId(), LANGID_ESPERANTO);
    EXPECT_EQ(recorded().readString(), u"EO");
    ASSERT_TRUE(SetLanguage(LANGID_ENGLISH));
    EXPECT_EQ(CurrentLanguageIndex(), 0);
    EXPECT_EQ(recorded().readString(), u"EN");
}

TEST_F(Language, CatalogTextsAreThoseOfTheLanguageWithContinuationsJoined)
{
    SelectLanguage("Test", 1);
    const std::pair<UINT, const char16_t*> english[]
        = {{2, u"Hello"}, {10, u"Alpha beta gamma"}, {20, u"Lonely"}, {30, u"Late"}, {40, u""}, {0xFFFF, u""}};
    for (const auto& [id, text] : english)
        EXPECT_EQ(LoadCatalogString(id), text) << id;
    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    EXPECT_EQ(LoadCatalogString(10), u"Alfa beta gama");
    EXPECT_EQ(sformat("%{m,d} %1 %2", 2, 7), "Saluton 7");
    EXPECT_EQ(sformat(10), "Alfa beta gama");
}

TEST_F(Language, EsperantoFacesGetTheirSuffixOnceAndOnlyWhereItFits)
{
    SelectLanguage("Test", 1);
    WCHAR face[32] = u"MS Shell Dlg";
    ApplyLanguageFace(face, 32);
    EXPECT_EQ(std::u16string(face), u"MS Shell Dlg");

    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    ApplyLanguageFace(face, 32);
    ApplyLanguageFace(face, 32);
    EXPECT_EQ(std::u16string(face), u"MS Shell Dlg Eo");
    // Exactly full after the suffix, then one unit too small.
    WCHAR fits[8] = u"Sans";
    ApplyLanguageFace(fits, 8);
    EXPECT_EQ(std::u16string(fits), u"Sans Eo");
    WCHAR tight[7] = u"Sans";
    ApplyLanguageFace(tight, 7);
    EXPECT_EQ(std::u16string(tight), u"Sans");
    // No terminator within the buffer: nothing is read or written past it.
    WCHAR full[4] = {u'a', u'b', u'c', u'd'};
    ApplyLanguageFace(full, 4);
    EXPECT_EQ(full[3], u'd');
}

TEST_F(Language, DialogsComeFromTheCurrentLanguagesTemplate)
{
    SelectLanguage("Test", 1);
    HWND dialog = CreateCatalogDialog(300, nullptr, recordCaption, 5);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(g_caption, u"Choice/OK");
    DestroyWindow(dialog);

    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    EXPECT_EQ(RunCatalogDialog(300, nullptr, recordCaption, 7), 7);
    EXPECT_EQ(g_caption, u"Elekto/Bone");
    // A template the program lacks in this language is no dialog.
    EXPECT_EQ(RunCatalogDialog(301, nullptr, recordCaption), -1);
}

TEST_F(Language, LayoutFontsTakeTheEsperantoFaceInEsperanto)
{
    const auto made = [](std::string_view specification) {
        LOGFONTW lf{};
        HFONT font = CreateCatalogFont(specification);
        EXPECT_TRUE(font);
        GetObjectW(font, sizeof lf, &lf);
        DeleteObject(font);
        return lf;
    };
    SelectLanguage("Test", 1);
    EXPECT_EQ(std::u16string(made("MS Shell Dlg,-14,B").lfFaceName), u"MS Shell Dlg");
    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    const LOGFONTW lf = made("MS Shell Dlg,-14,B");
    EXPECT_EQ(std::u16string(lf.lfFaceName), u"MS Shell Dlg Eo");
    EXPECT_EQ(lf.lfHeight, -14);
    EXPECT_EQ(std::u16string(made("-12,Sans Eo").lfFaceName), u"Sans Eo");
}
