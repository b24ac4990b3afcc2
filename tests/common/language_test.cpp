#include "language.h"

#include "registry.h"
#include "sformat.h"
#include "utf.h"

#include <gtest/gtest.h>

namespace {

struct Language : testing::Test {
    void SetUp() override { nls.erase(), SelectLanguage("Test", 1); }
    void TearDown() override { nls.erase(); }

    inline static const registry::key nls{u"HKLM\\Software\\Zelnor\\NLS"};
    inline static std::u16string caption;
    static std::u16string recorded(const char16_t* name = u"Lang-Test") { return registry::value(nls, name).readString(); }

    static INT_PTR CALLBACK recordCaption(HWND dialog, UINT msg, WPARAM, LPARAM lParam)
    {
        WCHAR text[64] = {};
        if (msg == WM_INITDIALOG)
            GetWindowTextW(dialog, text, 64), caption = text, EndDialog(dialog, lParam);
        return msg == WM_INITDIALOG;
    }

    // Face, height, weight and styles of a catalog font.
    static std::string fontOf(std::string_view specification)
    {
        LOGFONTW lf{};
        HFONT font = CreateCatalogFont(specification);
        GetObjectW(font, sizeof lf, &lf);
        DeleteObject(font);
        return Utf16ToUtf8(lf.lfFaceName) + "," + std::to_string(lf.lfHeight) + "," + std::to_string(lf.lfWeight)
               + (lf.lfItalic ? ",I" : "") + (lf.lfUnderline ? ",U" : "");
    }
};

} // namespace

// The list's order decides, not English (list 904); a known code outside the list is not chosen;
// empty entries are skipped (900); no list means English (902). Record nullptr: none; then the
// language id, its index * 10 + the count of languages, and the records afterwards.
TEST_F(Language, TheRecordedLanguageIsChosenIfListedElseTheListsFirst)
{
    const std::tuple<const char16_t*, UINT, const char16_t*> cases[]
        = {{nullptr, 1, u"1033 2 EN/EN,EO"},  {nullptr, 904, u"0 2 EO/EO,EN"}, {u"eo", 1, u"0 12 eo/EN,EO"},
           {u"FR", 1, u"1033 2 EN/EN,EO"},    {u"XX", 1, u"1033 2 EN/EN,EO"},  {u"", 1, u"1033 2 EN/EN,EO"},
           {u"EO", 900, u"0 12 EO/,EN,,EO,"}, {u"EO", 902, u"1033 1 EN/EN"}};
    for (const auto& [record, list, after] : cases) {
        nls.erase();
        if (record) {
            ASSERT_TRUE(registry::value(nls, u"Lang-Test").writeString(record));
        }
        SelectLanguage("Test", list);
        const std::string numbers
            = std::to_string(CurrentLanguageId()) + " " + std::to_string(CurrentLanguageIndex() * 10 + LanguageCount());
        EXPECT_EQ(Utf8ToUtf16(numbers) + u" " + recorded() + u"/" + recorded(u"Opt-Test"), after) << list;
    }
    // A later call without a name changes nothing.
    ASSERT_TRUE(registry::value(nls, u"Lang-Test").writeString(u"EO"));
    SelectLanguage("", 1);
    EXPECT_EQ(CurrentLanguageId(), LANGID_ENGLISH);
}

TEST_F(Language, SetLanguageSwitchesOnlyToListedLanguagesAndTheCatalogFollows)
{
    const std::pair<UINT, const char16_t*> english[]
        = {{2, u"Hello"}, {10, u"Alpha beta gamma"}, {20, u"Lonely"}, {30, u"Late"}, {40, u""}, {0xFFFF, u""}};
    for (const auto& [id, text] : english)
        EXPECT_EQ(LoadCatalogString(id), text) << id;
    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO) && !SetLanguage(0x40C));
    EXPECT_TRUE(CurrentLanguageIndex() == 1 && CurrentLanguageId() == LANGID_ESPERANTO && recorded() == u"EO");
    EXPECT_EQ(sformat("%{m,d} %1 %2", 2, 7) + "|" + sformat(10), "Saluton 7|Alfa beta gama");
    ASSERT_TRUE(SetLanguage(LANGID_ENGLISH));
    EXPECT_TRUE(CurrentLanguageIndex() == 0 && recorded() == u"EN");
}

// Points at 96 pixels per inch, rounded as MulDiv does: 8 points are 10.67 pixels. Esperanto
// faces get their suffix once, where it fits (exactly full, then one unit too small), and a
// face with no terminator within its buffer is neither read nor written past it.
TEST_F(Language, FontsGiveSizeStyleAndFaceAndEsperantoFacesGetTheirSuffixOnceWhereItFits)
{
    LOGFONTW stock{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof stock, &stock);
    const std::string stockFont = Utf16ToUtf8(stock.lfFaceName) + "," + std::to_string(stock.lfHeight);
    const std::pair<std::string, std::string> fonts[] = {{"MS Shell Dlg,-14,B", "MS Shell Dlg,-14,700"},
                                                         {"MS Shell Dlg,8", "MS Shell Dlg,-11,400"},
                                                         {"11,bi,Arial Eo", "Arial Eo,-15,700,I"},
                                                         {"default,U", stockFont + ",400,U"},
                                                         {"", stockFont + ",400"},
                                                         {std::string(100, 'x') + ",-12", std::string(LF_FACESIZE - 1, 'x') + ",-12,400"}};
    for (const auto& [specification, expected] : fonts)
        EXPECT_EQ(fontOf(specification), expected);

    WCHAR face[32] = u"MS Shell Dlg", english[32] = u"MS Shell Dlg", fits[8] = u"Sans", tight[7] = u"Sans", full[4] = {'a', 'b', 'c', 'd'};
    ApplyLanguageFace(english, 32);
    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    for (auto [buffer, cch] : {std::pair<WCHAR*, size_t>{face, 32}, {face, 32}, {fits, 8}, {tight, 7}, {full, 4}})
        ApplyLanguageFace(buffer, cch);
    EXPECT_EQ(std::u16string(english) + u"|" + face + u"|" + fits + u"|" + tight + u"|" + std::u16string(full, 4),
              u"MS Shell Dlg|MS Shell Dlg Eo|Sans Eo|Sans|abcd");
    EXPECT_EQ(fontOf("MS Shell Dlg,-14,B") + "|" + fontOf("-12,Sans Eo"), "MS Shell Dlg Eo,-14,700|Sans Eo,-12,400");
}

// A template the program lacks in this language is no dialog.
TEST_F(Language, DialogsComeFromTheCurrentLanguagesTemplate)
{
    HWND dialog = CreateCatalogDialog(300, nullptr, recordCaption, 5);
    EXPECT_TRUE(dialog && caption == u"Choice");
    DestroyWindow(dialog);
    ASSERT_TRUE(SetLanguage(LANGID_ESPERANTO));
    EXPECT_EQ(RunCatalogDialog(300, nullptr, recordCaption, 7), 7);
    EXPECT_EQ(caption, u"Elekto");
    EXPECT_EQ(RunCatalogDialog(301, nullptr, recordCaption), -1);
}
