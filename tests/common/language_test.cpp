#include "language.h"

#include "registry.h"
#include "sformat.h"
#include "utf.h"

#include <gtest/gtest.h>

namespace {

const registry::key g_nls(u"HKLM\\Software\\Zelnor\\NLS");

std::u16string recorded(const char16_t* name = u"Lang-Test")
{
    return registry::value(g_nls, name).readString();
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

// Face, height, weight and styles of a catalog font.
std::string fontOf(std::string_view specification)
{
    LOGFONTW lf{};
    HFONT font = CreateCatalogFont(specification);
    EXPECT_TRUE(font);
    GetObjectW(font, sizeof lf, &lf);
    DeleteObject(font);
    EXPECT_EQ(lf.lfCharSet * 1000 + lf.lfQuality, DEFAULT_CHARSET * 1000 + ANTIALIASED_QUALITY);
    return Utf16ToUtf8(lf.lfFaceName) + "," + std::to_string(lf.lfHeight) + "," + std::to_string(lf.lfWeight) + (lf.lfItalic ? ",I" : "")
           + (lf.lfUnderline ? ",U" : "");
}

} // namespace

// The list's order decides, not English (list 904); a known code outside the list is not chosen;
// empty entries are skipped (900); no list means English (902).
TEST_F(Language, TheRecordedLanguageIsChosenIfListedElseTheListsFirst)
{
    const struct {
        const char16_t* record; // nullptr: none
        UINT list;
        LANGID id;
        int index, count;
        const char16_t *recordedAfter, *listAfter;
    } cases[] = {{nullptr, 1, LANGID_ENGLISH, 0, 2, u"EN", u"EN,EO"},      {nullptr, 904, LANGID_ESPERANTO, 0, 2, u"EO", u"EO,EN"},
                 {u"eo", 1, LANGID_ESPERANTO, 1, 2, u"eo", u"EN,EO"},      {u"FR", 1, LANGID_ENGLISH, 0, 2, u"EN", u"EN,EO"},
                 {u"XX", 1, LANGID_ENGLISH, 0, 2, u"EN", u"EN,EO"},        {u"", 1, LANGID_ENGLISH, 0, 2, u"EN", u"EN,EO"},
                 {u"EO", 900, LANGID_ESPERANTO, 1, 2, u"EO", u",EN,,EO,"}, {u"EO", 902, LANGID_ENGLISH, 0, 1, u"EN", u"EN"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        g_nls.erase();
        if (c.record) {
            ASSERT_TRUE(registry::value(g_nls, u"Lang-Test").writeString(c.record));
        }
        SelectLanguage("Test", c.list);
        EXPECT_EQ(CurrentLanguageId() * 100 + CurrentLanguageIndex() * 10 + LanguageCount(), c.id * 100 + c.index * 10 + c.count);
        EXPECT_EQ(recorded() + u"/" + recorded(u"Opt-Test"), c.recordedAfter + (u"/" + std::u16string(c.listAfter)));
    }
    // A later call without a name changes nothing.
    ASSERT_TRUE(registry::value(g_nls, u"Lang-Test").writeString(u"EO"));
    SelectLanguage("", 1);
    EXPECT_EQ(CurrentLanguageId(), LANGID_ENGLISH);
}

TEST_F(Language, SetLanguageSwitchesOnlyToListedLanguagesAndTheCatalogFollows)
{
    SelectLanguage("Test", 1);
    const std::pair<UINT, const char16_t*> english[]
        = {{2, u"Hello"}, {10, u"Alpha beta gamma"}, {20, u"Lonely"}, {30, u"Late"}, {40, u""}, {0xFFFF, u""}};
    for (const auto& [id, text] : english)
        EXPECT_EQ(LoadCatalogString(id), text) << id;
    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    EXPECT_FALSE(SetLanguage(0x40C));
    EXPECT_TRUE(CurrentLanguageIndex() == 1 && CurrentLanguageId() == LANGID_ESPERANTO && recorded() == u"EO");
    EXPECT_EQ(LoadCatalogString(10), u"Alfa beta gama");
    EXPECT_EQ(sformat("%{m,d} %1 %2", 2, 7) + "|" + sformat(10), "Saluton 7|Alfa beta gama");
    ASSERT_TRUE(SetLanguage(LANGID_ENGLISH));
    EXPECT_TRUE(CurrentLanguageIndex() == 0 && recorded() == u"EN");
}

TEST_F(Language, FontsGiveSizeStyleAndFaceAndEsperantoFacesGetTheirSuffixOnceWhereItFits)
{
    SelectLanguage("Test", 1);
    WCHAR face[32] = u"MS Shell Dlg";
    ApplyLanguageFace(face, 32);
    EXPECT_EQ(std::u16string(face), u"MS Shell Dlg");
    LOGFONTW stock{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof stock, &stock);
    const std::string stockFont = Utf16ToUtf8(stock.lfFaceName) + "," + std::to_string(stock.lfHeight);
    // Points at 96 pixels per inch, rounded as MulDiv does: 8 points are 10.67 pixels.
    const std::pair<std::string, std::string> fonts[] = {{"MS Shell Dlg,-14,B", "MS Shell Dlg,-14,700"},
                                                         {"MS Shell Dlg,8", "MS Shell Dlg,-11,400"},
                                                         {"11,bi,Arial Eo", "Arial Eo,-15,700,I"},
                                                         {"default,U", stockFont + ",400,U"},
                                                         {"", stockFont + ",400"},
                                                         {std::string(100, 'x') + ",-12", std::string(LF_FACESIZE - 1, 'x') + ",-12,400"}};
    for (const auto& [specification, expected] : fonts)
        EXPECT_EQ(fontOf(specification), expected);

    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    ApplyLanguageFace(face, 32);
    ApplyLanguageFace(face, 32);
    EXPECT_EQ(std::u16string(face), u"MS Shell Dlg Eo");
    EXPECT_EQ(fontOf("MS Shell Dlg,-14,B") + "|" + fontOf("-12,Sans Eo"), "MS Shell Dlg Eo,-14,700|Sans Eo,-12,400");
    // Exactly full after the suffix, then one unit too small.
    WCHAR fits[8] = u"Sans";
    ApplyLanguageFace(fits, 8);
    WCHAR tight[7] = u"Sans";
    ApplyLanguageFace(tight, 7);
    EXPECT_EQ(std::u16string(fits) + u"|" + tight, u"Sans Eo|Sans");
    // No terminator within the buffer: nothing is read or written past it.
    WCHAR full[4] = {u'a', u'b', u'c', u'd'};
    ApplyLanguageFace(full, 4);
    EXPECT_EQ(full[3], u'd');
}

TEST_F(Language, DialogsComeFromTheCurrentLanguagesTemplate)
{
    SelectLanguage("Test", 1);
    HWND dialog = CreateCatalogDialog(300, nullptr, recordCaption, 5);
    EXPECT_TRUE(dialog && g_caption == u"Choice/OK");
    DestroyWindow(dialog);

    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    EXPECT_EQ(RunCatalogDialog(300, nullptr, recordCaption, 7), 7);
    EXPECT_EQ(g_caption, u"Elekto/Bone");
    // A template the program lacks in this language is no dialog.
    EXPECT_EQ(RunCatalogDialog(301, nullptr, recordCaption), -1);
}
