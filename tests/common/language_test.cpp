#include <gtest/gtest.h>

#include "language.h"
#include "registry.h"
#include "sformat.h"

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

TEST_F(Language, WithoutARecordTheFirstOfTheListIsChosenAndRecorded)
{
    SelectLanguage("Test", 1);
    EXPECT_EQ(CurrentLanguageId(), LANGID_ENGLISH);
    EXPECT_EQ(CurrentLanguageIndex(), 0);
    EXPECT_EQ(LanguageCount(), 2);
    EXPECT_EQ(recorded().readString(), u"EN");
    EXPECT_EQ(registry::value(g_nls, u"Opt-Test").readString(), u"EN,EO");
    EXPECT_EQ(LoadCatalogString(2), u"Hello");

    // The list's own order decides, not English.
    ASSERT_TRUE(recorded().erase());
    SelectLanguage("Test", 904);
    EXPECT_EQ(CurrentLanguageId(), LANGID_ESPERANTO);
    EXPECT_EQ(CurrentLanguageIndex(), 0);
}

TEST_F(Language, ARecordInLowerCaseIsHonoured)
{
    ASSERT_TRUE(recorded().writeString(u"eo"));
    SelectLanguage("Test", 1);
    EXPECT_EQ(CurrentLanguageId(), LANGID_ESPERANTO);
    EXPECT_EQ(CurrentLanguageIndex(), 1);
    EXPECT_EQ(LoadCatalogString(2), u"Saluton");
}

TEST_F(Language, AKnownCodeOutsideTheListFallsBackToTheFirstAndIsReplaced)
{
    for (const char16_t* code : {u"FR", u"XX", u""}) {
        ASSERT_TRUE(recorded().writeString(code));
        SelectLanguage("Test", 1);
        EXPECT_EQ(CurrentLanguageId(), LANGID_ENGLISH) << static_cast<int>(code[0]);
        EXPECT_EQ(recorded().readString(), u"EN");
    }
}

TEST_F(Language, EmptyListEntriesAreSkippedAndAMissingListMeansEnglish)
{
    ASSERT_TRUE(recorded().writeString(u"EO"));
    SelectLanguage("Test", 900);
    EXPECT_EQ(LanguageCount(), 2);
    EXPECT_EQ(CurrentLanguageIndex(), 1);

    SelectLanguage("Test", 902);
    EXPECT_EQ(LanguageCount(), 1);
    EXPECT_EQ(CurrentLanguageId(), LANGID_ENGLISH);
    EXPECT_EQ(registry::value(g_nls, u"Opt-Test").readString(), u"EN");
}

TEST_F(Language, ALaterCallWithoutANameChangesNothing)
{
    SelectLanguage("Test", 1);
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
    EXPECT_EQ(LoadCatalogString(10), u"Alfa beta gama");

    EXPECT_FALSE(SetLanguage(0x40C));
    EXPECT_EQ(CurrentLanguageId(), LANGID_ESPERANTO);
    EXPECT_EQ(recorded().readString(), u"EO");

    ASSERT_TRUE(SetLanguage(LANGID_ENGLISH));
    EXPECT_EQ(CurrentLanguageIndex(), 0);
    EXPECT_EQ(recorded().readString(), u"EN");
}

TEST_F(Language, ContinuedTextsAreJoinedWithoutTheirPlusSigns)
{
    SelectLanguage("Test", 1);
    EXPECT_EQ(LoadCatalogString(10), u"Alpha beta gamma");
    EXPECT_EQ(LoadCatalogString(20), u"Lonely");
    EXPECT_EQ(LoadCatalogString(30), u"Late");
    EXPECT_EQ(LoadCatalogString(40), u"");
    EXPECT_EQ(LoadCatalogString(0xFFFF), u"");
}

TEST_F(Language, SformatReadsTheCatalog)
{
    SelectLanguage("Test", 1);
    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    EXPECT_EQ(sformat("%{m,d} %1 %2", 2, 7), "Saluton 7");
    EXPECT_EQ(sformat(10), "Alfa beta gama");
}

TEST_F(Language, EsperantoFacesGetTheirSuffixOnce)
{
    SelectLanguage("Test", 1);
    WCHAR face[32] = u"MS Shell Dlg";
    ApplyLanguageFace(face, 32);
    EXPECT_EQ(std::u16string(face), u"MS Shell Dlg");

    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    ApplyLanguageFace(face, 32);
    EXPECT_EQ(std::u16string(face), u"MS Shell Dlg Eo");
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
    dialog = CreateCatalogDialog(300, nullptr, recordCaption);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(windowText(dialog), u"Elekto");
    DestroyWindow(dialog);
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
    LOGFONTW lf = made("MS Shell Dlg,-14,B");
    EXPECT_EQ(std::u16string(lf.lfFaceName), u"MS Shell Dlg Eo");
    EXPECT_EQ(lf.lfHeight, -14);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(std::u16string(made("-12,Sans Eo").lfFaceName), u"Sans Eo");
}
